// Whether the image in memory holds work that no file has: every change of the image marks
// it, a load, a save, a clear or a new image makes it clean again. Commands that would
// throw the image away ask first whether to save it.
//
// The tracker sits between the container and its view: it is the container's observer and
// passes every notification on, since every edit, every disk read and every catalogue
// change tells the view what to repaint. Changes that repaint nothing on the map (the
// sector editors, the disk comment, the base track) are marked by the window directly.
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

#include "model/DiskObserver.h"
#include "model/UserQuestion.h"

namespace morvane {

class ImageChangeTracker : public DiskObserver {
  public:
    // next receives every notification (the map view; may be null).
    explicit ImageChangeTracker(DiskObserver* next = nullptr) : next_(next) {}

    bool Changed() const { return changed_; }
    void MarkChanged() { SetChanged(true); }
    void MarkClean() { SetChanged(false); }
    // Called whenever the mark flips (the window shows it in its title).
    void SetMarkListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // Whether an action that discards the image may go on. An unchanged image asks
    // nothing. Otherwise the user is asked: Yes runs save and goes on only when it
    // succeeded, No goes on (the changes are dropped), Cancel stops.
    bool ConfirmDiscard(UserAsker& asker, const std::function<bool()>& save);

    // DiskObserver
    void SectorCellChanged(std::uint8_t track, std::uint8_t slot) override;
    void TrackCellChanged(std::uint8_t track) override;
    void ImageChanged() override;
    void ImageCleared() override;

  private:
    void SetChanged(bool changed);

    DiskObserver* next_;
    bool changed_ = false;
    std::function<void()> listener_;
};

inline constexpr const char* kSaveChangesCaption = QT_TRANSLATE_NOOP("morvane::Ui", "Внимание!");
inline constexpr const char* kSaveChangesQuestion =
    QT_TRANSLATE_NOOP("morvane::Ui", "Образ изменён! Сохранить изменения?");

// The main window's title: the caption, then the image's file name (no folder) when it
// has one, then " *" when it holds unsaved changes.
QString MainWindowTitle(const QString& caption, const QString& fileName, bool changed);

}  // namespace morvane
