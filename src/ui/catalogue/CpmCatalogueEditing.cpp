// "Переименовать", "Удалить файл(ы)" and "Добавить файл(ы)" of the CP/M catalogue window.
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "filesystems/CpmEditing.h"
#include "ui/catalogue/CatalogueEditTexts.h"
#include "ui/catalogue/CpmCatalogueWindow.h"
#include "ui/catalogue/TrDosWindowRules.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

// "NAME.EXT" without the padding and the attribute bits, as the user types a name.
QString NameForEditing(const CpmName& name) {
    std::string text(name.begin(), name.end());
    for (char& c : text)
        c = static_cast<char>(c & 0x7F);
    const QString base = QString::fromLatin1(text.substr(0, 8)).trimmed();
    const QString type = QString::fromLatin1(text.substr(8)).trimmed();
    return type.isEmpty() ? base : base + QLatin1Char('.') + type;
}

// A typed or chosen name as CP/M holds it; a name with a folder in it is no file name.
std::optional<CpmName> CpmNameOf(const QString& fileName) {
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')))
        return std::nullopt;
    return CpmNameForPcFile(fileName.toStdString());
}

// Every track as it is, put back when a later file of several is refused, so the image is
// changed by all of them or by none.
class TrackSnapshot {
  public:
    explicit TrackSnapshot(DiskImage& disk) : disk_(disk) {
        for (std::size_t t = 0; t < kTrackCount; ++t)
            tracks_.push_back(*disk.GetTrack(static_cast<std::uint8_t>(t)));
    }
    void Restore() {
        for (std::size_t t = 0; t < kTrackCount; ++t)
            *disk_.GetTrack(static_cast<std::uint8_t>(t)) = tracks_[t];
        disk_.Repaint();
    }

  private:
    DiskImage& disk_;
    std::vector<Track> tracks_;
};

struct PcFile {
    QString path;
    CpmName name;
    Bytes bytes;
};

}  // namespace

bool CpmCatalogueWindow::MayChangeImage() const {
    return !context_.mayChangeImage || context_.mayChangeImage();
}

void CpmCatalogueWindow::Changed() {
    Fill();
    if (context_.imageChanged) context_.imageChanged();
}

std::optional<std::vector<std::size_t>> CpmCatalogueWindow::SelectedFirstExtents() const {
    const std::vector<CpmDirEntry> now = ParseCpmDirectory(ReadCpmDirectoryBytes(*context_.disk));
    std::vector<std::size_t> out;
    for (int r = 0; r < fileList_->topLevelItemCount(); ++r) {
        if (!fileList_->topLevelItem(r)->isSelected()) continue;
        const std::size_t index = catalogue_.rows[static_cast<std::size_t>(r)].entry;
        const CpmDirEntry& shown = catalogue_.entries[index];
        if (index >= now.size() || now[index].user != shown.user || now[index].name != shown.name ||
            !now[index].IsFirstExtent())
            return std::nullopt;
        out.push_back(index);
    }
    return out;
}

void CpmCatalogueWindow::Rename() {
    if (!MayChangeImage()) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    const std::optional<std::vector<std::size_t>> selected = SelectedFirstExtents();
    if (!selected) {
        dialogs.Ask({.caption = kCaptionError, .text = std::string(kCpmCatalogueErrorText)});
        return;
    }
    if (selected->empty()) return;
    const std::size_t entry = selected->front();
    const CpmName old = catalogue_.entries[entry].name;
    const std::optional<QString> typed =
        dialogs.AskText(UiText(kCpmMenuRename), UiText(kCpmRenameLabel), NameForEditing(old));
    if (!typed || typed->trimmed().isEmpty()) return;
    const std::optional<CpmName> name = CpmNameOf(typed->trimmed());
    if (!name) {
        dialogs.Ask({.caption = kCaptionError,
                     .text = (UiText(kCpmBadNameText) + typed->trimmed()).toStdString()});
        return;
    }
    if (SameCpmName(*name, old)) return;
    std::string error;
    if (!RenameCpmFile(*context_.disk, entry, *name, error)) {
        dialogs.Ask(
            {.caption = kCaptionError,
             .text = (UiText(kFileNotRenamedText) + QString::fromStdString(error)).toStdString()});
        return;
    }
    Changed();
}

void CpmCatalogueWindow::DeleteFiles() {
    if (!MayChangeImage()) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    const std::optional<std::vector<std::size_t>> selected = SelectedFirstExtents();
    if (selected && selected->empty()) return;
    if (dialogs.Ask({.caption = kCaptionAttention,
                     .text = std::string(kDeleteQuestion),
                     .buttons = Buttons::YesNo}) != Answer::Yes)
        return;
    if (!selected) {
        dialogs.Ask({.caption = kCaptionError, .text = std::string(kCpmCatalogueErrorText)});
        return;
    }
    std::string error;
    if (!DeleteCpmFiles(*context_.disk, *selected, error)) {
        dialogs.Ask(
            {.caption = kCaptionError,
             .text = (UiText(kCpmNotDeletedText) + QString::fromStdString(error)).toStdString()});
        return;
    }
    Changed();
}

void CpmCatalogueWindow::AddFiles() {
    if (!MayChangeImage()) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    OpenFilesRequest request;
    request.title = UiText(kCpmMenuAddFiles);
    request.filter = UiText(kCpmAddFilter);
    request.directory = context_.sclDir.get();
    const QStringList paths = dialogs.ChooseOpenFiles(request);
    if (paths.isEmpty()) return;
    std::vector<PcFile> files;
    for (const QString& path : paths) {
        const QString fileName = QFileInfo(path).fileName();
        const std::optional<CpmName> name = CpmNameOf(fileName);
        if (!name) {
            dialogs.Ask({.caption = kCaptionError,
                         .text = (UiText(kCpmBadNameText) + fileName).toStdString()});
            return;
        }
        PcFile file{path, *name, {}};
        if (!ReadWholeFile(QFile::encodeName(path).toStdString(), file.bytes)) {
            dialogs.Ask({.caption = kCaptionError,
                         .text = (UiText(kFileReadErrorText) + path).toStdString()});
            return;
        }
        files.push_back(std::move(file));
    }
    TrackSnapshot before(*context_.disk);
    for (const PcFile& file : files) {
        std::string error;
        if (!AddCpmFile(*context_.disk, file.name, file.bytes, error)) {
            before.Restore();
            Fill();
            dialogs.Ask({.caption = kCaptionError,
                         .text = (UiText(kFileNotAddedPrefix) + file.path +
                                  UiText(kFileNotAddedMiddle) + QString::fromStdString(error))
                                     .toStdString()});
            return;
        }
    }
    Changed();
}

}  // namespace morvane
