// A ZX Spectrum BASIC program as text: the lines of the program area detokenised with the
// 48K keyword table. Each line in memory is its number (2 bytes, big-endian), the length
// of its text (2 bytes, little-endian) and the text, ending with 0x0D; a number typed in a
// line is followed by 0x0E and its five-byte value, which the listing leaves out, as LIST
// does. UDGs (0x90..0xA4) show as \A..\U, the block graphics (0x80..0x8F) as the two-
// character escapes of the usual listing tools (\ ' \.: ...), the colour and position codes
// of a line (0x10..0x17) as {INK n}, {AT y,x} and the like, other codes below 32 as {0C}.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// Where the variables begin: the first line whose number's high byte is 0x40 or more (no
// line number reaches 16384), or the end of the bytes.
std::size_t ZxBasicProgramLength(std::span<const std::uint8_t> program);

// One text per line, "  10 PRINT "HI"" (the number right-aligned in four places): the
// lines that begin before programLength (where the variables begin), as LIST shows them
// up to a line numbered 16384 or more, each to its first 0x0D (what a loader hides after
// it stays hidden). A line is shown to its own end even when that runs
// into the variables, as LIST shows it; one whose length runs past the data is shown up to
// the data's end.
std::vector<std::string> ZxBasicLines(std::span<const std::uint8_t> data,
                                      std::size_t programLength);
std::vector<std::string> ZxBasicLines(std::span<const std::uint8_t> program);
// The lines, each followed by "\n".
std::string ZxBasicListing(std::span<const std::uint8_t> data, std::size_t programLength);

}  // namespace morvane
