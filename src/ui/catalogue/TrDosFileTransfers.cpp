// The TR-DOS catalogue window's plain and tape files: "Просмотр BASIC", "Сохранить bin",
// "Сохранить tap" and "Добавить файл bin", callers of the filesystem functions that
// morvane-img's list, export-bin, export-tap and add use.
#include <QFile>
#include <QFileInfo>

#include "filesystems/Hobeta.h"
#include "filesystems/TrDosPlainFiles.h"
#include "filesystems/ZxTape.h"
#include "model/Cp1251.h"
#include "ui/catalogue/CatalogueEditTexts.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

// The header a plain file is offered with: its own name, code at 0x8000 (for a BASIC file
// the start is its autostart line); the length shown is the file's, and stays so.
TrDosEntryEdit PlainFilePreset(const QString& path, std::size_t size) {
    TrDosEntryEdit edit;
    edit.name = TrDosNameFromArgument(QFileInfo(path).completeBaseName().toStdString());
    edit.type = kTrDosCode;
    edit.start = 0x8000;
    edit.length = static_cast<std::uint16_t>(std::min<std::size_t>(size, 0xFFFF));
    return edit;
}

}  // namespace

void TrDosCatalogueWindow::ViewBasic() {
    const TrDosEntry* e = SingleSelectedEntry();
    if (e == nullptr || !fromImage_ || e->type != kTrDosBasic) return;
    std::string error;
    const std::string listing = TrDosBasicListing(*context_.disk, *e, error);
    if (!error.empty()) {
        context_.dialogs->Ask({.caption = kCaptionErrorDots, .text = error});
        return;
    }
    const QString name = QText(Cp1251ToUtf8(Bytes(e->name.begin(), e->name.end()))).trimmed();
    context_.dialogs->ShowListing(UiText(kMenuViewBasic) + QStringLiteral(" - ") + name,
                                  QText(listing), name + QStringLiteral(".txt"));
}

void TrDosCatalogueWindow::SaveBin() {
    if (!fromImage_) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    const std::vector<std::size_t> entries = SelectedEntries();
    if (entries.empty()) return;
    const QString chosen = dialogs.ChooseFolder(UiText(kBinFolderTitle), context_.hobetaDir.get());
    if (chosen.isEmpty()) return;
    const QString folder = FolderWithSeparator(chosen);
    std::vector<TrDosEntry> selected;
    for (std::size_t index : entries)
        selected.push_back(catalogue_.entries[index]);
    const std::vector<HobetaName> names = HobetaFileNames(selected);
    WriteFilesToFolder(
        folder, selected,
        [&names](const TrDosEntry& entry, std::span<const std::uint8_t> sectors, std::size_t k,
                 Bytes& file, QString& name) {
            file = TrDosPlainBytes(entry, sectors);
            // NAME.$T without its '$'.
            name = QString::fromStdString(names[k].base + "." + names[k].extension.substr(1));
        });
}

void TrDosCatalogueWindow::SaveTap() {
    SaveFileRequest request;
    request.title = UiText(kTapSaveTitle);
    request.filter = QText(kTapFilter);
    request.defaultSuffix = QText(kTapDefaultExtension);
    SaveSelectionAsOneFile(request, [](const std::vector<TrDosEntry>& selected,
                                       const std::vector<Bytes>& sectors, Bytes& file) {
        for (std::size_t i = 0; i < selected.size(); ++i)
            AppendTapeFile(file, TapeFileOfTrDos(selected[i], sectors[i]));
    });
}

void TrDosCatalogueWindow::AddPlainFiles() {
    if (!fromImage_ || !MayChangeImage()) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    OpenFilesRequest request;
    request.title = UiText(kMenuAddPlainFile);
    request.filter = QText(kPlainFileFilter);
    request.directory = context_.hobetaDir.get();
    const QStringList paths = dialogs.ChooseOpenFiles(request);
    std::vector<TrDosFileData> files;
    for (const QString& path : paths) {
        Bytes bytes;
        if (!ReadWholeFile(QFile::encodeName(path).toStdString(), bytes)) {
            dialogs.Ask({.caption = kCaptionErrorDots,
                         .text = (QText(kFileReadErrorText) + path).toStdString()});
            return;
        }
        // Name, type and start of each file as the user sets them; the length is the file's.
        TrDosEntryEdit edit = PlainFilePreset(path, bytes.size());
        if (!dialogs.EditHeader(edit)) return;
        PlainFileFields fields{edit.name, edit.type, edit.start, std::nullopt};
        TrDosFileData file;
        std::string error;
        if (!MakeTrDosFile(fields, bytes, file, error)) {
            dialogs.Ask({.caption = kCaptionErrorDots,
                         .text = (QText(kFileBadErrorText) + path + QStringLiteral(": ") +
                                  QString::fromStdString(error))
                                     .toStdString()});
            return;
        }
        files.push_back(std::move(file));
    }
    if (files.empty()) return;
    std::string error;
    if (!AddTrDosFiles(*context_.disk, files, error)) {
        dialogs.Ask(
            {.caption = kCaptionErrorDots,
             .text = (QText(kFilesNotAddedText) + QString::fromStdString(error)).toStdString()});
        return;
    }
    Changed();
}

}  // namespace morvane
