// What the TR-DOS catalogue window shows and enables, as plain functions and texts, so the
// window stays a thin shell and morvane-img prints the same columns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "filesystems/TrDosCatalogue.h"

namespace morvane {

inline constexpr std::string_view kTrDosWindowCaption = "Каталог диска TR-DOS";
inline constexpr std::string_view kErrorCaption = "Ошибка!";
inline constexpr std::string_view kErrorCaptionDots = "Ошибка..!";
inline constexpr std::string_view kAttentionCaption = "Внимание!";
inline constexpr std::string_view kAttentionCaptionDots = "Внимание..!";
inline constexpr std::string_view kNotTrDosImageText =
    "Образ не соответствует стандартному TR-DOS диску!";
inline constexpr std::string_view kNotTrDosDiskText = "Диск не соответствует формату TR-DOS!.";
inline constexpr std::string_view kDeleteQuestion =
    "Вы действительно хотите удалить выбранные Файлы?";
inline constexpr std::string_view kNoFilesToSaveText = "Файлы для сохранения не выбраны..!";
inline constexpr std::string_view kHobetaFolderTitle = "Директория сохранения Хобетных файлов!";
inline constexpr std::string_view kSclSaveTitle = "Сохранить файл(ы) в SCL..!";
inline constexpr std::string_view kSclFilter = "Sinclair file (*.scl)|*.scl";
inline constexpr std::string_view kSclDefaultExtension = "scl";
inline constexpr std::string_view kHexViewCaption = "Просмотр файла в HEX виде.";
// The name dialog of "Сменить имя диска" and of a new TR-DOS image.
inline constexpr std::string_view kDiskNameCaption = "Имя диска!";
inline constexpr std::string_view kDiskNameMessage = "Задайте имя диска (8 символов максимум)";
inline constexpr std::string_view kDiskNameLabel = "Имя:";
inline constexpr std::size_t kDiskNameMaxLength = 8;
inline constexpr std::string_view kRenameAcceptButton = "&Принять";
inline constexpr std::string_view kRenameCancelButton = "&Отменить";
inline constexpr std::string_view kNewDiskOkButton = "&Ok";  // the only button for a new disk

// "Файл NAME.$B уже существует! Перезаписать?" (Hobeta, Yes/No/Cancel).
std::string HobetaOverwriteQuestion(std::string_view fileName);
// "Файл PATH уже существует! Перезаписать?" (SCL, Yes/No).
std::string SclOverwriteQuestion(std::string_view path);

// List columns: header, width in pixels (0: the list's default), all centred but the name.
struct ListColumn {
    std::string_view header;
    int width;
};
inline constexpr std::array<ListColumn, 7> kTrDosColumns{{{"Filename", 90},
                                                          {"Type", 40},
                                                          {"Start", 0},
                                                          {"Length", 55},
                                                          {"Sectors", 65},
                                                          {"F.sec", 0},
                                                          {"F.trk", 0}}};
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

// Context menu captions, in menu order (separators not listed).
inline constexpr std::string_view kMenuViewScreen = "Просмотр экрана";
inline constexpr std::string_view kMenuViewHex = "Просмотр HEX";
inline constexpr std::string_view kMenuCompact = "Уплотнить";
inline constexpr std::string_view kMenuRenameDisk = "Сменить имя диска";
inline constexpr std::string_view kMenuShowDeleted = "Показать удаленные файлы";
inline constexpr std::string_view kMenuSaveHobeta = "Сохранить hob";
inline constexpr std::string_view kMenuSaveScl = "Сохранить scl";
inline constexpr std::string_view kMenuEditHeader = "Редактировать заголовок";
inline constexpr std::string_view kMenuAddFiles = "Добавить файл(ы)";
inline constexpr std::string_view kMenuDeleteFiles = "Удалить файл(ы)";

struct TrDosMenuState {
    bool viewScreen = false;
    bool viewHex = false;
    bool compact = false;
    bool renameDisk = false;
    bool showDeleted = true;
    bool saveHobeta = false;
    bool saveScl = false;
    bool editHeader = false;
    bool addFiles = false;
    bool deleteFiles = false;
};
// fromImage: the catalogue came from the image (not from the drive). selectedSingle: the
// entry of the one selected row, nullptr unless exactly one row is selected.
TrDosMenuState TrDosMenuEnabling(bool fromImage, std::size_t rowCount,
                                 const TrDosEntry* selectedSingle);

inline constexpr std::size_t kZxScreenBytes = 6912;
inline constexpr std::size_t kZxScreenSectors = 27;

}  // namespace morvane
