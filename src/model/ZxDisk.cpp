#include "model/ZxDisk.h"

#include <algorithm>
#include <utility>

namespace morvane {

TZX_Disk::TZX_Disk() {
    tracks_.reserve(kTrackCount);
    for (std::size_t i = 0; i < kTrackCount; ++i)
        tracks_.emplace_back(static_cast<std::uint8_t>(i));
    ClearImage();
}

TTrack* TZX_Disk::GetTrack(std::uint8_t index) {
    return index < kTrackCount ? &tracks_[index] : nullptr;
}

const TTrack* TZX_Disk::GetTrack(std::uint8_t index) const {
    return index < kTrackCount ? &tracks_[index] : nullptr;
}

TSectorSlot* TZX_Disk::GetSlot(std::uint8_t track, std::uint8_t slot) {
    TTrack* t = GetTrack(track);
    return t != nullptr ? t->GetSlot(slot) : nullptr;
}

void TZX_Disk::ClearImage() {
    for (TTrack& track : tracks_)
        track.Clear();
    UseBaseTrack = false;
    BaseTrack = kNoBaseTrack;
    ImagePath.clear();
    DiskLog.clear();
    LoadNotes.clear();
    TrackCount = 0;
    if (observer_ != nullptr) observer_->ImageCleared();
}

void TZX_Disk::TakeImageFrom(TZX_Disk& source) {
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

std::uint8_t TZX_Disk::CountTracks() {
    TrackCount = static_cast<std::uint8_t>(
        std::count_if(tracks_.begin(), tracks_.end(), [](const TTrack& t) { return t.Present; }));
    return TrackCount;
}

std::size_t TZX_Disk::TracksToWrite() {
    std::size_t span = CountTracks();
    for (std::size_t t = kTrackCount; t > span; --t) {
        if (tracks_[t - 1].Present != 0) return t;
    }
    return span;
}

int TZX_Disk::FindSectorIndex(std::uint8_t track, std::uint8_t sector) const {
    const TTrack* t = GetTrack(track);
    if (t == nullptr) return -1;
    for (std::size_t i = 0; i < kSlotsPerTrack; ++i) {
        if (t->Slots[i].Sector == sector) return static_cast<int>(i);
    }
    return -1;
}

TSectorSlot* TZX_Disk::FindSector(std::uint8_t track, std::uint8_t sector) {
    const int index = FindSectorIndex(track, sector);
    return index < 0 ? nullptr : GetSlot(track, static_cast<std::uint8_t>(index));
}

void TZX_Disk::RedrawSectorCell(std::uint8_t track, std::uint8_t slot) {
    if (observer_ != nullptr) observer_->SectorCellChanged(track, slot);
}

void TZX_Disk::RedrawTrackCell(std::uint8_t track) {
    if (observer_ != nullptr) observer_->TrackCellChanged(track);
}

void TZX_Disk::Repaint() {
    if (observer_ != nullptr) observer_->ImageChanged();
}

}  // namespace morvane
