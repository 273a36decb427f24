#include "model/DiskImage.h"

#include <algorithm>
#include <utility>

namespace morvane {

DiskImage::DiskImage() {
    tracks_.reserve(kTrackCount);
    for (std::size_t i = 0; i < kTrackCount; ++i)
        tracks_.emplace_back(static_cast<std::uint8_t>(i));
    ClearImage();
}

Track* DiskImage::GetTrack(std::uint8_t index) {
    return index < kTrackCount ? &tracks_[index] : nullptr;
}

const Track* DiskImage::GetTrack(std::uint8_t index) const {
    return index < kTrackCount ? &tracks_[index] : nullptr;
}

SectorSlot* DiskImage::GetSlot(std::uint8_t track, std::uint8_t slot) {
    Track* t = GetTrack(track);
    return t != nullptr ? t->GetSlot(slot) : nullptr;
}

void DiskImage::ClearImage() {
    for (Track& track : tracks_)
        track.Clear();
    UseBaseTrack = false;
    BaseTrack = kNoBaseTrack;
    ImagePath.clear();
    DiskLog.clear();
    LoadNotes.clear();
    TrackCount = 0;
    if (observer_ != nullptr) observer_->ImageCleared();
}

void DiskImage::TakeImageFrom(DiskImage& source) {
    if (&source == this) return;
    for (std::size_t i = 0; i < kTrackCount; ++i)
        tracks_[i] = std::move(source.tracks_[i]);
    ImagePath = std::move(source.ImagePath);
    TrackCount = source.TrackCount;
    UseBaseTrack = source.UseBaseTrack;
    BaseTrack = source.BaseTrack;
    NoTrackRestore = source.NoTrackRestore;
    DiskLog = std::move(source.DiskLog);
    LoadNotes = std::move(source.LoadNotes);
    Repaint();
}

std::uint8_t DiskImage::CountTracks() {
    TrackCount = static_cast<std::uint8_t>(
        std::count_if(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.Present; }));
    return TrackCount;
}

std::size_t DiskImage::TracksToWrite() {
    std::size_t span = CountTracks();
    for (std::size_t t = kTrackCount; t > span; --t) {
        if (tracks_[t - 1].Present != 0) return t;
    }
    return span;
}

int DiskImage::FindSectorIndex(std::uint8_t track, std::uint8_t sector) const {
    const Track* t = GetTrack(track);
    if (t == nullptr) return -1;
    for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
        if (t->Slots[i].Sector == sector) return static_cast<int>(i);
    }
    return -1;
}

SectorSlot* DiskImage::FindSector(std::uint8_t track, std::uint8_t sector) {
    const int index = FindSectorIndex(track, sector);
    return index < 0 ? nullptr : GetSlot(track, static_cast<std::uint8_t>(index));
}

void DiskImage::RedrawSectorCell(std::uint8_t track, std::uint8_t slot) {
    if (observer_ != nullptr) observer_->SectorCellChanged(track, slot);
}

void DiskImage::RedrawTrackCell(std::uint8_t track) {
    if (observer_ != nullptr) observer_->TrackCellChanged(track);
}

void DiskImage::Repaint() {
    if (observer_ != nullptr) observer_->ImageChanged();
}

}  // namespace morvane
