// Windows-1251, the Cyrillic code page in which the native image keeps its texts (track
// logs, disk comment, image path), so files move between this program and older copies.
// The model holds UTF-8; these convert at the file boundary.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/Bytes.h"

namespace morvane {

inline constexpr char kUnmappable = '?';

// Each byte becomes one character; the one byte the code page leaves undefined (0x98)
// becomes '?'.
std::string Cp1251ToUtf8(std::span<const std::uint8_t> bytes);
// Each character becomes one byte; characters outside the code page and malformed UTF-8
// (one '?' per offending byte) become '?'.
Bytes Utf8ToCp1251(std::string_view text);

// Appends one code point below 0x10000 as UTF-8 (the code pages' decoders share it).
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace morvane
