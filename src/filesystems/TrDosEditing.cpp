#include "filesystems/TrDosEditing.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "filesystems/TrDosSectors.h"
#include "filesystems/TrDosListing.h"
#include "filesystems/TrDosNameRule.h"
#include "model/Bytes.h"

namespace morvane {

namespace {

constexpr unsigned kFirstDataPosition = kTrDosSectorsPerTrack;  // track 1, sector index 0

TrDosEditResult SectorError(unsigned track, unsigned sector) {
    return TrDosEditResult{false, SectorErrorText(track, sector)};
}

// Catalogue sector of an entry, or the failure to report.
SectorSlot* CatalogueSector(DiskImage& disk, std::size_t entry, TrDosEditResult& result) {
    SectorSlot* slot = CatalogueSlot(disk, TrDosEntrySector(entry));
    if (slot == nullptr) result = SectorError(0, TrDosEntrySector(entry));
    return slot;
}

// Writes the counters of the image's catalogue into its information sector, then reads the
// record again.
void RefreshAfterChange(DiskImage& disk, TrDosCatalogue& catalogue) {
    RecountTrDosInfo(disk);
    ReadTrDosCatalogue(disk, catalogue);
}

SectorSlot& CopySector(const SectorSlot& from, SectorSlot& to) {
    std::copy_n(from.Data.first(kTrDosSectorSize).begin(), kTrDosSectorSize,
                to.Data.first(kTrDosSectorSize).begin());
    to.DataLength = kTrDosSectorSize;
    to.Present = kPresent;
    to.DataGood = from.DataGood;
    return to;
}

// A run of sectors moved down.
struct Move {
    unsigned from;
    unsigned to;
    unsigned count;
};

struct CompactionPlan {
    std::vector<Move> moves;                               // lowest first
    std::vector<std::pair<std::size_t, unsigned>> starts;  // entry, new start position
    unsigned end = kFirstDataPosition;                     // the new first free sector
};

// Where the live files go: in the order of their position on the disk, each moved down to
// the end of the ones before it. Files that share sectors form one run that moves as a
// whole, so a file lying inside another keeps its bytes; a run that cannot move stays.
CompactionPlan PlanCompaction(const TrDosCatalogue& catalogue) {
    std::vector<std::size_t> live;
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
        if (catalogue.entries[i].IsLive()) live.push_back(i);
    }
    const auto startOf = [&](std::size_t i) { return catalogue.entries[i].StartPosition(); };
    const auto endOf = [&](std::size_t i) { return startOf(i) + catalogue.entries[i].sectors; };
    std::stable_sort(live.begin(), live.end(),
                     [&](std::size_t a, std::size_t b) { return startOf(a) < startOf(b); });
    CompactionPlan plan;
    for (std::size_t first = 0; first < live.size();) {
        const unsigned start = startOf(live[first]);
        unsigned runEnd = endOf(live[first]);
        std::size_t next = first + 1;
        for (; next < live.size() && startOf(live[next]) < runEnd; ++next)
            runEnd = std::max(runEnd, endOf(live[next]));
        if (start > plan.end) {
            plan.moves.push_back(Move{start, plan.end, runEnd - start});
            for (std::size_t k = first; k < next; ++k)
                plan.starts.emplace_back(live[k], startOf(live[k]) - (start - plan.end));
            plan.end += runEnd - start;
        } else {
            plan.end = std::max(plan.end, runEnd);
        }
        first = next;
    }
    return plan;
}

// Every sector the compaction reads or writes must be there before anything changes.
TrDosEditResult CheckCompaction(const DiskImage& disk, const TrDosCatalogue& catalogue,
                                const std::vector<Move>& moves) {
    for (const Move& m : moves) {
        for (unsigned k = 0; k < m.count; ++k) {
            const unsigned from = m.from + k;
            const unsigned to = m.to + k;
            const unsigned fromTrack = from / kTrDosSectorsPerTrack;
            const unsigned toTrack = to / kTrDosSectorsPerTrack;
            if (FindReadableSector(disk, fromTrack, from % kTrDosSectorsPerTrack + 1) == nullptr)
                return SectorError(fromTrack, from % kTrDosSectorsPerTrack);
            if (toTrack >= kTrackCount ||
                disk.FindSectorIndex(static_cast<std::uint8_t>(toTrack),
                                     static_cast<std::uint8_t>(to % kTrDosSectorsPerTrack + 1)) < 0)
                return SectorError(toTrack, to % kTrDosSectorsPerTrack);
        }
    }
    for (std::size_t i = 0; i < catalogue.entries.size(); i += kTrDosEntriesPerSector) {
        if (CatalogueSlot(disk, TrDosEntrySector(i)) == nullptr)
            return SectorError(0, TrDosEntrySector(i));
    }
    if (CatalogueSlot(disk, kTrDosInfoSector) == nullptr) return SectorError(0, kTrDosInfoSector);
    return {};
}

void MoveSectors(DiskImage& disk, const Move& m) {
    for (unsigned k = 0; k < m.count; ++k) {
        const unsigned from = m.from + k;
        const unsigned to = m.to + k;
        const auto toTrack = static_cast<std::uint8_t>(to / kTrDosSectorsPerTrack);
        const SectorSlot& source = *FindReadableSector(disk, from / kTrDosSectorsPerTrack,
                                                        from % kTrDosSectorsPerTrack + 1);
        const int slot = disk.FindSectorIndex(
            toTrack, static_cast<std::uint8_t>(to % kTrDosSectorsPerTrack + 1));
        CopySector(source, *disk.GetSlot(toTrack, static_cast<std::uint8_t>(slot)));
        disk.GetTrack(toTrack)->CountSectors();  // the slot may have been marked absent
        disk.RedrawSectorCell(toTrack, static_cast<std::uint8_t>(slot));
    }
}

// Writes the live entries back in catalogue order and zeroes the places they leave.
void WriteLiveCatalogue(DiskImage& disk, const TrDosCatalogue& catalogue) {
    std::size_t next = 0;
    for (const TrDosEntry& e : catalogue.entries) {
        if (!e.IsLive()) continue;
        PutTrDosEntry(TrDosEntryBytes(*CatalogueSlot(disk, TrDosEntrySector(next)), next), e);
        ++next;
    }
    for (; next < catalogue.entries.size(); ++next) {
        auto bytes = TrDosEntryBytes(*CatalogueSlot(disk, TrDosEntrySector(next)), next);
        std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
    }
}

// Sectors from the new end to the end of the disk. A disk of unknown type gains the sectors
// between the old and the new first free sector instead.
std::uint16_t FreeSectorsAfterCompaction(const TrDosCatalogue& before, unsigned end) {
    const unsigned total = TrDosTrackCount(before.diskType) * kTrDosSectorsPerTrack;
    if (total != 0) return static_cast<std::uint16_t>(total > end ? total - end : 0);
    const unsigned oldEnd = before.firstFreeTrack * kTrDosSectorsPerTrack + before.firstFreeSector;
    const unsigned gained = oldEnd > end ? oldEnd - end : 0;
    return static_cast<std::uint16_t>(std::min(before.freeSectors + gained, 0xFFFFu));
}

}  // namespace

bool RecountTrDosInfo(DiskImage& disk) {
    TrDosCatalogue catalogue;
    if (!ReadTrDosCatalogue(disk, catalogue)) return false;
    SectorSlot* info = CatalogueSlot(disk, kTrDosInfoSector);
    if (info == nullptr) return false;
    // What TR-DOS counts: the entries before the first zero name byte.
    const std::size_t visible = TrDosVisibleCount(catalogue);
    const auto deleted =
        std::count_if(catalogue.entries.begin(),
                      catalogue.entries.begin() + static_cast<std::ptrdiff_t>(visible),
                      [](const TrDosEntry& e) { return e.IsDeleted(); });
    info->Data[kInfoFileCount] = static_cast<std::uint8_t>(visible);
    info->Data[kInfoDeletedCount] = static_cast<std::uint8_t>(deleted);
    return true;
}

TrDosEditResult DeleteEntries(DiskImage& disk, TrDosCatalogue& catalogue,
                              std::span<const std::size_t> entries) {
    std::vector<std::size_t> order(entries.begin(), entries.end());
    std::sort(order.rbegin(), order.rend());
    TrDosEditResult result;
    for (std::size_t i : order) {
        if (i >= catalogue.entries.size()) continue;
        SectorSlot* sector = CatalogueSector(disk, i, result);
        if (sector == nullptr) break;
        TrDosEntryBytes(*sector, i)[0] = kTrDosDeletedMark;
    }
    RefreshAfterChange(disk, catalogue);
    return result;
}

bool RenameNeeded(const TrDosName& current, std::string_view entered) {
    return entered != TrimmedZxName(current);
}

bool RenameDisk(DiskImage& disk, TrDosCatalogue& catalogue, std::string_view name) {
    SectorSlot* info = CatalogueSlot(disk, kTrDosInfoSector);
    if (info == nullptr) return false;
    auto field = info->Data.first(kTrDosSectorSize).subspan(kInfoDiskName, kTrDosNameSize);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    std::copy_n(name.begin(), std::min(name.size(), kTrDosNameSize), field.begin());
    RefreshAfterChange(disk, catalogue);
    return true;
}

TrDosEditResult CompactDisk(DiskImage& disk, TrDosCatalogue& catalogue) {
    if (!ReadTrDosCatalogue(disk, catalogue))
        return TrDosEditResult{false, std::string(kNotTrDosImageText)};
    const CompactionPlan plan = PlanCompaction(catalogue);
    const unsigned end = plan.end;
    TrDosEditResult check = CheckCompaction(disk, catalogue, plan.moves);
    if (!check.ok) return check;

    for (const Move& m : plan.moves)
        MoveSectors(disk, m);
    TrDosCatalogue moved = catalogue;
    for (const auto& [entry, start] : plan.starts) {
        moved.entries[entry].firstTrack = static_cast<std::uint8_t>(start / kTrDosSectorsPerTrack);
        moved.entries[entry].firstSector = static_cast<std::uint8_t>(start % kTrDosSectorsPerTrack);
    }
    WriteLiveCatalogue(disk, moved);

    SectorSlot& info = *CatalogueSlot(disk, kTrDosInfoSector);
    info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(end % kTrDosSectorsPerTrack);
    info.Data[kInfoFirstFreeTrack] = static_cast<std::uint8_t>(end / kTrDosSectorsPerTrack);
    SetLe16(info.Data.first(kTrDosSectorSize), kInfoFreeSectors,
            FreeSectorsAfterCompaction(catalogue, end));
    RefreshAfterChange(disk, catalogue);
    disk.Repaint();
    return {};
}

TrDosName TrDosNameFromText(std::string_view text) {
    TrDosName name;
    name.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), kTrDosNameSize), name.begin());
    return name;
}

TrDosEditResult EditEntry(DiskImage& disk, TrDosCatalogue& catalogue, std::size_t entry,
                          const TrDosEntryEdit& edit) {
    if (entry >= catalogue.entries.size()) return {};
    TrDosEditResult result;
    SectorSlot* sector = CatalogueSector(disk, entry, result);
    if (sector == nullptr) return result;
    TrDosEntry e = catalogue.entries[entry];
    // A name that stays as it was (a deleted entry's type changed, say) is not set anew.
    if (edit.name != e.name) {
        if (std::optional<std::string> refusal = TrDosNameRefusal(edit.name))
            return TrDosEditResult{false, std::move(*refusal)};
    }
    e.name = edit.name;
    e.type = edit.type;
    e.start = edit.start;
    e.length = edit.length;
    PutTrDosEntry(TrDosEntryBytes(*sector, entry), e);
    RefreshAfterChange(disk, catalogue);
    return result;
}

}  // namespace morvane
