// The window's side of the image load and save commands: dialog titles, the names the
// dialogs start with, and the lines the commands leave in the log and the status bar.
// Which format a name means, the filters and the error texts come from the format table
// (imagefiles/); these are its QString faces.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string_view>

#include "imagefiles/DialogFilters.h"
#include "imagefiles/ImageFiles.h"

namespace morvane {

// The format-choosing commands' rule: the first three characters after the last dot,
// whatever their case, against the formats those dialogs list (".udif" is UDI; ".udf" is
// none of them).
ImageFormat DispatchFormat(const QString& fileName);

// The single-format and native commands take their titles from their formats' rows;
// "Загрузить как..." shares its title with those of UDI and the native format.
inline constexpr const char* kLoadTitle = kLoadImageTitle.data();
inline constexpr const char* kSaveAsTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить образ диска в файл...");

QString LoadAsFilter();
QString SaveAsFilter();
QString NativeFilter();
QString SingleLoadFilterText(ImageFormat format);
QString SingleSaveFilterText(ImageFormat format);
// A text of the format table (a title, a question) as a QString.
QString TableText(std::string_view utf8);
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
