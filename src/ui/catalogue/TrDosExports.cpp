// "Сохранить hob" and "Сохранить scl" of the TR-DOS catalogue window.
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosSectors.h"
#include "ui/catalogue/TrDosCatalogueWindow.h"
#include "ui/views/QtText.h"

namespace morvane {

namespace {

// A file the user chose that could not be written: said, with the reason, so the export is
// not taken for done.
void ReportWriteFailure(CatalogueDialogs& dialogs, const QString& path,
                        const FileWriteResult& written) {
    dialogs.Ask(
        {.caption = kCaptionErrorDots,
         .text = (Ui::tr("Ошибка записи файла ") + path).toStdString() + "\n" + written.reason});
}

}  // namespace

void T_ZXCAT::SaveHobeta() {
    if (!fromImage_) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    const QString chosen =
        dialogs.ChooseFolder(UiText(kHobetaFolderTitle), context_.hobetaDir.get());
    if (chosen.isEmpty()) return;
    const QString folder = FolderWithSeparator(chosen);
    const std::vector<std::size_t> entries = SelectedEntries();
    if (entries.empty()) return;
    std::vector<TrDosEntry> selected;
    for (std::size_t index : entries)
        selected.push_back(catalogue_.entries[index]);
    // Two files of one name are two files: the second is not asked about as if it were
    // already there.
    const std::vector<HobetaName> names = HobetaFileNames(selected);
    WriteFilesToFolder(
        folder, selected,
        [this, &names](const TrDosEntry& entry, std::size_t k, Bytes& file, QString& name) {
            name = QString::fromStdString(names[k].FileName());
            return BuildHobeta(*context_.disk, entry, file);
        });
}

void T_ZXCAT::WriteFilesToFolder(const QString& folder, const std::vector<TrDosEntry>& selected,
                                 const FolderFileMaker& make) {
    CatalogueDialogs& dialogs = *context_.dialogs;
    for (std::size_t k = 0; k < selected.size(); ++k) {
        Bytes file;
        QString name;
        if (!make(selected[k], k, file, name)) return;
        const QString path = folder + name;
        if (QFileInfo::exists(path)) {
            const Answer a = dialogs.Ask({.caption = kCaptionAttentionDots,
                                          .text = HobetaOverwriteQuestion(name.toStdString()),
                                          .buttons = Buttons::YesNoCancel});
            if (a == Answer::Cancel) return;
            if (a == Answer::No) continue;
        }
        if (const FileWriteResult written = WriteWholeFile(path, file); !written) {
            ReportWriteFailure(dialogs, path, written);
            return;
        }
    }
    if (folder != context_.hobetaDir.get()) context_.hobetaDir.set(folder);
}

void T_ZXCAT::SaveScl() {
    SaveFileRequest request;
    request.title = UiText(kSclSaveTitle);
    request.filter = QText(kSclFilter);
    request.defaultSuffix = QText(kSclDefaultExtension);
    SaveSelectionAsOneFile(request, [this](const std::vector<TrDosEntry>& selected, Bytes& file,
                                           SectorPosition& failed) {
        return BuildScl(*context_.disk, selected, file, &failed);
    });
}

void T_ZXCAT::SaveSelectionAsOneFile(SaveFileRequest request, const OneFileMaker& make) {
    if (!fromImage_) return;
    CatalogueDialogs& dialogs = *context_.dialogs;
    const std::vector<std::size_t> entries = SelectedEntries();
    if (entries.empty()) {
        dialogs.Ask({.caption = kCaptionErrorDots, .text = std::string(kNoFilesToSaveText)});
        return;
    }
    request.directory = context_.sclDir.get();
    const QString path = dialogs.ChooseSaveFile(request);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && dialogs.Ask({.caption = kCaptionAttentionDots,
                                                .text = SclOverwriteQuestion(path.toStdString()),
                                                .buttons = Buttons::YesNo}) != Answer::Yes)
        return;
    std::vector<TrDosEntry> selected;
    for (std::size_t index : entries)
        selected.push_back(catalogue_.entries[index]);
    Bytes file;
    SectorPosition failed;
    if (!make(selected, file, failed)) {
        dialogs.Ask(
            {.caption = kCaptionErrorDots, .text = SectorErrorText(failed.track, failed.sector)});
        return;
    }
    if (const FileWriteResult written = WriteWholeFile(path, file); !written) {
        ReportWriteFailure(dialogs, path, written);
        return;
    }
    const QString folder = FolderOfFile(path);
    if (folder != context_.sclDir.get()) context_.sclDir.set(folder);
}

}  // namespace morvane
