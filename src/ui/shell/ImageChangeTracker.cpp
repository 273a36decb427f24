#include "ui/shell/ImageChangeTracker.h"

#include <QFileInfo>

namespace morvane {

bool ImageChangeTracker::ConfirmDiscard(UserAsker& asker, const std::function<bool()>& save) {
    if (!changed_) return true;
    switch (asker.Ask({.caption = kSaveChangesCaption,
                       .text = kSaveChangesQuestion,
                       .buttons = Buttons::YesNoCancel})) {
        case Answer::Yes:
            return save();
        case Answer::No:
            return true;
        default:
            break;
    }
    return false;
}

void ImageChangeTracker::SetChanged(bool changed) {
    if (changed == changed_) return;
    changed_ = changed;
    if (listener_) listener_();
}

void ImageChangeTracker::SectorCellChanged(std::uint8_t track, std::uint8_t slot) {
    MarkChanged();
    if (next_ != nullptr) next_->SectorCellChanged(track, slot);
}

void ImageChangeTracker::TrackCellChanged(std::uint8_t track) {
    MarkChanged();
    if (next_ != nullptr) next_->TrackCellChanged(track);
}

void ImageChangeTracker::ImageChanged() {
    MarkChanged();
    if (next_ != nullptr) next_->ImageChanged();
}

void ImageChangeTracker::ImageCleared() {
    MarkChanged();
    if (next_ != nullptr) next_->ImageCleared();
}

QString MainWindowTitle(const QString& caption, const QString& fileName, bool changed) {
    QString title = caption;
    const QString name = QFileInfo(fileName).fileName();
    if (!name.isEmpty()) title += QStringLiteral(" - ") + name;
    if (changed) title += QStringLiteral(" *");
    return title;
}

}  // namespace morvane
