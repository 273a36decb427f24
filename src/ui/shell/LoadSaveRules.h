// The window's side of the image load and save commands: dialog titles, the names the
// dialogs start with, and the lines the commands leave in the log and the status bar.
// Which format a name means, the filters and the error texts come from the formats'
// own table (formats/ImageFiles.h); these are its QString faces.
#pragma once

#include <QString>
#include <QStringList>

#include "formats/ImageFiles.h"

namespace morvane {

// The format-choosing commands' rule: the first three characters after the last dot,
// upper-cased, against UDI, TRD, TD0 and FDI (".udif" is UDI; ".udf" is none of them).
ImageFormat DispatchFormat(const QString& fileName);

inline constexpr const char* kLoadTitle = "Загрузить образ диска из файла..";
inline constexpr const char* kSaveAsTitle = "Сохранить образ диска в файл...";
inline constexpr const char* kSaveNativeTitle = "Сохранить образ диска в файл..";
inline constexpr const char* kLoadTrdTitle = "Загрузить образ TRD диска из файла..";
inline constexpr const char* kSaveTrdTitle = "Сохранить образ в TRD файл..";
inline constexpr const char* kLoadTd0Title = "Загрузить образ Teledisk из файла..";
inline constexpr const char* kLoadFdiTitle = "Загрузить образ FDI из файла..";
// Asked by "Сохранить как..." for a TD0 name: Yes writes the LZH-compressed form.
inline constexpr const char* kTd0CompressQuestion = "Сохранить образ TD0 со сжатием (LZH)?";

QString LoadAsFilter();
QString SaveAsFilter();
QString NativeFilter();
QString SingleLoadFilterText(ImageFormat format);
QString SingleSaveFilterText(ImageFormat format);
// The default extension of the "Сохранить как..." dialog for its 1-based filter entry.
QString SaveAsSuffixForFilter(int filterIndex);

// The file "Сохранить как..." writes: the typed name when its extension names a known
// format, else the name with the chosen entry's extension ("Elite v1.2" with the TRD entry
// gives "Elite v1.2.trd"). File dialogs add their extension only to a name without a dot.
QString SaveAsTargetName(const QString& typed, int filterIndex);
// Why "Сохранить как..." writes nothing for a name of this format.
QString SaveAsRefusalText(ImageFormat format, const QString& path);

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

// The log line of a failed read, for every format.
QString ReadErrorLine(ImageFormat format, const std::string& lastError);
// The log line of a failed UDI save, with the failing track and slot.
QString UdiWriteFailLine(const TZX_Disk& disk);
// Status panel 1 after a load.
QString ImageStatusText(const QString& fullFileName, unsigned presentTracks);
// Whether a status text is one of ImageStatusText's (the panel also shows the controller).
bool IsImageStatusText(const QString& text);

// Qt's name filters for a "description|pattern|..." filter.
QStringList QtNameFilters(const QString& pipeFilter);

}  // namespace morvane
