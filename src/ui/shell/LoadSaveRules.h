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
// "Загрузить": every format the program reads, "supported formats" first.
QString OpenAnyFilter();
QString SingleLoadFilterText(ImageFormat format);
QString SingleSaveFilterText(ImageFormat format);
// A text of the format table (a title, a question) as a QString.
QString TableText(std::string_view utf8);
// The default extension of the "Сохранить как..." dialog for its 1-based filter entry.
QString SaveAsSuffixForFilter(int filterIndex);
// The same for this image: a Hobeta file's "$?" becomes '$' and the TR-DOS type letter of
// the image's one file ("$B"; "$C" when it does not hold exactly one, which the writer
// then refuses with its reason).
QString SaveAsSuffixForImage(int filterIndex, const DiskImage& image);

// The format "Сохранить как..." writes a name in: the one its extension names among all
// formats ("out.udf" is the native format, "boot.$B" Hobeta), else the one the
// format-choosing rule gives ("disk.udif" is UDI); Unknown for none.
ImageFormat SaveAsFormat(const QString& fileName);
// The file "Сохранить как..." writes: the typed name when its extension names a format
// (SaveAsFormat), else the name with the chosen entry's extension ("Elite v1.2" with the
// TRD entry gives "Elite v1.2.trd"). File dialogs add their extension only to a name
// without a dot.
QString SaveAsTargetName(const QString& typed, const QString& entryExtension);
// Why "Сохранить как..." writes nothing for a name of this format.
QString SaveAsRefusalText(ImageFormat format, const QString& path);

// Name offered by "Сохранить как...": the current name without its last four characters.
QString SaveAsStartName(const QString& currentName);
// Name offered by "Сохранить": the image's file name with ".udf" in place of its
// extension ("TWILIGHT.$C" gives "TWILIGHT.udf"); nothing when there is no name.
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
// The box of a failed read: the file, and the reader's reason on a line of its own.
QString ReadFailureText(const QString& path, const std::string& lastError);
// The box of a file that no format the program reads is known by.
QString UnknownFormatText(const QString& path);
// The log line of a failed UDI save, with the failing track and slot.
QString UdiWriteFailLine(const DiskImage& disk);
// Status panel 1 after a load.
QString ImageStatusText(const QString& fullFileName, unsigned presentTracks);
// Whether a status text is one of ImageStatusText's (the panel also shows the controller).
bool IsImageStatusText(const QString& text);

// Qt's name filters for a "description|pattern|..." filter.
QStringList QtNameFilters(const QString& pipeFilter);

}  // namespace morvane
