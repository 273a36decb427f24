// The texts of the catalogue windows' adding, renaming and deleting of files.
#pragma once

#include <QtGlobal>

#include <string_view>

namespace morvane {

// The filters are translated entry by entry where the dialog is made (ShownText).
// TR-DOS: the files that carry TR-DOS files, Hobeta files, SCL archives and tape files.
inline constexpr std::string_view kTrDosAddFilter =
    "Файлы Hobeta, SCL и TAP (*.$?,*.scl,*.tap)|*.$?;*.scl;*.tap|Файл Hobeta (*.$?)|*.$?|"
    "Архив файлов TR-DOS (*.scl)|*.scl|Файл ленты (*.tap)|*.tap";
// CP/M: any PC file, stored under its own name.
inline constexpr std::string_view kCpmAddFilter = "Все файлы (*)|*";

// Followed by the path.
inline constexpr std::string_view kFileReadErrorText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка чтения файла ");
// "Ошибка в файле PATH: REASON" for a file that is cut short or fails its checksum.
inline constexpr std::string_view kFileBadErrorText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Ошибка в файле ");
// Followed by the reason: the catalogue entries or the free space are not enough.
inline constexpr std::string_view kFilesNotAddedText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Файлы не добавлены: ");
// "Файл PATH не добавлен: REASON", for one of several PC files on a CP/M disk.
inline constexpr std::string_view kFileNotAddedPrefix = QT_TRANSLATE_NOOP("morvane::Ui", "Файл ");
inline constexpr std::string_view kFileNotAddedMiddle =
    QT_TRANSLATE_NOOP("morvane::Ui", " не добавлен: ");
// Followed by the name: a PC file name longer than 8.3 or with characters CP/M refuses.
inline constexpr std::string_view kCpmBadNameText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Имя файла не подходит для CP/M (8.3): ");

inline constexpr std::string_view kCpmRenameLabel =
    QT_TRANSLATE_NOOP("morvane::Ui", "Новое имя файла:");
// Followed by the reason, for example that the name exists.
inline constexpr std::string_view kFileNotRenamedText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Файл не переименован: ");
// Followed by the reason.
inline constexpr std::string_view kCpmNotDeletedText =
    QT_TRANSLATE_NOOP("morvane::Ui", "Файлы не удалены: ");

}  // namespace morvane
