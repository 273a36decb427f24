#include "filesystems/TrDosCatalogue.h"

#include <algorithm>

#include "model/Cp1251.h"

namespace morvane {

namespace {

constexpr std::size_t kInfoSectorOffset = (kTrDosInfoSector - 1) * kTrDosSectorSize;
constexpr std::uint8_t kTrDosSizeCode = 1;

// Fields of a catalogue entry after its name.
constexpr std::size_t kEntryType = 8;
constexpr std::size_t kEntryStart = 9;
constexpr std::size_t kEntryLength = 11;
constexpr std::size_t kEntrySectors = 13;
constexpr std::size_t kEntryFirstSector = 14;
constexpr std::size_t kEntryFirstTrack = 15;

TrDosEntry ParseEntry(std::span<const std::uint8_t> bytes) {
    TrDosEntry e;
    std::copy_n(bytes.begin(), kTrDosNameSize, e.name.begin());
    e.type = bytes[kEntryType];
    e.start = GetLe16(bytes, kEntryStart);
    e.length = GetLe16(bytes, kEntryLength);
    e.sectors = bytes[kEntrySectors];
    e.firstSector = bytes[kEntryFirstSector];
    e.firstTrack = bytes[kEntryFirstTrack];
    return e;
}

bool IsEndOfCatalogue(std::span<const std::uint8_t> entry) {
    return std::all_of(entry.begin(), entry.begin() + kTrDosNameSize,
                       [](std::uint8_t b) { return b == 0; });
}

std::string ByteText(std::uint8_t b) {
    if (b < 0x20) return "?";
    if (b < 0x80) return std::string(1, static_cast<char>(b));
    const std::uint8_t one[1] = {b};
    return Cp1251ToUtf8(one);
}

// Occupied slots are taken in slot order up to their count, as the image holds them: the
// slots below that count are the ones track 0 is read from.
std::size_t CatalogueSlotsLooked(const Track& track) {
    return static_cast<std::size_t>(std::count_if(track.Slots.begin(), track.Slots.end(),
                                                  [](const SectorSlot& s) { return s.Present; }));
}

}  // namespace

bool ParseTrDosCatalogue(std::span<const std::uint8_t> track0, TrDosCatalogue& out) {
    out = TrDosCatalogue{};
    if (track0.size() < kTrDosTrack0Bytes) return false;
    const auto info = track0.subspan(kInfoSectorOffset, kTrDosSectorSize);
    TrDosCatalogue c;
    c.firstFreeSector = info[kInfoFirstFreeSector];
    c.firstFreeTrack = info[kInfoFirstFreeTrack];
    c.diskType = info[kInfoDiskType];
    c.fileCount = info[kInfoFileCount];
    c.freeSectors = GetLe16(info, kInfoFreeSectors);
    c.idByte = info[kInfoIdByte];
    c.deletedCount = info[kInfoDeletedCount];
    std::copy_n(info.begin() + kInfoDiskName, kTrDosNameSize, c.diskName.begin());
    // Some disks carry an unknown disk type beside a good identification byte; their
    // catalogue is read all the same, and the type shows as not determined.
    if (c.idByte != kTrDosId) return false;
    for (std::size_t i = 0; i < kTrDosMaxEntries; ++i) {
        const auto bytes = track0.subspan(i * kTrDosEntrySize, kTrDosEntrySize);
        if (IsEndOfCatalogue(bytes)) break;
        c.entries.push_back(ParseEntry(bytes));
    }
    c.count = static_cast<std::uint8_t>(c.entries.size());
    c.valid = true;
    out = std::move(c);
    return true;
}

void PutTrDosEntry(std::span<std::uint8_t> bytes, const TrDosEntry& entry) {
    std::copy(entry.name.begin(), entry.name.end(), bytes.begin());
    bytes[kEntryType] = entry.type;
    SetLe16(bytes, kEntryStart, entry.start);
    SetLe16(bytes, kEntryLength, entry.length);
    bytes[kEntrySectors] = entry.sectors;
    bytes[kEntryFirstSector] = entry.firstSector;
    bytes[kEntryFirstTrack] = entry.firstTrack;
}

unsigned TrDosEntrySector(std::size_t entry) {
    return static_cast<unsigned>(entry / kTrDosEntriesPerSector + 1);
}

std::span<std::uint8_t> TrDosEntryBytes(SectorSlot& sector, std::size_t entry) {
    return sector.Data.first(kTrDosSectorSize)
        .subspan(entry % kTrDosEntriesPerSector * kTrDosEntrySize, kTrDosEntrySize);
}

bool ReadTrDosCatalogue(const DiskImage& disk, TrDosCatalogue& out) {
    out = TrDosCatalogue{};
    const Track* track = disk.GetTrack(0);
    if (track == nullptr || track->Present == 0) return false;
    Bytes buffer(kTrDosTrack0Bytes, 0);
    const std::size_t occupied = CatalogueSlotsLooked(*track);
    for (std::size_t i = 0; i < occupied; ++i) {
        const SectorSlot& slot = track->Slots[i];
        if (slot.Sector < 1 || slot.Sector > kTrDosInfoSector) continue;
        if (slot.SizeCode != kTrDosSizeCode || slot.Present == 0) return false;
        if (slot.Sector == kTrDosInfoSector && slot.DataLength < kTrDosSectorSize) return false;
        std::copy_n(
            slot.Data.first(kTrDosSectorSize).begin(), kTrDosSectorSize,
            buffer.begin() + static_cast<std::ptrdiff_t>((slot.Sector - 1) * kTrDosSectorSize));
    }
    return ParseTrDosCatalogue(buffer, out);
}

const SectorSlot* CatalogueSlot(const DiskImage& disk, unsigned sector) {
    const Track* track = disk.GetTrack(0);
    if (track == nullptr || track->Present == 0) return nullptr;
    // The reader copies every slot of the number in turn, so the last one is what it keeps.
    const SectorSlot* found = nullptr;
    const std::size_t occupied = CatalogueSlotsLooked(*track);
    for (std::size_t i = 0; i < occupied; ++i) {
        if (track->Slots[i].Sector == sector) found = &track->Slots[i];
    }
    if (found == nullptr || found->Present == 0 || found->DataLength < kTrDosSectorSize)
        return nullptr;
    return found;
}

SectorSlot* CatalogueSlot(DiskImage& disk, unsigned sector) {
    return const_cast<SectorSlot*>(CatalogueSlot(static_cast<const DiskImage&>(disk), sector));
}

unsigned TrDosTrackCount(std::uint8_t diskType) {
    switch (diskType) {
        case kDiskType80x2:
            return 160;
        case kDiskType40x2:
        case kDiskType80x1:
            return 80;
        case kDiskType40x1:
            return 40;
        default:
            return 0;
    }
}

std::size_t TrDosVisibleCount(const TrDosCatalogue& catalogue) {
    const auto end = std::find_if(catalogue.entries.begin(), catalogue.entries.end(),
                                  [](const TrDosEntry& e) { return e.IsErasedLast(); });
    return static_cast<std::size_t>(end - catalogue.entries.begin());
}

std::vector<std::size_t> ListedEntries(const TrDosCatalogue& catalogue, bool showDeleted) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
        if (showDeleted || catalogue.entries[i].IsListed()) rows.push_back(i);
    }
    return rows;
}

std::optional<std::size_t> EntryOfRow(const TrDosCatalogue& catalogue, bool showDeleted,
                                      std::size_t row) {
    const std::vector<std::size_t> rows = ListedEntries(catalogue, showDeleted);
    if (row >= rows.size()) return std::nullopt;
    return rows[row];
}

std::string ZxNameText(std::span<const std::uint8_t> name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i > 0 && name[i] == 0) break;
        text += ByteText(name[i]);
    }
    return text;
}

std::string ZxDiskNameText(const TrDosName& name) {
    std::string text;
    for (std::uint8_t b : name) {
        if (b == 0) break;
        text += ByteText(b);
    }
    return text;
}

Bytes ZxNameFromEditedText(std::span<const std::uint8_t> shown, std::string_view edited) {
    // Compared as Windows-1251 bytes, each character one byte: the shown text's bytes are
    // those of ByteText, where a control byte is '?'.
    Bytes seen;
    for (std::uint8_t b : shown) {
        const Bytes one = Utf8ToCp1251(ByteText(b));
        seen.insert(seen.end(), one.begin(), one.end());
    }
    const Bytes typed = Utf8ToCp1251(edited);
    // The longest common subsequence of the two texts is what the user left alone, wherever
    // the edit put it; lcs[i][j] is its length for seen[i..] and typed[j..].
    const std::size_t n = seen.size();
    const std::size_t m = typed.size();
    std::vector<std::vector<std::size_t>> lcs(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = seen[i] == typed[j] ? lcs[i + 1][j + 1] + 1
                                            : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    Bytes out;
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < m) {
        if (i < n && seen[i] == typed[j] && lcs[i][j] == lcs[i + 1][j + 1] + 1) {
            out.push_back(shown[i++]);
            ++j;
        } else if (i < n && lcs[i + 1][j] >= lcs[i][j + 1]) {
            ++i;
        } else {
            out.push_back(typed[j++]);
        }
    }
    return out;
}

std::string TrimmedZxName(const TrDosName& name) {
    std::size_t end = name.size();
    while (end > 0 && name[end - 1] <= 0x20)
        --end;
    return std::string(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(end));
}

bool EntryMatchesArgument(const TrDosEntry& entry, std::string_view argument) {
    // The raw bytes, or their Windows-1251 reading as a UTF-8 terminal types them.
    const std::string raw = TrimmedZxName(entry.name);
    const Bytes rawBytes(raw.begin(), raw.end());
    const std::uint8_t type[1] = {entry.type};
    const std::string rawType(1, static_cast<char>(entry.type));
    for (const std::string& name : {raw, Cp1251ToUtf8(rawBytes)}) {
        if (argument == name) return true;
        if (argument.size() > name.size() + 1 && argument.starts_with(name) &&
            argument[name.size()] == '.') {
            const std::string_view letter = argument.substr(name.size() + 1);
            if (letter == rawType || letter == Cp1251ToUtf8(type)) return true;
        }
    }
    return false;
}

std::string SectorOwnerText(const TrDosCatalogue& catalogue, unsigned track, unsigned sectorIndex) {
    if (track == 0 || !catalogue.valid) return {};
    const unsigned position = track * kTrDosSectorsPerTrack + sectorIndex;
    for (const TrDosEntry& e : catalogue.entries) {
        const unsigned first = e.StartPosition();
        if (position >= first && position < first + e.sectors)
            return ZxNameText(e.name) + " _" + ByteText(e.type);
    }
    return std::string(kFreeSectorText);
}

std::string SlotOwnerText(const DiskImage& disk, const TrDosCatalogue& catalogue, std::uint8_t track,
                          std::uint8_t slot) {
    const Track* t = disk.GetTrack(track);
    const SectorSlot* s = t != nullptr ? t->GetSlot(slot) : nullptr;
    if (s == nullptr || s->Sector < 1 || s->Sector > kTrDosSectorsPerTrack) return {};
    return SectorOwnerText(catalogue, track, s->Sector - 1u);
}

}  // namespace morvane
