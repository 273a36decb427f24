#include "filesystems/TrDosFileSectors.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace morvane {

namespace {

// The slot the TR-DOS layer would take the sector from, readable or not.
const SectorSlot* SlotOf(const DiskImage& disk, unsigned track, unsigned sector) {
    if (track >= kTrackCount) return nullptr;
    const auto t = static_cast<std::uint8_t>(track);
    const int index = disk.FindSectorIndex(t, static_cast<std::uint8_t>(sector));
    if (index < 0) return nullptr;
    const SectorSlot* slot = disk.GetTrack(t)->GetSlot(static_cast<std::uint8_t>(index));
    return slot != nullptr && slot->Present != 0 ? slot : nullptr;
}

}  // namespace

std::vector<FileSectorState> TrDosFileSectors::States() const {
    std::vector<FileSectorState> states(data.size() / kTrDosSectorSize, FileSectorState::Good);
    for (const DamagedSector& d : damaged)
        if (d.index < states.size()) states[d.index] = d.state;
    return states;
}

TrDosFileSectors ReadTrDosFileAsItIs(const DiskImage& disk, const TrDosEntry& entry) {
    TrDosFileSectors file;
    file.data.assign(std::size_t{entry.sectors} * kTrDosSectorSize, 0);
    unsigned track = entry.firstTrack;
    unsigned index = entry.firstSector;
    for (std::size_t n = 0; n < entry.sectors; ++n) {
        const SectorPosition at{track, index + 1};
        const auto into = file.data.begin() + static_cast<std::ptrdiff_t>(n * kTrDosSectorSize);
        if (const SectorSlot* good = FindReadableSector(disk, at.track, at.sector)) {
            std::copy_n(good->Data.first(kTrDosSectorSize).begin(), kTrDosSectorSize, into);
            if (good->DataGood == 0) file.damaged.push_back({n, at, FileSectorState::Bad});
        } else {
            if (const SectorSlot* part = SlotOf(disk, at.track, at.sector)) {
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

ReadTrDosFiles SplitByMissingSectors(const DiskImage& disk, const TrDosCatalogue& catalogue) {
    ReadTrDosFiles files;
    for (const TrDosEntry& e : catalogue.entries) {
        if (!e.IsListed()) continue;
        TrDosFileSectors read = ReadTrDosFileAsItIs(disk, e);
        std::vector<DamagedSector> missing;
        std::copy_if(read.damaged.begin(), read.damaged.end(), std::back_inserter(missing),
                     [](const DamagedSector& d) { return d.state == FileSectorState::Missing; });
        if (missing.empty()) {
            files.whole.push_back(e);
            files.sectors.push_back(std::move(read.data));
        } else {
            files.incomplete.push_back(e);
            files.missing.push_back(std::move(missing));
        }
    }
    return files;
}

}  // namespace morvane
