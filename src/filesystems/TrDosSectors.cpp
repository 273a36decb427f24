#include "filesystems/TrDosSectors.h"

#include <algorithm>

namespace morvane {

namespace {

bool IsReadable(const SectorSlot& slot) {
    return slot.Present != 0 && slot.DataLength >= kTrDosSectorSize;
}

}  // namespace

const SectorSlot* FindReadableSector(const DiskImage& disk, unsigned track, unsigned sector) {
    if (track >= kTrackCount || sector > 0xFF) return nullptr;
    const auto t = static_cast<std::uint8_t>(track);
    const int index = disk.FindSectorIndex(t, static_cast<std::uint8_t>(sector));
    if (index < 0) return nullptr;
    const SectorSlot* slot = disk.GetTrack(t)->GetSlot(static_cast<std::uint8_t>(index));
    return IsReadable(*slot) ? slot : nullptr;
}

SectorSlot* FindReadableSector(DiskImage& disk, unsigned track, unsigned sector) {
    return const_cast<SectorSlot*>(
        FindReadableSector(static_cast<const DiskImage&>(disk), track, sector));
}

bool ReadTrDosSectors(const DiskImage& disk, unsigned firstTrack, unsigned firstSector,
                      std::size_t count, Bytes& out, SectorPosition* failed) {
    unsigned track = firstTrack;
    unsigned index = firstSector;
    for (std::size_t n = 0; n < count; ++n) {
        const SectorSlot* slot = FindReadableSector(disk, track, index + 1);
        if (slot == nullptr) {
            if (failed != nullptr) *failed = SectorPosition{track, index + 1};
            return false;
        }
        const std::span<const std::uint8_t> data = slot->Data.first(kTrDosSectorSize);
        out.insert(out.end(), data.begin(), data.end());
        if (++index == kTrDosSectorsPerTrack) {
            index = 0;
            ++track;
        }
    }
    return true;
}

bool ReadTrDosFile(const DiskImage& disk, const TrDosEntry& entry, Bytes& out,
                   SectorPosition* failed) {
    return ReadTrDosSectors(disk, entry.firstTrack, entry.firstSector, entry.sectors, out, failed);
}

std::string SectorErrorText(unsigned track, unsigned sector) {
    return "Ошибка сектора - (track " + std::to_string(track) + " sector " +
           std::to_string(sector) + ")..!";
}

}  // namespace morvane
