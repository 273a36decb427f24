#include "filesystems/TrDosFileSectors.h"

#include <algorithm>

namespace morvane {

namespace {

// The slot the TR-DOS layer would take the sector from, readable or not.
const TSectorSlot* SlotOf(const TZX_Disk& disk, unsigned track, unsigned sector) {
    if (track >= kTrackCount) return nullptr;
    const auto t = static_cast<std::uint8_t>(track);
    const int index = disk.FindSectorIndex(t, static_cast<std::uint8_t>(sector));
    if (index < 0) return nullptr;
    const TSectorSlot* slot = disk.GetTrack(t)->GetSlot(static_cast<std::uint8_t>(index));
    return slot != nullptr && slot->Present != 0 ? slot : nullptr;
}

}  // namespace

std::vector<FileSectorState> TrDosFileSectors::States() const {
    std::vector<FileSectorState> states(data.size() / kTrDosSectorSize, FileSectorState::Good);
    for (const DamagedSector& d : damaged)
        if (d.index < states.size()) states[d.index] = d.state;
    return states;
}

TrDosFileSectors ReadTrDosFileAsItIs(const TZX_Disk& disk, const TrDosEntry& entry) {
    TrDosFileSectors file;
    file.data.assign(std::size_t{entry.sectors} * kTrDosSectorSize, 0);
    unsigned track = entry.firstTrack;
    unsigned index = entry.firstSector;
    for (std::size_t n = 0; n < entry.sectors; ++n) {
        const SectorPosition at{track, index + 1};
        const auto into = file.data.begin() + static_cast<std::ptrdiff_t>(n * kTrDosSectorSize);
        if (const TSectorSlot* good = FindReadableSector(disk, at.track, at.sector)) {
            std::copy_n(good->Data.first(kTrDosSectorSize).begin(), kTrDosSectorSize, into);
            if (good->DataGood == 0) file.damaged.push_back({n, at, FileSectorState::Bad});
        } else {
            if (const TSectorSlot* part = SlotOf(disk, at.track, at.sector)) {
                const std::size_t held = std::min<std::size_t>(part->DataLength, kTrDosSectorSize);
                std::copy_n(part->Data.first(held).begin(), held, into);
            }
            file.damaged.push_back({n, at, FileSectorState::Missing});
        }
        if (++index == kTrDosSectorsPerTrack) {
            index = 0;
            ++track;
        }
    }
    return file;
}

}  // namespace morvane
