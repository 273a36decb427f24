#include "ui/shell/FileChooser.h"

#include <QDir>
#include <QFileDialog>

#include "ui/shell/LoadSaveRules.h"
#include "ui/views/ShownText.h"

namespace morvane {

FileChooser MakeDialogChooser(QWidget* parent) {
    return [parent](const FileDialogRequest& request) -> FileDialogAnswer {
        QFileDialog dialog(parent, ShownText(request.title.toStdString()), request.directory);
        const bool save = request.kind == FileDialogRequest::Kind::Save;
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        const bool many = request.kind == FileDialogRequest::Kind::OpenMany;
        dialog.setFileMode(save   ? QFileDialog::AnyFile
                           : many ? QFileDialog::ExistingFiles
                                  : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        QStringList filters = QtNameFilters(request.filter);
        for (QString& entry : filters)
            entry = ShownText(entry.toStdString());
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (request.suffixForFilter) {
            dialog.setDefaultSuffix(request.suffixForFilter(request.filterIndex));
            QObject::connect(
                &dialog, &QFileDialog::filterSelected, &dialog,
                [&dialog, &request, filters](const QString& chosen) {
                    const auto index = filters.indexOf(chosen);
                    dialog.setDefaultSuffix(request.suffixForFilter(static_cast<int>(index) + 1));
                });
        }
        if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted) return {};
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return {};
        const auto entry = filters.indexOf(dialog.selectedNameFilter());
        FileDialogAnswer answer(QDir::fromNativeSeparators(chosen.first()),
                                entry < 0 ? 0 : static_cast<int>(entry) + 1);
        for (const QString& file : chosen)
            answer.paths << QDir::fromNativeSeparators(file);
        return answer;
    };
}

}  // namespace morvane
