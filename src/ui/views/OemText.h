// Texts of CP/M files as the screen viewer's text pane shows them: bytes in the DOS code
// page 866, and the conversion of KOI-8 text into it.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace morvane {

// KOI-8 to the alternative (866) code page; bytes below 0x80 stay.
std::uint8_t Koi8ToAlt(std::uint8_t byte);
void Koi8ToAlt(std::span<std::uint8_t> bytes);

// Code page 866 to text; control bytes other than tab show as '.'.
QString Cp866ToText(std::span<const std::uint8_t> bytes);

// Splits at CR LF, CR or LF, as a memo takes its text.
std::vector<std::vector<std::uint8_t>> SplitLines(std::span<const std::uint8_t> bytes);

}  // namespace morvane
