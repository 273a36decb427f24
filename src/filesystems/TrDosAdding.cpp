#include "filesystems/TrDosAdding.h"

#include <algorithm>
#include <numeric>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosEditing.h"
#include "filesystems/TrDosNameRule.h"
#include "filesystems/TrDosSectors.h"

namespace morvane {

namespace {

unsigned SectorsOf(std::span<const TrDosFileData> files) {
    return std::accumulate(
        files.begin(), files.end(), 0u,
        [](unsigned sum, const TrDosFileData& f) { return sum + f.entry.sectors; });
}

unsigned FirstFreePosition(const TrDosCatalogue& c) {
    return c.firstFreeTrack * kTrDosSectorsPerTrack + c.firstFreeSector;
}

// Sectors from the first free one to the end of the disk: the information sector's count,
// cut to the disk's last track where its type is known.
unsigned FreeSectors(const TrDosCatalogue& c) {
    const unsigned total = TrDosTrackCount(c.diskType) * kTrDosSectorsPerTrack;
    if (total == 0) return c.freeSectors;
    const unsigned position = FirstFreePosition(c);
    return std::min<unsigned>(c.freeSectors, total > position ? total - position : 0);
}

// "name.T" as messages show a file: trailing spaces dropped, control bytes as '?'.
std::string FileText(const TrDosEntry& e) {
    std::string name = ZxNameText(e.name);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    const std::uint8_t type[1] = {e.type};
    return name + "." + ZxNameText(type);
}

std::string PositionText(unsigned position) {
    return "sector " + std::to_string(position % kTrDosSectorsPerTrack + 1) + " of track " +
           std::to_string(position / kTrDosSectorsPerTrack);
}

// New files go from the first free sector on, so it must lie past the catalogue track and
// past every file, deleted ones too: their sectors stay taken until the disk is compacted.
// An entry whose name begins with a zero byte is left out: that is how TR-DOS erases the
// last file, giving its sectors back to the free space.
bool FirstFreeIsPastFiles(const TrDosCatalogue& c, std::string& error) {
    const unsigned first = FirstFreePosition(c);
    const std::string where = "the first free sector, " + PositionText(first) + ", lies ";
    if (first < kTrDosSectorsPerTrack) {
        error = where + "on the catalogue track";
        return false;
    }
    for (const TrDosEntry& e : c.entries) {
        if (e.name[0] == 0 || first >= e.StartPosition() + e.sectors) continue;
        error = where + "before the end of file " + FileText(e);
        return false;
    }
    return true;
}

SectorSlot* SectorAt(DiskImage& disk, unsigned position) {
    return FindReadableSector(disk, position / kTrDosSectorsPerTrack,
                              position % kTrDosSectorsPerTrack + 1);
}

std::span<std::uint8_t> EntryBytes(DiskImage& disk, std::size_t entry) {
    return TrDosEntryBytes(*CatalogueSlot(disk, TrDosEntrySector(entry)), entry);
}

// Catalogue entries new files may take, lowest first: from where TR-DOS ends the
// catalogue (the first name beginning with a zero byte), the entries that begin with one,
// then those past the end of the record. An entry in use after that zero stays.
std::vector<std::size_t> FreeEntries(const TrDosCatalogue& c) {
    std::vector<std::size_t> free;
    for (std::size_t i = TrDosVisibleCount(c); i < kTrDosMaxEntries; ++i)
        if (i >= c.entries.size() || c.entries[i].IsErasedLast()) free.push_back(i);
    return free;
}

// Every sector the adding writes, so that a missing one refuses before anything changes:
// those of the entries taken and of the one after the last, which may be cleared.
bool TargetsReadable(DiskImage& disk, std::span<const std::size_t> entries, unsigned first,
                     unsigned sectors, std::string& error) {
    for (std::size_t e : entries) {
        for (const unsigned s :
             {TrDosEntrySector(e), TrDosEntrySector(std::min(e + 1, kTrDosMaxEntries - 1))}) {
            if (CatalogueSlot(disk, s) == nullptr) {
                error = "catalogue sector " + std::to_string(s) + " of track 0 is missing";
                return false;
            }
        }
    }
    if (CatalogueSlot(disk, kTrDosInfoSector) == nullptr) {
        error = "the information sector of track 0 is missing";
        return false;
    }
    for (unsigned p = first; p < first + sectors; ++p) {
        if (SectorAt(disk, p) == nullptr) {
            error = PositionText(p) + " is missing";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseTrDosFileSet(ImageFormat format, std::span<const std::uint8_t> bytes,
                       std::vector<TrDosFileData>& out, std::string& error) {
    out.clear();
    const bool scl = format == ImageFormat::Scl ||
                     (format != ImageFormat::Hobeta && bytes.size() >= kSclSignature.size() &&
                      std::equal(kSclSignature.begin(), kSclSignature.end(), bytes.begin()));
    if (scl) {
        std::vector<SclFile> files;
        if (!ParseScl(bytes, files, error)) return false;
        for (SclFile& f : files)
            out.push_back({f.entry, std::move(f.data)});
        return true;
    }
    HobetaFile file;
    if (!ParseHobeta(bytes, file, error)) return false;
    out.push_back({file.entry, std::move(file.data)});
    return true;
}

bool CheckTrDosNames(std::span<const TrDosFileData> files, std::string& error) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TrDosEntry& e = files[i].entry;
        const std::optional<std::string> refusal = TrDosNameRefusal(e.name);
        if (!refusal) continue;
        error = "file " + std::to_string(i + 1) + " of " + std::to_string(files.size()) + ", " +
                FileText(e) + ", has " + *refusal;
        return false;
    }
    return true;
}

bool CheckTrDosRoom(const DiskImage& disk, std::span<const TrDosFileData> files,
                    std::string& error) {
    TrDosCatalogue c;
    if (!ReadTrDosCatalogue(disk, c)) {
        error = "the image holds no TR-DOS catalogue";
        return false;
    }
    if (!FirstFreeIsPastFiles(c, error)) return false;
    const std::size_t room = FreeEntries(c).size();
    if (files.size() > room) {
        error = "the catalogue has room for " + std::to_string(room) + " more files, " +
                std::to_string(files.size()) + " given";
        return false;
    }
    const unsigned needed = SectorsOf(files);
    if (needed > FreeSectors(c)) {
        error = "the disk has " + std::to_string(FreeSectors(c)) + " free sectors, " +
                std::to_string(needed) + " needed";
        return false;
    }
    return true;
}

bool AddTrDosFiles(DiskImage& disk, std::span<const TrDosFileData> files, std::string& error) {
    if (!CheckTrDosNames(files, error) || !CheckTrDosRoom(disk, files, error)) return false;
    TrDosCatalogue c;
    ReadTrDosCatalogue(disk, c);
    const unsigned needed = SectorsOf(files);
    std::vector<std::size_t> entries = FreeEntries(c);
    entries.resize(files.size());
    if (!TargetsReadable(disk, entries, FirstFreePosition(c), needed, error)) return false;

    unsigned position = FirstFreePosition(c);
    for (std::size_t k = 0; k < files.size(); ++k) {
        const TrDosFileData& f = files[k];
        TrDosEntry e = f.entry;
        e.firstTrack = static_cast<std::uint8_t>(position / kTrDosSectorsPerTrack);
        e.firstSector = static_cast<std::uint8_t>(position % kTrDosSectorsPerTrack);
        PutTrDosEntry(EntryBytes(disk, entries[k]), e);
        for (unsigned s = 0; s < e.sectors; ++s, ++position) {
            SectorSlot& slot = *SectorAt(disk, position);
            const std::size_t from = std::size_t{s} * kTrDosSectorSize;
            const std::size_t have = f.data.size() > from ? f.data.size() - from : 0;
            std::fill_n(slot.Data.begin(), kTrDosSectorSize, std::uint8_t{0});
            std::copy_n(f.data.begin() + static_cast<std::ptrdiff_t>(std::min(from, f.data.size())),
                        std::min(have, kTrDosSectorSize), slot.Data.begin());
            const FileSectorState state = s < f.states.size() ? f.states[s] : FileSectorState::Good;
            slot.DataGood = state == FileSectorState::Good ? kDataGood : 0;
            if (state == FileSectorState::Missing) {
                std::fill_n(slot.Data.begin(), kTrDosSectorSize, std::uint8_t{0});
                slot.DataLength = 0;
            }
        }
    }
    // Whatever lay beyond the old end of the catalogue must not show up as files.
    const std::size_t next = entries.empty() ? c.count : entries.back() + 1;
    if (next < kTrDosMaxEntries && next >= c.count) {
        auto end = EntryBytes(disk, next);
        std::fill(end.begin(), end.end(), std::uint8_t{0});
    }
    SectorSlot& info = *CatalogueSlot(disk, kTrDosInfoSector);
    info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(position % kTrDosSectorsPerTrack);
    info.Data[kInfoFirstFreeTrack] = static_cast<std::uint8_t>(position / kTrDosSectorsPerTrack);
    SetLe16(info.Data, kInfoFreeSectors, static_cast<std::uint16_t>(c.freeSectors - needed));
    RecountTrDosInfo(disk);
    disk.Repaint();
    return true;
}

}  // namespace morvane
