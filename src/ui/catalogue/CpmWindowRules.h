// What the CP/M catalogue window shows and enables: its captions, column widths, menu and
// the rule that enables it. The listing itself is the filesystem's, shared with morvane-img.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "filesystems/CpmListing.h"

namespace morvane {

inline constexpr std::string_view kCpmWindowCaption = "Каталог диска CP/M";
inline constexpr std::string_view kCpmCatalogueErrorText = "Ошибка в CP/M каталоге!";
inline constexpr std::string_view kCpmOverwriteQuestion = "Файл существует! Перезаписать?!";
inline constexpr std::string_view kCpmSaveFilter = "Файлы CP/M Profi (*.cpm)|*.cpm";
inline constexpr std::string_view kCpmSaveDefaultExtension = "cpm";
inline constexpr std::string_view kCpmHexCaption = "Просмотр файла в HEX виде.";
inline constexpr std::string_view kCpmTextCaption = "Просмотр файла в TXT виде.";
inline constexpr std::string_view kCpmHexFont = "Terminal";

struct CpmListColumn {
    std::string_view header;
    int width;  // 0: the list's default
};
inline constexpr std::array<CpmListColumn, 5> kCpmColumns{
    {{"Filename", 100}, {"Ext", 0}, {"Length", 60}, {"Atrib", 75}, {"№", 0}}};

// The description labels that carry no values.
inline constexpr std::array<std::string_view, 3> kCpmEmptyDescriptionLabels{
    "Удаленных файлов", "Тип дискеты", "Свободный сектор"};

inline constexpr std::string_view kCpmMenuViewPicture = "Просмотр картинки";
inline constexpr std::string_view kCpmMenuViewHex = "Просмотр HEX";
inline constexpr std::string_view kCpmMenuViewText = "Просмотр текста";
inline constexpr std::string_view kCpmMenuShowErased = "Показать удаленные файлы";
inline constexpr std::string_view kCpmMenuShowHidden = "Показать скрытые файлы";
inline constexpr std::string_view kCpmMenuRename = "Переименовать";
inline constexpr std::string_view kCpmMenuAddFiles = "Добавить файл(ы)";
inline constexpr std::string_view kCpmMenuDeleteFiles = "Удалить файл(ы)";
inline constexpr std::string_view kCpmMenuSaveAs = "Сохранить как";

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
