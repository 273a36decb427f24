// The open and save dialogs of the image commands, behind a function so tests can answer
// them without a dialog on screen.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace morvane {

struct FileDialogRequest {
    enum class Kind { Open, Save };
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

// The chosen full path, empty when cancelled.
using FileChooser = std::function<QString(const FileDialogRequest&)>;

// The real dialogs (QFileDialog), parented to the given window. Overwriting is confirmed
// by the commands themselves, with their own texts.
FileChooser MakeDialogChooser(QWidget* parent);

}  // namespace morvane
