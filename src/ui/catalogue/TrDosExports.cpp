// "Сохранить hob" and "Сохранить scl" of the TR-DOS catalogue window, and what every save
// of its files shares: a file with sectors read in error or not read is saved only when
// the user, told which sectors, says so.
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosFileSectors.h"
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

// "NAME.T: дорожка 1 сектор 7 считан с ошибкой, дорожка 1 сектор 8 не считан".
QString DamagedFileLine(const TrDosEntry& entry, const TrDosFileSectors& file) {
    QStringList sectors;
    for (const DamagedSector& d : file.damaged) {
        const QString text = d.state == FileSectorState::Bad
                                 ? Ui::tr("дорожка %1 сектор %2 считан с ошибкой")
                                 : Ui::tr("дорожка %1 сектор %2 не считан");
        sectors << text.arg(d.at.track).arg(d.at.sector);
    }
    const std::uint8_t type[1] = {entry.type};
    return QText(TrimmedZxName(entry.name) + "." + ZxNameText(type)) + QStringLiteral(": ") +
           sectors.join(QStringLiteral(", "));
}

}  // namespace

std::optional<std::vector<TrDosFileSectors>> TrDosCatalogueWindow::ReadFilesToSave(
    const std::vector<TrDosEntry>& selected) {
    std::vector<TrDosFileSectors> files;
    QStringList damaged;
    for (const TrDosEntry& entry : selected) {
        files.push_back(ReadTrDosFileAsItIs(*context_.disk, entry));
        if (!files.back().Whole()) damaged << DamagedFileLine(entry, files.back());
    }
    if (damaged.isEmpty()) return files;
    const QString question = Ui::tr("Не все сектора файлов считаны без ошибок:") +
                             QLatin1Char('\n') + damaged.join(QLatin1Char('\n')) +
                             QLatin1Char('\n') + Ui::tr("Сохранить файлы как есть?");
    if (context_.dialogs->Ask({.caption = kCaptionAttentionDots,
                               .text = question.toStdString(),
                               .buttons = Buttons::YesNo}) != Answer::Yes)
        return std::nullopt;
    return files;
}

void TrDosCatalogueWindow::SaveHobeta() {
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
    WriteFilesToFolder(folder, selected,
                       [&names](const TrDosEntry& entry, std::span<const std::uint8_t> sectors,
                                std::size_t k, Bytes& file, QString& name) {
                           name = QString::fromStdString(names[k].FileName());
                           file = HobetaBytes(entry, sectors);
                       });
}

void TrDosCatalogueWindow::WriteFilesToFolder(const QString& folder, const std::vector<TrDosEntry>& selected,
                                 const FolderFileMaker& make) {
    CatalogueDialogs& dialogs = *context_.dialogs;
    const std::optional<std::vector<TrDosFileSectors>> sectors = ReadFilesToSave(selected);
    if (!sectors) return;
    for (std::size_t k = 0; k < selected.size(); ++k) {
        Bytes file;
        QString name;
        make(selected[k], (*sectors)[k].data, k, file, name);
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

void TrDosCatalogueWindow::SaveScl() {
    SaveFileRequest request;
    request.title = UiText(kSclSaveTitle);
    request.filter = QText(kSclFilter);
    request.defaultSuffix = QText(kSclDefaultExtension);
    SaveSelectionAsOneFile(
        request, [](const std::vector<TrDosEntry>& selected, const std::vector<Bytes>& sectors,
                    Bytes& file) { file = SclArchive(selected, sectors); });
}

void TrDosCatalogueWindow::SaveSelectionAsOneFile(SaveFileRequest request, const OneFileMaker& make) {
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
    const std::optional<std::vector<TrDosFileSectors>> read = ReadFilesToSave(selected);
    if (!read) return;
    std::vector<Bytes> sectors;
    for (const TrDosFileSectors& f : *read)
        sectors.push_back(f.data);
    Bytes file;
    make(selected, sectors, file);
    if (const FileWriteResult written = WriteWholeFile(path, file); !written) {
        ReportWriteFailure(dialogs, path, written);
        return;
    }
    const QString folder = FolderOfFile(path);
    if (folder != context_.sclDir.get()) context_.sclDir.set(folder);
}

}  // namespace morvane
