// "Добавить файл(ы)" of the TR-DOS catalogue window: Hobeta files, SCL archives and the
// files of tape files added after the last file of the image.
#include <QFile>

#include <string>
#include <vector>

#include "filesystems/TrDosAdding.h"
#include "filesystems/ZxTape.h"
#include "imagefiles/ImageFormatTable.h"
#include "ui/catalogue/CatalogueEditTexts.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

// The TR-DOS files of every chosen file in the order chosen; false with the message to
// show when one cannot be read or is damaged, so nothing is added from a partial set.
bool ReadChosenFiles(const QStringList& paths, std::vector<TrDosFileData>& files,
                     QString& message) {
    for (const QString& path : paths) {
        const std::string native = QFile::encodeName(path).toStdString();
        Bytes bytes;
        if (!ReadWholeFile(native, bytes)) {
            message = UiText(kFileReadErrorText) + path;
            return false;
        }
        std::vector<TrDosFileData> set;
        std::string error;
        const bool parsed = IsTapFileName(native)
                                ? TrDosFilesOfTap(bytes, set, error)
                                : ParseTrDosFileSet(FormatFromPath(native), bytes, set, error);
        if (!parsed) {
            message = UiText(kFileBadErrorText) + path + QStringLiteral(": ") +
                      QString::fromStdString(error);
            return false;
        }
        for (TrDosFileData& f : set)
            files.push_back(std::move(f));
    }
    return true;
}

}  // namespace

void TrDosCatalogueWindow::AddFiles() {
    if (!fromImage_ || !MayChangeImage()) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    OpenFilesRequest request;
    request.title = UiText(kMenuAddFiles);
    request.filter = QText(kTrDosAddFilter);
    request.directory = context_.hobetaDir.get();
    const QStringList paths = dialogs.ChooseOpenFiles(request);
    if (paths.isEmpty()) return;
    std::vector<TrDosFileData> files;
    QString message;
    if (!ReadChosenFiles(paths, files, message)) {
        dialogs.Ask({.caption = kCaptionErrorDots, .text = message.toStdString()});
        return;
    }
    std::string error;
    if (!AddTrDosFiles(*context_.disk, files, error)) {
        dialogs.Ask(
            {.caption = kCaptionErrorDots,
             .text = (UiText(kFilesNotAddedText) + QString::fromStdString(error)).toStdString()});
        return;
    }
    Changed();
}

}  // namespace morvane
