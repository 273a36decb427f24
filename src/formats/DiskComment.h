// The disk comment as the sector formats keep it (TD0's comment block, FDI's
// description): text in a Cyrillic code page, its lines apart by CR LF, LF, CR or a zero
// byte. The image holds it as UTF-8 lines (DiskImage::DiskLog); the writers turn them back
// into Windows-1251.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// The lines of a comment text. Code page 866 when the text reads as such (DOS tools
// wrote it), Windows-1251 otherwise (this program's writers); empty lines at the end,
// a comment block's padding, are dropped.
std::vector<std::string> DiskCommentLines(std::span<const std::uint8_t> text);

}  // namespace morvane
