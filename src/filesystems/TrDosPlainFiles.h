// A TR-DOS file as the plain bytes it holds, and plain bytes made into a TR-DOS file.
// TR-DOS keeps a BASIC file (type B) as its program and variables, then 0x80 0xAA and the
// autostart line (LE); its catalogue start field holds the length of program and
// variables, its length field the program's alone. Every other file holds its length
// field's bytes, loaded at the start field's address (code) or with the start field as
// its parameter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosCatalogue.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::uint8_t kTrDosBasic = 'B';
inline constexpr std::uint8_t kTrDosCode = 'C';
inline constexpr std::uint8_t kTrDosData = 'D';
inline constexpr std::uint8_t kAutostartMark0 = 0x80;
inline constexpr std::uint8_t kAutostartMark1 = 0xAA;
inline constexpr std::size_t kAutostartBytes = 4;
// A line number of 32768 or more means no autostart, as on tape.
inline constexpr std::uint16_t kNoAutostartLine = 0x8000;
inline constexpr std::size_t kTrDosMaxFileSectors = 255;
inline constexpr std::size_t kTrDosMaxFileBytes = kTrDosMaxFileSectors * kTrDosSectorSize;

// The count of bytes the file holds: for B its start field (program and variables), for
// the others its length field; never more than its sectors hold.
std::size_t TrDosDataLength(const TrDosEntry& entry);
// Those bytes, taken from the file's sectors.
Bytes TrDosPlainBytes(const TrDosEntry& entry, std::span<const std::uint8_t> sectors);
// A BASIC file's program length without its variables: its length field, never more than
// the data.
std::size_t TrDosBasicProgramLength(const TrDosEntry& entry, std::span<const std::uint8_t> sectors);
// The autostart line kept after a BASIC file's data; nothing when the mark 0x80 0xAA is not
// there.
std::optional<std::uint16_t> TrDosBasicAutostart(const TrDosEntry& entry,
                                                 std::span<const std::uint8_t> sectors);

// The listing of a BASIC file of the image: its program detokenised (ZxBasicListing), the
// variables left out (a line that runs into them shown to its end, as LIST shows it). Empty with
// error set (the sector error text) when a sector of the file cannot be read.
std::string TrDosBasicListing(const DiskImage& disk, const TrDosEntry& entry, std::string& error);

// What a plain file becomes. start: for C the load address, for B the autostart line
// (nothing: none), for the other types the start field. programLength (B only): the
// program without its variables; nothing: found by walking the program's lines.
struct PlainFileFields {
    TrDosName name{};
    std::uint8_t type = kTrDosCode;
    std::optional<std::uint16_t> start;
    std::optional<std::size_t> programLength;
};
// The TR-DOS file of those bytes, its sectors padded with zeros. False with error set
// when the bytes (with a BASIC file's autostart) do not fit 255 sectors, or the type is no
// printable character.
bool MakeTrDosFile(const PlainFileFields& fields, std::span<const std::uint8_t> bytes,
                   TrDosFileData& out, std::string& error);

// The bytes of a catalogue name for a command-line text: the first 8 bytes, space padded;
// UTF-8 Cyrillic becomes Windows-1251, as the catalogue shows it.
TrDosName TrDosNameFromArgument(std::string_view text);

}  // namespace morvane
