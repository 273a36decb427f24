#include "SoakDisks.h"

#include <algorithm>
#include <set>
#include <utility>

#include "filesystems/NewImages.h"

namespace morvane::soak {

namespace {

const SectorSlot* FindSlot(const Track& track, const SectorSlot& like) {
    for (const SectorSlot& s : track.Slots)
        if (s.Present != 0 && s.Sector == like.Sector && s.Cylinder == like.Cylinder &&
            s.Head == like.Head)
            return &s;
    return nullptr;
}

// Whether the disk holds the slot's bytes in the same sector of track t; the first wrong
// one is described in check.
void Compare(const SectorSlot& slot, std::uint8_t t, const DiskImage& disk, SectorCheck& check) {
    ++check.checked;
    const SectorSlot* on = FindSlot(*disk.GetTrack(t), slot);
    const char* problem = nullptr;
    if (on == nullptr)
        problem = "not on the disk";
    else if (on->DataLength != slot.DataLength)
        problem = "another length";
    else if (!std::ranges::equal(on->Data.first(on->DataLength), slot.Data.first(slot.DataLength)))
        problem = "other bytes";
    if (problem == nullptr) return;
    if (++check.wrong == 1)
        check.firstWrong = "track " + std::to_string(t) + " sector " + std::to_string(slot.Sector) +
                           ": " + problem;
}

}  // namespace

const char* DiskName(DiskKind kind) {
    return kind == DiskKind::TrDos ? "trdos" : "cpm";
}

void MakeRandomImage(DiskImage& image, DiskKind kind, std::mt19937& random) {
    if (kind == DiskKind::TrDos)
        CreateTrDosImage(image, "SOAK");
    else
        CreateCpmImage(image);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t t = 0; t < kTrackCount; ++t)
        for (SectorSlot& s : image.GetTrack(static_cast<std::uint8_t>(t))->Slots)
            if (s.Present != 0)
                for (std::uint8_t& b : s.Data.first(s.DataLength))
                    b = static_cast<std::uint8_t>(byte(random));
}

void CopyIdsOnly(const DiskImage& image, DiskImage& ids) {
    ids.ClearImage();
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        const auto t = static_cast<std::uint8_t>(i);
        const Track& from = *image.GetTrack(t);
        if (from.Present == 0) continue;
        Track& to = *ids.GetTrack(t);
        to.Present = from.Present;
        for (std::size_t s = 0; s < from.Slots.size(); ++s) {
            const SectorSlot& a = from.Slots[s];
            SectorSlot& b = to.Slots[s];
            b.Present = a.Present;
            b.Cylinder = a.Cylinder;
            b.Head = a.Head;
            b.Sector = a.Sector;
            b.SizeCode = a.SizeCode;
            b.HeaderCrc = a.HeaderCrc;
        }
        to.CountSectors();
    }
}

SectorCheck CheckGoodSectors(const DiskImage& read, const DiskImage& disk) {
    SectorCheck check;
    for (std::size_t i = 0; i < kTrackCount; ++i) {
        const auto t = static_cast<std::uint8_t>(i);
        for (const SectorSlot& s : read.GetTrack(t)->Slots)
            if (s.Present != 0 && s.DataGood == kDataGood) Compare(s, t, disk, check);
    }
    return check;
}

SectorCheck CheckWrittenSectors(const DiskImage& image, int tracksDone,
                                const std::vector<WrittenSector>& failed, const DiskImage& disk) {
    std::set<std::pair<int, int>> bad;
    for (const WrittenSector& w : failed)
        bad.insert({w.track, w.sector});
    SectorCheck check;
    int done = 0;
    for (std::size_t i = 0; i < kTrackCount && done < tracksDone; ++i) {
        const auto t = static_cast<std::uint8_t>(i);
        const Track& track = *image.GetTrack(t);
        if (track.Present == 0) continue;
        ++done;
        for (const SectorSlot& s : track.Slots)
            if (s.Present != 0 && s.DataGood != 0 && s.DataLength != 0 &&
                bad.count({t, s.Sector}) == 0)
                Compare(s, t, disk, check);
    }
    return check;
}

}  // namespace morvane::soak
