// What the TR-DOS catalogue window shows and enables: its captions, column widths, menu
// and the rule that enables it, as plain functions and texts, so the window stays a thin
// shell. The listing itself (rows, description) is the filesystem's, shared with
// morvane-img.
#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "filesystems/TrDosListing.h"

namespace morvane {

inline constexpr std::string_view kTrDosWindowCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Каталог диска TR-DOS");
inline constexpr std::string_view kDeleteQuestion =
    QT_TRANSLATE_NOOP("morvane::Ui", "Вы действительно хотите удалить выбранные Файлы?");
inline constexpr std::string_view kHobetaFolderTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Директория сохранения Хобетных файлов!");
inline constexpr std::string_view kSclSaveTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить файл(ы) в SCL..!");
inline constexpr std::string_view kSclFilter = "Sinclair file (*.scl)|*.scl";
inline constexpr std::string_view kSclDefaultExtension = "scl";
inline constexpr std::string_view kHexViewCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр файла в HEX виде.");
// The name dialog of "Сменить имя диска" and of a new TR-DOS image.
inline constexpr std::string_view kDiskNameCaption = QT_TRANSLATE_NOOP("morvane::Ui", "Имя диска!");
inline constexpr std::string_view kDiskNameMessage =
    QT_TRANSLATE_NOOP("morvane::Ui", "Задайте имя диска (8 символов максимум)");
inline constexpr std::string_view kDiskNameLabel = QT_TRANSLATE_NOOP("morvane::Ui", "Имя:");
inline constexpr std::size_t kDiskNameMaxLength = 8;
inline constexpr std::string_view kRenameAcceptButton =
    QT_TRANSLATE_NOOP("morvane::Ui", "&Принять");
inline constexpr std::string_view kRenameCancelButton =
    QT_TRANSLATE_NOOP("morvane::Ui", "&Отменить");
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

// Context menu captions, in menu order (separators not listed).
inline constexpr std::string_view kMenuViewScreen =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр экрана");
inline constexpr std::string_view kMenuViewHex = QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр HEX");
inline constexpr std::string_view kMenuCompact = QT_TRANSLATE_NOOP("morvane::Ui", "Уплотнить");
inline constexpr std::string_view kMenuRenameDisk =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сменить имя диска");
inline constexpr std::string_view kMenuShowDeleted =
    QT_TRANSLATE_NOOP("morvane::Ui", "Показать удаленные файлы");
inline constexpr std::string_view kMenuSaveHobeta =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить hob");
inline constexpr std::string_view kMenuSaveScl = QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить scl");
inline constexpr std::string_view kMenuEditHeader =
    QT_TRANSLATE_NOOP("morvane::Ui", "Редактировать заголовок");
inline constexpr std::string_view kMenuAddFiles =
    QT_TRANSLATE_NOOP("morvane::Ui", "Добавить файл(ы)");
inline constexpr std::string_view kMenuDeleteFiles =
    QT_TRANSLATE_NOOP("morvane::Ui", "Удалить файл(ы)");
// The files in and out as plain bytes and tape files, and the BASIC listing.
inline constexpr std::string_view kMenuViewBasic =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр BASIC");
inline constexpr std::string_view kMenuSaveBin = QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить bin");
inline constexpr std::string_view kMenuSaveTap = QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить tap");
inline constexpr std::string_view kMenuAddPlainFile =
    QT_TRANSLATE_NOOP("morvane::Ui", "Добавить файл bin");

inline constexpr std::string_view kBinFolderTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Директория сохранения файлов bin!");
inline constexpr std::string_view kTapSaveTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить файл(ы) в TAP..!");
inline constexpr std::string_view kTapFilter = "Файл ленты (*.tap)|*.tap";
inline constexpr std::string_view kTapDefaultExtension = "tap";
inline constexpr std::string_view kPlainFileFilter = "Все файлы (*)|*";

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
    bool viewBasic = false;
    bool saveBin = false;
    bool saveTap = false;
    bool addPlainFile = false;
};
// fromImage: the catalogue came from the image (not from the drive). selectedSingle: the
// entry of the one selected row, nullptr unless exactly one row is selected.
TrDosMenuState TrDosMenuEnabling(bool fromImage, std::size_t rowCount,
                                 const TrDosEntry* selectedSingle);

}  // namespace morvane
