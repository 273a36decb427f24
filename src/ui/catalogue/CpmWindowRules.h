// What the CP/M catalogue window shows and enables: its captions, column widths, menu and
// the rule that enables it. The listing itself is the filesystem's, shared with morvane-img.
#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string_view>

#include "filesystems/CpmListing.h"

namespace morvane {

inline constexpr std::string_view kCpmWindowCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Каталог диска CP/M");
inline constexpr std::string_view kCpmCatalogueErrorText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка в CP/M каталоге!");
inline constexpr std::string_view kCpmOverwriteQuestion =
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл существует! Перезаписать?!");
inline constexpr std::string_view kCpmSaveFilter = "Файлы CP/M Profi (*.cpm)|*.cpm";
inline constexpr std::string_view kCpmSaveDefaultExtension = "cpm";
inline constexpr std::string_view kCpmHexCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр файла в HEX виде.");
inline constexpr std::string_view kCpmTextCaption =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр файла в TXT виде.");
inline constexpr std::string_view kCpmHexFont = "Terminal";

struct CpmListColumn {
    std::string_view header;
    int width;  // 0: the list's default
};
inline constexpr std::array<CpmListColumn, 5> kCpmColumns{
    {{"Filename", 100}, {"Ext", 0}, {"Length", 60}, {"Atrib", 75}, {"№", 0}}};

// The description labels that carry no values.
inline constexpr std::array<std::string_view, 3> kCpmEmptyDescriptionLabels{
    QT_TRANSLATE_NOOP("morvane::Ui", "Удаленных файлов"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Тип дискеты"),
    QT_TRANSLATE_NOOP("morvane::Ui", "Свободный сектор")};

inline constexpr std::string_view kCpmMenuViewPicture =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр картинки");
inline constexpr std::string_view kCpmMenuViewHex =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр HEX");
inline constexpr std::string_view kCpmMenuViewText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Просмотр текста");
inline constexpr std::string_view kCpmMenuShowErased =
    QT_TRANSLATE_NOOP("morvane::Ui", "Показать удаленные файлы");
inline constexpr std::string_view kCpmMenuShowHidden =
    QT_TRANSLATE_NOOP("morvane::Ui", "Показать скрытые файлы");
inline constexpr std::string_view kCpmMenuRename =
    QT_TRANSLATE_NOOP("morvane::Ui", "Переименовать");
inline constexpr std::string_view kCpmMenuAddFiles =
    QT_TRANSLATE_NOOP("morvane::Ui", "Добавить файл(ы)");
inline constexpr std::string_view kCpmMenuDeleteFiles =
    QT_TRANSLATE_NOOP("morvane::Ui", "Удалить файл(ы)");
inline constexpr std::string_view kCpmMenuSaveAs =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить как");

struct CpmMenuState {
    bool viewPicture = false;
    bool viewHex = false;
    bool viewText = false;
    bool showErased = true;
    bool showHidden = true;
    bool rename = false;
    bool addFiles = true;
    bool deleteFiles = false;
    bool saveAs = false;
};
CpmMenuState CpmMenuEnabling(std::size_t selectedRows);

}  // namespace morvane
