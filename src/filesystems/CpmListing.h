// What a CP/M catalogue listing shows, as plain functions and texts: the catalogue window
// and morvane-img print the same rows and description.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "filesystems/CpmDirectory.h"

namespace morvane {

inline constexpr std::string_view kNotCpmImageText = "Образ не соответствует CP/M диску!";

// Whole kilobytes, then the decimal separator and the remaining bytes / 1000 with trailing
// zeros dropped: 1152 -> "1.128", 2048 -> "2", 33408 -> "32.64".
std::string CpmLengthText(std::uint32_t bytes, char decimalSeparator);
// Name (8), type (3), length, user byte and extent number as 2 upper-case hex digits.
std::array<std::string, 5> CpmRowTexts(const CpmDirEntry& entry, std::uint32_t records,
                                       char decimalSeparator);
// The row's 11 characters, the preset name of "Сохранить как".
std::string CpmRowFileName(const CpmDirEntry& entry);

// "Описание диска": values for "Количество файлов", "Занято", "Свободно".
inline constexpr std::array<std::string_view, 3> kCpmDescriptionLabels{"Количество файлов",
                                                                       "Занято", "Свободно"};
// Rows, used kB + " кБ", free kB + " кБ".
std::array<std::string, 3> CpmDescriptionValues(const CpmCatalogue& catalogue);

}  // namespace morvane
