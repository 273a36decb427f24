// What a TR-DOS catalogue listing shows, as plain functions and texts: the catalogue
// window and morvane-img print the same rows and description.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "filesystems/TrDosCatalogue.h"

namespace morvane {

inline constexpr std::string_view kNotTrDosImageText =
    "Образ не соответствует стандартному TR-DOS диску!";
inline constexpr std::string_view kNotTrDosDiskText = "Диск не соответствует формату TR-DOS!.";
inline constexpr std::string_view kNoFilesToSaveText = "Файлы для сохранения не выбраны..!";

// One row: name, type letter, start and length as 4 upper-case hex digits, sectors, first
// sector and first track as 2.
std::array<std::string, 7> TrDosRowTexts(const TrDosEntry& entry);

// "80-дорожек" for 0x16/0x18, "40-дорожек" for 0x17/0x19, else "Не определено".
std::string DiskTypeText(std::uint8_t diskType);

// The group "Описание диска": labels and values in the window's order.
inline constexpr std::array<std::string_view, 7> kTrDosDescriptionLabels{
    "Название дискеты",   "Тип дискеты",       "Свободный сектор", "Свободная дорожка",
    "Свободных секторов", "Количество файлов", "Удаленных файлов"};
// Disk name, type text, first free sector + 1, first free track, free sectors, files,
// deleted files.
std::array<std::string, 7> TrDosDescriptionValues(const TrDosCatalogue& catalogue);

// A ZX Spectrum screen file: its length and the sectors it takes.
inline constexpr std::size_t kZxScreenBytes = 6912;
inline constexpr std::size_t kZxScreenSectors = 27;

}  // namespace morvane
