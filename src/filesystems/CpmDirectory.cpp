#include "filesystems/CpmDirectory.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr unsigned kCpmDirectorySectors = 4;
constexpr std::uint8_t kDirectoryBlockMark = 0xFF;

// The first occupied slot of the track with that sector number.
const SectorSlot* FindCpmSector(const DiskImage& disk, unsigned track, unsigned number) {
    if (track >= kTrackCount) return nullptr;
    const Track& t = *disk.GetTrack(static_cast<std::uint8_t>(track));
    for (const SectorSlot& slot : t.Slots) {
        if (slot.Present != 0 && slot.Sector == number) return &slot;
    }
    return nullptr;
}

// Logical sector s: track s / 5, number s % 5 + 1, where sector 5 of track 0 is number 9.
const SectorSlot* FindLogicalSector(const DiskImage& disk, std::size_t logical) {
    const std::size_t track = logical / kCpmSectorsPerTrack;
    unsigned number = static_cast<unsigned>(logical % kCpmSectorsPerTrack) + 1;
    if (track == 0 && number == kCpmSectorsPerTrack) number = kCpmBootSectorNumber;
    if (track >= kTrackCount) return nullptr;
    if (disk.GetTrack(static_cast<std::uint8_t>(track))->Present == 0) return nullptr;
    return FindCpmSector(disk, static_cast<unsigned>(track), number);
}

CpmDirEntry ParseEntry(std::span<const std::uint8_t> b) {
    CpmDirEntry e;
    e.user = b[0];
    std::copy_n(b.begin() + 1, kCpmNameSize, e.name.begin());
    e.extent = b[12];
    e.s2 = b[14];
    e.records = b[15];
    for (std::size_t i = 0; i < kCpmBlocksPerEntry; ++i)
        e.blocks[i] = GetLe16(b, 16 + 2 * i);
    return e;
}

void MarkBlocks(const CpmDirEntry& e, std::uint8_t owner,
                std::array<std::uint8_t, kCpmBlockCount>& map) {
    for (std::uint16_t block : e.blocks) {
        if (block >= kCpmBlockCount) break;
        map[block] = owner;
    }
}

void AppendBlocks(const CpmDirEntry& e, std::vector<std::uint16_t>& blocks) {
    for (std::uint16_t block : e.blocks) {
        if (block == 0) break;
        blocks.push_back(block);
    }
}

}  // namespace

bool IsCpmImage(const DiskImage& disk) {
    const Track& t = *disk.GetTrack(0);
    const auto occupied = std::count_if(t.Slots.begin(), t.Slots.end(),
                                        [](const SectorSlot& s) { return s.Present != 0; });
    return occupied == 5 || occupied == 6;
}

Bytes ReadCpmDirectoryBytes(const DiskImage& disk) {
    Bytes dir(kCpmDirectoryBytes, 0);
    for (unsigned n = 1; n <= kCpmDirectorySectors; ++n) {
        const SectorSlot* slot = FindCpmSector(disk, 0, n);
        if (slot == nullptr) continue;
        const std::size_t length = std::min<std::size_t>(slot->DataLength, kCpmSectorSize);
        std::copy_n(slot->Data.first(length).begin(), length,
                    dir.begin() + static_cast<std::ptrdiff_t>((n - 1) * kCpmSectorSize));
    }
    return dir;
}

std::vector<CpmDirEntry> ParseCpmDirectory(std::span<const std::uint8_t> directory) {
    std::vector<CpmDirEntry> entries;
    for (std::size_t i = 0; i < kCpmMaxEntries; ++i) {
        const std::size_t at = i * kCpmEntrySize;
        if (at + kCpmEntrySize > directory.size()) break;
        const auto bytes = directory.subspan(at, kCpmEntrySize);
        if (bytes[0] == kCpmErased && bytes[1] == kCpmErased) break;
        entries.push_back(ParseEntry(bytes));
    }
    return entries;
}

std::vector<CpmDirEntry> ParseAllCpmEntries(std::span<const std::uint8_t> directory) {
    std::vector<CpmDirEntry> entries;
    for (std::size_t i = 0; i < kCpmMaxEntries; ++i) {
        const std::size_t at = i * kCpmEntrySize;
        if (at + kCpmEntrySize > directory.size()) break;
        entries.push_back(ParseEntry(directory.subspan(at, kCpmEntrySize)));
    }
    return entries;
}

std::vector<std::size_t> LaterExtents(std::span<const CpmDirEntry> entries, std::size_t first) {
    std::vector<std::size_t> later;
    if (first >= entries.size() || entries[first].records < kCpmFullExtent) return later;
    const CpmDirEntry& head = entries[first];
    for (std::size_t j = 0; j < entries.size(); ++j) {
        const CpmDirEntry& e = entries[j];
        if (j != first && !e.IsFirstExtent() && e.user == head.user &&
            SameCpmName(e.name, head.name))
            later.push_back(j);
    }
    std::stable_sort(later.begin(), later.end(), [&](std::size_t a, std::size_t b) {
        return entries[a].ExtentNumber() < entries[b].ExtentNumber();
    });
    // The file ends with its first extent that is not full.
    const auto last = std::find_if(later.begin(), later.end(), [&](std::size_t j) {
        return entries[j].records < kCpmFullExtent;
    });
    if (last != later.end()) later.erase(last + 1, later.end());
    return later;
}

std::size_t CpmCatalogue::UsedBytes() const {
    return static_cast<std::size_t>(std::count_if(blockMap.begin(), blockMap.end(),
                                                  [](std::uint8_t b) { return b != 0; })) *
           kCpmBlockSize;
}

CpmCatalogue BuildCpmCatalogue(std::span<const std::uint8_t> directory, bool showErased,
                               bool showHidden) {
    CpmCatalogue c;
    c.entries = ParseCpmDirectory(directory);
    c.blockMap[0] = kDirectoryBlockMark;
    c.blockMap[1] = kDirectoryBlockMark;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        const CpmDirEntry& e = c.entries[i];
        const auto owner = static_cast<std::uint8_t>(i + 1);
        if (!e.IsErased()) MarkBlocks(e, owner, c.blockMap);
        std::uint32_t records = e.records;
        for (std::size_t j : LaterExtents(c.entries, i)) {
            records += c.entries[j].records;
            if (!e.IsErased()) MarkBlocks(c.entries[j], owner, c.blockMap);
        }
        if (!e.IsFirstExtent()) continue;
        if (e.IsErased() && !showErased) continue;
        if (e.IsHidden() && !showHidden) continue;
        c.rows.push_back(CpmListRow{i, records});
    }
    return c;
}

CpmCatalogue ReadCpmCatalogue(const DiskImage& disk, bool showErased, bool showHidden) {
    return BuildCpmCatalogue(ReadCpmDirectoryBytes(disk), showErased, showHidden);
}

std::optional<CpmFile> CpmFileOfEntry(std::span<const CpmDirEntry> entries, std::size_t entry) {
    if (entry >= entries.size() || !entries[entry].IsFirstExtent()) return std::nullopt;
    const CpmDirEntry& head = entries[entry];
    CpmFile f;
    f.name = head.name;
    f.user = head.user;
    f.size = std::uint32_t{head.records} * kCpmRecordSize;
    AppendBlocks(head, f.blocks);
    for (std::size_t j : LaterExtents(entries, entry)) {
        f.size += std::uint32_t{entries[j].records} * kCpmRecordSize;
        AppendBlocks(entries[j], f.blocks);
    }
    return f;
}

bool SameCpmName(const CpmName& a, const CpmName& b) {
    return std::equal(a.begin(), a.end(), b.begin(),
                      [](std::uint8_t x, std::uint8_t y) { return ((x ^ y) & 0x7F) == 0; });
}

std::optional<CpmFile> FindCpmFile(std::span<const CpmDirEntry> entries, const CpmName& name) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CpmDirEntry& e = entries[i];
        if (e.IsFirstExtent() && !e.IsErased() && SameCpmName(e.name, name))
            return CpmFileOfEntry(entries, i);
    }
    return std::nullopt;
}

bool SameCpmNameAnyCase(const CpmName& a, const CpmName& b) {
    const auto fold = [](std::uint8_t c) {
        c &= 0x7F;
        return c >= 'a' && c <= 'z' ? static_cast<std::uint8_t>(c - 'a' + 'A') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(),
                      [&](std::uint8_t x, std::uint8_t y) { return fold(x) == fold(y); });
}

std::optional<CpmFile> FindCpmFile(std::span<const CpmDirEntry> entries, std::uint8_t user,
                                   const CpmName& name) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CpmDirEntry& e = entries[i];
        if (e.IsFirstExtent() && e.user == user && SameCpmNameAnyCase(e.name, name))
            return CpmFileOfEntry(entries, i);
    }
    return std::nullopt;
}

std::optional<CpmFileArgument> SplitCpmUser(std::string_view text) {
    // Only one or two digits before the colon make a user prefix; any other colon is part
    // of the name (or of a PC path).
    const std::size_t colon = text.find(':');
    const std::string_view digits = text.substr(0, colon);
    if (colon == std::string_view::npos || digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return CpmFileArgument{0, text};
    unsigned user = 0;
    for (char c : digits)
        user = user * 10 + static_cast<unsigned>(c - '0');
    if (user > kCpmMaxUser) return std::nullopt;
    return CpmFileArgument{static_cast<std::uint8_t>(user), text.substr(colon + 1)};
}

std::optional<CpmName> CpmNameFromText(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view base = text.substr(0, dot);
    const std::string_view type = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    if (base.empty() || base.size() > 8 || type.size() > 3) return std::nullopt;
    CpmName name;
    name.fill(' ');
    std::copy(base.begin(), base.end(), name.begin());
    std::copy(type.begin(), type.end(), name.begin() + 8);
    return name;
}

Bytes ReadCpmBlocks(const DiskImage& disk, const CpmFile& file) {
    Bytes data(file.blocks.size() * kCpmBlockSize, 0);
    for (std::size_t i = 0; i < file.blocks.size(); ++i) {
        for (std::size_t half = 0; half < 2; ++half) {
            const SectorSlot* slot =
                FindLogicalSector(disk, std::size_t{file.blocks[i]} * 2 + half);
            if (slot == nullptr || slot->DataLength != kCpmSectorSize) continue;
            std::copy_n(slot->Data.first(kCpmSectorSize).begin(), kCpmSectorSize,
                        data.begin() +
                            static_cast<std::ptrdiff_t>(i * kCpmBlockSize + half * kCpmSectorSize));
        }
    }
    return data;
}

Bytes ReadCpmFile(const DiskImage& disk, const CpmFile& file) {
    Bytes data = ReadCpmBlocks(disk, file);
    data.resize(std::min<std::size_t>(data.size(), file.size));
    return data;
}

}  // namespace morvane
