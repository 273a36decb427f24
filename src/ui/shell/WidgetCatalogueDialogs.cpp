#include "ui/shell/WidgetCatalogueDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>

#include "ui/catalogue/DiskNameDialog.h"
#include "ui/catalogue/EntryHeaderDialog.h"
#include "ui/catalogue/ListingViewer.h"
#include "ui/views/QtText.h"

namespace morvane {

std::optional<QString> WidgetCatalogueDialogs::DiskName(const QString& preset, bool okOnly) {
    DiskNameDialog dialog(preset, okOnly, parent_);
    // The new disk's form has no cancel: closing it takes the text as it stands.
    if (dialog.exec() != QDialog::Accepted && !okOnly) return std::nullopt;
    return dialog.Text();
}

QString WidgetCatalogueDialogs::ChooseFolder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent_, title, start);
}

QString WidgetCatalogueDialogs::ChooseSaveFile(const SaveFileRequest& request) {
    FileDialogRequest r;
    r.kind = FileDialogRequest::Kind::Save;
    r.title = request.title;
    r.filter = request.filter;
    r.directory = request.directory;
    r.fileName = request.fileName;
    r.defaultSuffix = request.defaultSuffix;
    return chooser_(r).path;
}

QStringList WidgetCatalogueDialogs::ChooseOpenFiles(const OpenFilesRequest& request) {
    FileDialogRequest r;
    r.kind = FileDialogRequest::Kind::OpenMany;
    r.title = request.title;
    r.filter = request.filter;
    r.directory = request.directory;
    const FileDialogAnswer answer = chooser_(r);
    // A chooser that answers with one path alone chose that one file.
    if (answer.paths.isEmpty() && !answer.path.isEmpty()) return {answer.path};
    return answer.paths;
}

std::optional<QString> WidgetCatalogueDialogs::AskText(const QString& caption, const QString& label,
                                                       const QString& preset) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, label, QLineEdit::Normal, preset, &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool WidgetCatalogueDialogs::EditHeader(TrDosEntryEdit& edit) {
    EntryHeaderDialog dialog(edit, parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    edit = dialog.Result();
    return true;
}

ScreenViewer* WidgetCatalogueDialogs::Viewer() {
    if (ScreenViewer* v = viewer_ ? viewer_() : nullptr) return v;
    if (!own_) own_ = new ScreenViewer(parent_);
    return own_;
}

void WidgetCatalogueDialogs::ShowScreen(std::span<const std::uint8_t> screen) {
    Viewer()->ShowScreen(screen);
}

void WidgetCatalogueDialogs::ShowHex(std::span<const std::uint8_t> bytes, bool terminalFont) {
    ScreenViewer* v = Viewer();
    if (terminalFont) v->setHexFont(QFont(QStringLiteral("Terminal")));
    v->ShowHex(bytes);
}

void WidgetCatalogueDialogs::ShowText(std::span<const std::uint8_t> bytes) {
    Viewer()->ShowText(bytes);
}

void WidgetCatalogueDialogs::ShowListing(const QString& caption, const QString& text,
                                         const QString& fileName) {
    auto save = [this, fileName](const QString& listing) {
        SaveFileRequest request;
        request.title = UiText(kListingSaveTitle);
        request.filter = QText(kListingFilter);
        request.defaultSuffix = QStringLiteral("txt");
        request.fileName = fileName;
        const QString path = ChooseSaveFile(request);
        if (path.isEmpty()) return;
        const QByteArray utf8 = listing.toUtf8();
        if (const FileWriteResult written = WriteWholeFile(path, Bytes(utf8.begin(), utf8.end()));
            !written)
            asker_.Ask({.caption = kCaptionErrorDots,
                        .text = (Ui::tr("Ошибка записи файла ") + path).toStdString() + "\n" +
                                written.reason});
    };
    ListingViewer viewer(caption, text, save, parent_);
    viewer.exec();
}

}  // namespace morvane
