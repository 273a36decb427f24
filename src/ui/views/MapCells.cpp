#include "ui/views/MapCells.h"

#include <cstdio>

#include "model/SectorVote.h"

namespace morvane {

namespace {

MapCellLook LookOfLabel(const Track& track, int row, bool showDisabled) {
    MapCellLook look;
    if (track.Present == 0) {
        if (showDisabled) look.tile = MapTile::LabelDisabled;
        return look;
    }
    // The row is the track index; Number is set by readers and need not agree.
    look.text = TrackLabelText(static_cast<unsigned>(row));
    if (track.RawLength > 0) {
        look.tile = MapTile::LabelRaw;
        look.whiteText = true;
    } else {
        look.tile = MapTile::LabelNoRaw;
    }
    return look;
}

MapCellLook LookOfSector(const Track& track, const SectorSlot& slot, bool showDisabled) {
    MapCellLook look;
    if (slot.Present == 0) {
        if (showDisabled) look.tile = MapTile::SectorDisabled;
        return look;
    }
    // A removed track keeps its slots in the model but shows nothing.
    if (track.Present == 0) return look;
    const SectorOrigin origin = CurrentOrigin(slot);
    if (slot.DataLength == 0)
        look.tile = MapTile::SectorHeaderOnly;
    else if (origin == SectorOrigin::Voted)
        look.tile = MapTile::SectorVoted;
    else if (origin == SectorOrigin::BestGuess)
        look.tile = MapTile::SectorBestGuess;
    else
        look.tile = slot.DataGood != 0 ? MapTile::SectorGood : MapTile::SectorBad;
    look.text = SectorLabelText(slot.Sector);
    return look;
}

}  // namespace

MapCellLook LookOfCell(const DiskImage& disk, int column, int row, bool showDisabled) {
    if (column < 0 || column >= kMapColumns || row < 0 || row >= kMapRows) return {};
    const Track* track = disk.GetTrack(static_cast<std::uint8_t>(row));
    if (track == nullptr) return {};
    if (column == 0) return LookOfLabel(*track, row, showDisabled);
    const SectorSlot* slot = track->GetSlot(static_cast<std::uint8_t>(column - 1));
    return slot != nullptr ? LookOfSector(*track, *slot, showDisabled) : MapCellLook{};
}

std::string TrackLabelText(unsigned track) {
    char text[8];
    std::snprintf(text, sizeof text, "T%03u", track % 1000);
    return text;
}

std::string SectorLabelText(std::uint8_t sector) {
    char text[8];
    std::snprintf(text, sizeof text, "s%02u", static_cast<unsigned>(sector % 100));
    return text;
}

int CentredOffset(int cellExtent, int contentExtent) {
    const int free = cellExtent - contentExtent;
    // free / 2 with halves going to the even neighbour.
    int half = free / 2;
    if (free % 2 != 0 && half % 2 != 0) half += free > 0 ? 1 : -1;
    return half;
}

int ColumnLeft(int column) {
    if (column <= 0) return 0;
    return kMapLabelWidth + (column - 1) * kMapSectorWidth;
}

int ColumnWidth(int column) {
    return column == 0 ? kMapLabelWidth : kMapSectorWidth;
}

int TopRowAfterRedraw(int topRow, int visibleRows, int track, int maxTop) {
    if (topRow + visibleRows - 1 < track && topRow < maxTop) return topRow + 1;
    return topRow;
}

}  // namespace morvane
