#include "model/ImageEditing.h"

#include <algorithm>

namespace morvane {

namespace {
// The highest track that may serve as the base template.
constexpr std::uint8_t kLastBaseTrack = 159;
}  // namespace

void AddTrack(DiskImage& disk, std::uint8_t track) {
    if (Track* t = disk.GetTrack(track)) {
        t->Present = kPresent;
        disk.Repaint();
    }
}

void RemoveTrack(DiskImage& disk, std::uint8_t track) {
    if (Track* t = disk.GetTrack(track)) {
        t->Present = 0;
        disk.Repaint();
    }
}

void RemoveSector(DiskImage& disk, ImageEditHost& host, const MapCell& cell) {
    host.ClearAndShowLog();
    if (cell.IsTrackLabel()) {
        host.Ask({.caption = kCaptionError, .text = "Сектор для чтения не выбран!"});
        return;
    }
    if (SectorSlot* slot = disk.GetSlot(cell.track, cell.Slot())) {
        slot->Present = 0;
        disk.Repaint();
    }
}

bool ClearRawTrack(DiskImage& disk, ImageEditHost& host, const MapCell& cell) {
    Track* t = disk.GetTrack(cell.track);
    if (!cell.IsTrackLabel() || t == nullptr) return false;
    if (host.Ask({.caption = "Очиска RAW дорожки!",
                  .text = "Вы действительно хотите удалить данные дорожки?",
                  .buttons = Buttons::YesNo}) != Answer::Yes)
        return false;
    t->Raw.fill(0);
    t->RawValid = 0;
    t->RawLength = 0;
    disk.RedrawTrackCell(cell.track);
    return true;
}

std::string SetBaseTrack(DiskImage& disk, std::uint8_t track) {
    const Track* t = disk.GetTrack(track);
    if (t == nullptr) return kUseBaseTemplateCaption;
    disk.BaseTrack = track;
    if (t->RawLength > 0) disk.UseBaseTrack = true;
    return std::string(kUseBaseTemplateCaption) + " (Трэк - " + std::to_string(track) + ")";
}

bool ToggleUseBaseTrack(DiskImage& disk, bool checked) {
    if (checked) {
        disk.UseBaseTrack = false;
        return false;
    }
    const Track* base = disk.BaseTrack <= kLastBaseTrack ? disk.GetTrack(disk.BaseTrack) : nullptr;
    if (base != nullptr && base->Present != 0 && base->RawLength > 0) {
        disk.UseBaseTrack = true;
        return true;
    }
    return false;
}

bool ConfirmAndClearImage(DiskImage& disk, ImageEditHost& host) {
    if (host.Ask({.caption = "Очистка образа..",
                  .text = "Вы действительно хотите очистить образ?",
                  .buttons = Buttons::YesNo}) != Answer::Yes)
        return false;
    disk.ClearImage();
    return true;
}

}  // namespace morvane
