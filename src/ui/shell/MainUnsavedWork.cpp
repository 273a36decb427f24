// The main window's guard of unsaved work: the image is marked changed as it changes, the
// actions that discard it ask first, and the title names the image's file and the mark.
#include <QCloseEvent>

#include "ui/shell/MainWindow.h"
#include "ui/shell/Texts.h"
#include "ui/views/DiskMapView.h"

namespace morvane {

void TFMain::TrackImageChanges() {
    // The map registered itself as the image's observer; the tracker takes its place and
    // passes every notification on to it.
    changes_ = std::make_unique<ImageChangeTracker>(diskMap_);
    disk_->SetObserver(changes_.get());
    changes_->SetMarkListener([this] { UpdateTitle(); });
    UpdateTitle();
}

bool TFMain::ConfirmDiscardImage() {
    return changes_->ConfirmDiscard(*dialogs_, [this] {
        const bool saved = imageCommands_->SaveToImageFile();
        ImageSaved(saved);
        return saved;
    });
}

void TFMain::LoadImageCommand(const std::function<bool()>& load) {
    if (!ImageMayChange() || !ConfirmDiscardImage()) return;
    if (load()) ImageReplacedClean();
}

void TFMain::ImageSaved(bool saved) {
    if (saved) changes_->MarkClean();
    UpdateTitle();
}

void TFMain::ImageReplacedClean() {
    changes_->MarkClean();
    UpdateTitle();
}

void TFMain::UpdateTitle() {
    setWindowTitle(MainWindowTitle(QString::fromUtf8(kMainCaption), imageCommands_->ImageFile(),
                                   changes_->Changed()));
}

void TFMain::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscardImage()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace morvane
