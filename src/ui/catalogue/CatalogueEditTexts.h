// The texts of the catalogue windows' adding, renaming and deleting of files.
#pragma once

#include <string_view>

namespace morvane {

// TR-DOS: the files that carry TR-DOS files, Hobeta files, SCL archives and tape files.
inline constexpr std::string_view kTrDosAddFilter =
    "Файлы Hobeta, SCL и TAP (*.$?,*.scl,*.tap)|*.$?;*.scl;*.tap|Файл Hobeta (*.$?)|*.$?|"
    "Архив файлов TR-DOS (*.scl)|*.scl|Файл ленты (*.tap)|*.tap";
// CP/M: any PC file, stored under its own name.
inline constexpr std::string_view kCpmAddFilter = "Все файлы (*)|*";

// Followed by the path.
inline constexpr std::string_view kFileReadErrorText = "Ошибка чтения файла ";
// "Ошибка в файле PATH: REASON" for a file that is cut short or fails its checksum.
inline constexpr std::string_view kFileBadErrorText = "Ошибка в файле ";
// Followed by the reason: the catalogue entries or the free space are not enough.
inline constexpr std::string_view kFilesNotAddedText = "Файлы не добавлены: ";
// "Файл PATH не добавлен: REASON", for one of several PC files on a CP/M disk.
inline constexpr std::string_view kFileNotAddedPrefix = "Файл ";
inline constexpr std::string_view kFileNotAddedMiddle = " не добавлен: ";
// Followed by the name: a PC file name longer than 8.3 or with characters CP/M refuses.
inline constexpr std::string_view kCpmBadNameText = "Имя файла не подходит для CP/M (8.3): ";

inline constexpr std::string_view kCpmRenameLabel = "Новое имя файла:";
// Followed by the reason, for example that the name exists.
inline constexpr std::string_view kCpmNotRenamedText = "Файл не переименован: ";
// Followed by the reason.
inline constexpr std::string_view kCpmNotDeletedText = "Файлы не удалены: ";

}  // namespace morvane
