// The open and save dialogs of the image commands, behind a function so tests can answer
// them without a dialog on screen.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class QWidget;

namespace morvane {

struct FileDialogRequest {
    // OpenMany: one or more existing files at once.
    enum class Kind { Open, Save, OpenMany };
    Kind kind = Kind::Open;
    QString title;
    QString filter;       // "description|pattern|..." form
    int filterIndex = 1;  // 1-based entry chosen when the dialog opens
    QString directory;
    QString fileName;
    QString defaultSuffix;
    // Save dialogs whose default extension follows the chosen filter entry.
    std::function<QString(int)> suffixForFilter;
};

// What the user chose: the full path (empty when cancelled) and the 1-based filter entry
// chosen at the end (0: the one the request opened with).
struct FileDialogAnswer {
    FileDialogAnswer() = default;
    // A bare path: the dialog ended on the entry it opened with.
    FileDialogAnswer(QString chosenPath, int chosenFilterIndex = 0)
        : path(std::move(chosenPath)), filterIndex(chosenFilterIndex) {}
    QString path;
    int filterIndex = 0;
    // Every file chosen in an OpenMany dialog, path the first of them.
    QStringList paths;
};

using FileChooser = std::function<FileDialogAnswer(const FileDialogRequest&)>;

// The real dialogs (QFileDialog), parented to the given window. Overwriting is confirmed
// by the commands themselves, with their own texts.
FileChooser MakeDialogChooser(QWidget* parent);

}  // namespace morvane
