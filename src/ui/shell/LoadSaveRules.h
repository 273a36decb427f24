// The small decisions of the image load and save commands: which format a chosen name
// means, the dialogs' filters and titles, the names the dialogs start with, and the lines
// the commands leave in the log and the status bar.
#pragma once

#include <QString>

#include "formats/ImageFormat.h"

namespace morvane {

// The format-choosing commands compare the first three characters after the last dot,
// upper-cased, with UDI, TRD, TD0 and FDI (so ".udif" is UDI). Anything else: Unknown.
ImageFormat DispatchFormat(const QString& fileName);

// Filters in "description|pattern|description|pattern" form.
inline constexpr const char* kLoadAsFilter =
    "Универсальный образ диска (*.udi)|*.udi|Файл образа TRDOS диска (*.trd)|*.trd|"
    "Образ диска TeleDisk (*.td0)|*.td0|Полный образ диска (*.fdi)|*.fdi|"
    "Поддерживаемые форматы (*.udi,*.trd,*.td0,*.fdi)|*.fdi;*.trd;*.udi;*.td0";
inline constexpr int kLoadAsFilterIndex = 5;
inline constexpr const char* kSaveAsFilter =
    "Универсальный образ диска (*.udi)|*.udi|Файл образа TRDOS диска (*.trd)|*.trd|"
    "Образ диска TeleDisk (*.td0)|*.td0|Полный образ диска (*.fdi)|*.fdi";
inline constexpr const char* kNativeFilter = "Universal Disk Format (*.udf)|*.udf";
inline constexpr const char* kUdiLoadFilter = "Universal Disk Image (*.udi)|*.udi";
inline constexpr const char* kUdiSaveFilter = "Ultra Disk Image (*.udi)|*.udi";
inline constexpr const char* kTrdLoadFilter = "Файл образа TRDOS диска (*.trd)|*.trd";
inline constexpr const char* kTrdSaveFilter = "Образ стандартного TRDOS диска (*.trd)|*.trd";
inline constexpr const char* kTd0LoadFilter = "Образ диска TeleDisk (*.td0)|*.td0";
inline constexpr const char* kFdiLoadFilter = "Образ диска (*.fdi)|*.fdi";

inline constexpr const char* kLoadTitle = "Загрузить образ диска из файла..";
inline constexpr const char* kSaveAsTitle = "Сохранить образ диска в файл...";
inline constexpr const char* kSaveNativeTitle = "Сохранить образ диска в файл..";
inline constexpr const char* kLoadTrdTitle = "Загрузить образ TRD диска из файла..";
inline constexpr const char* kSaveTrdTitle = "Сохранить образ в TRD файл..";
inline constexpr const char* kLoadTd0Title = "Загрузить образ Teledisk из файла..";
inline constexpr const char* kLoadFdiTitle = "Загрузить образ FDI из файла..";

// The default extension of the "Сохранить как..." dialog for its 1-based filter entry.
QString SaveAsSuffixForFilter(int filterIndex);

// Name offered by "Сохранить как...": the current name without its last four characters.
QString SaveAsStartName(const QString& currentName);
// Name offered by "Сохранить": the current name with "udf" in place of its last three
// characters; nothing when there is no current name.
QString NativeSaveStartName(const QString& currentName);
// A dialog's name with its extension replaced by the format's (".udi" ...); a name
// without extension gains it.
QString WithExtension(const QString& name, const QString& extension);
// What a single-format save dialog starts with: its own last name with the format's
// extension, else the open dialog's name with it, else nothing.
QString SingleSaveStartName(const QString& saveDialogName, const QString& openDialogName,
                            const QString& extension);

QString UdiErrorLine(const QString& lastError);
QString FdiErrorLine(const QString& lastError);
QString Td0ErrorLine(const QString& lastError);
QString UdiWriteFailLine(unsigned failTrack, unsigned failSlot);
// Status panel 1 after a load.
QString ImageStatusText(const QString& fullFileName, unsigned presentTracks);

// Qt's filter list ("desc (*.a *.b)") from the "description|pattern" form; a description
// that already names exactly its patterns is kept as it is.
QStringList QtNameFilters(const QString& pipeFilter);

}  // namespace morvane
