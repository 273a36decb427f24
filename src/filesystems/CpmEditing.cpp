#include "filesystems/CpmEditing.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace morvane {

namespace {

constexpr unsigned kDirectorySectors = 4;
constexpr std::size_t kFirstDataBlock = 2;  // blocks 0 and 1 hold the directory
constexpr std::size_t kEntryExtent = 12;
constexpr std::size_t kEntryS2 = 14;
constexpr std::size_t kEntryRecords = 15;
constexpr std::size_t kEntryBlocks = 16;
constexpr std::size_t kExtentBytes = kCpmBlocksPerEntry * kCpmBlockSize;
constexpr std::string_view kNotInNames = "<>.,;:=?*[]|";

// As the readers find a sector (the first occupied slot of that number), and only when the
// whole 1024 bytes can be written.
SectorSlot* WritableSector(DiskImage& disk, std::size_t track, unsigned number) {
    if (track >= kTrackCount) return nullptr;
    Track& t = *disk.GetTrack(static_cast<std::uint8_t>(track));
    if (t.Present == 0) return nullptr;
    for (SectorSlot& slot : t.Slots) {
        if (slot.Present != 0 && slot.Sector == number)
            return slot.DataLength == kCpmSectorSize ? &slot : nullptr;
    }
    return nullptr;
}

SectorSlot* WritableLogicalSector(DiskImage& disk, std::size_t logical) {
    const std::size_t track = logical / kCpmSectorsPerTrack;
    unsigned number = static_cast<unsigned>(logical % kCpmSectorsPerTrack) + 1;
    if (track == 0 && number == kCpmSectorsPerTrack) number = kCpmBootSectorNumber;
    return WritableSector(disk, track, number);
}

bool DirectoryWritable(DiskImage& disk, std::string& error) {
    for (unsigned n = 1; n <= kDirectorySectors; ++n) {
        if (WritableSector(disk, 0, n) == nullptr) {
            error = "directory sector " + std::to_string(n) + " of track 0 cannot be written";
            return false;
        }
    }
    return true;
}

void WriteDirectory(DiskImage& disk, std::span<const std::uint8_t> dir) {
    for (unsigned n = 1; n <= kDirectorySectors; ++n)
        std::copy_n(dir.begin() + static_cast<std::ptrdiff_t>((n - 1) * kCpmSectorSize),
                    kCpmSectorSize, WritableSector(disk, 0, n)->Data.begin());
    disk.Repaint();
}

std::span<std::uint8_t> EntryAt(Bytes& dir, std::size_t index) {
    return std::span<std::uint8_t>(dir).subspan(index * kCpmEntrySize, kCpmEntrySize);
}

// Every entry of the file that begins at `first`: same user and name, not erased.
std::vector<std::size_t> ExtentsOf(std::span<const CpmDirEntry> entries, std::size_t first) {
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CpmDirEntry& e = entries[i];
        if (!e.IsErased() && e.user == entries[first].user &&
            SameCpmName(e.name, entries[first].name))
            all.push_back(i);
    }
    return all;
}

bool IsFirstExtent(std::span<const CpmDirEntry> entries, std::size_t index, std::string& error) {
    if (index < entries.size() && entries[index].IsFirstExtent() && !entries[index].IsErased())
        return true;
    error = "directory entry " + std::to_string(index) + " is no file";
    return false;
}

bool NameTaken(std::span<const CpmDirEntry> entries, const CpmName& name) {
    return std::any_of(entries.begin(), entries.end(), [&](const CpmDirEntry& e) {
        return !e.IsErased() && SameCpmName(e.name, name);
    });
}

std::string NameText(const CpmName& name) {
    std::string base(name.begin(), name.begin() + 8);
    std::string type(name.begin() + 8, name.end());
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    while (!type.empty() && type.back() == ' ')
        type.pop_back();
    return type.empty() ? base : base + "." + type;
}

// Directory entries a new file may take, lowest first: the erased ones of all 128.
std::vector<std::size_t> FreeEntries(std::span<const CpmDirEntry> all) {
    std::vector<std::size_t> free;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].IsErased()) free.push_back(i);
    return free;
}

// Block 2 begins with track 0's sector 9, where a boot disk keeps its loader: a sector of
// anything but all 0x00 or all 0xE5 bytes is taken as one.
bool BootSectorInUse(DiskImage& disk) {
    const SectorSlot* boot = WritableSector(disk, 0, kCpmBootSectorNumber);
    if (boot == nullptr) return false;
    const std::span<const std::uint8_t> data = boot->Data.first(kCpmSectorSize);
    for (const std::uint8_t blank : {std::uint8_t{0}, kCpmErased}) {
        if (std::all_of(data.begin(), data.end(), [&](std::uint8_t b) { return b == blank; }))
            return false;
    }
    return true;
}

// Blocks no entry in use holds, of all 128 entries (a block number of 400 or more ends an
// entry's list, as the catalogue counts them), past the directory and the boot sector.
std::vector<std::uint16_t> FreeBlocks(DiskImage& disk, std::span<const CpmDirEntry> all) {
    std::array<bool, kCpmBlockCount> used{};
    for (const CpmDirEntry& e : all) {
        if (e.IsErased()) continue;
        for (std::uint16_t block : e.blocks) {
            if (block >= kCpmBlockCount) break;
            used[block] = true;
        }
    }
    if (BootSectorInUse(disk)) used[kFirstDataBlock] = true;
    std::vector<std::uint16_t> free;
    for (std::size_t b = kFirstDataBlock; b < kCpmBlockCount; ++b)
        if (!used[b]) free.push_back(static_cast<std::uint16_t>(b));
    return free;
}

bool BlocksWritable(DiskImage& disk, std::span<const std::uint16_t> blocks, std::string& error) {
    for (std::uint16_t b : blocks) {
        for (std::size_t half = 0; half < 2; ++half) {
            if (WritableLogicalSector(disk, std::size_t{b} * 2 + half) == nullptr) {
                error = "a sector of block " + std::to_string(b) + " cannot be written";
                return false;
            }
        }
    }
    return true;
}

void WriteBlocks(DiskImage& disk, std::span<const std::uint16_t> blocks,
                 std::span<const std::uint8_t> data) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        for (std::size_t half = 0; half < 2; ++half) {
            SectorSlot& slot = *WritableLogicalSector(disk, std::size_t{blocks[i]} * 2 + half);
            const std::size_t from = i * kCpmBlockSize + half * kCpmSectorSize;
            const std::size_t have = data.size() > from ? data.size() - from : 0;
            const std::size_t take = std::min(have, kCpmSectorSize);
            std::fill_n(slot.Data.begin(), kCpmSectorSize, kCpmPadding);
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(std::min(from, data.size())),
                        take, slot.Data.begin());
            slot.DataGood = kDataGood;
        }
    }
}

void PutEntry(std::span<std::uint8_t> bytes, std::uint8_t user, const CpmName& name,
              std::size_t extent, std::size_t records, std::span<const std::uint16_t> blocks) {
    std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
    bytes[0] = user;
    std::copy(name.begin(), name.end(), bytes.begin() + 1);
    bytes[kEntryExtent] = static_cast<std::uint8_t>(extent % kCpmExtentsPerS2);
    bytes[kEntryS2] = static_cast<std::uint8_t>(extent / kCpmExtentsPerS2);
    bytes[kEntryRecords] = static_cast<std::uint8_t>(records);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        SetLe16(bytes, kEntryBlocks + 2 * i, blocks[i]);
}

}  // namespace

bool DeleteCpmFiles(DiskImage& disk, std::span<const std::size_t> firstExtents, std::string& error) {
    Bytes dir = ReadCpmDirectoryBytes(disk);
    const std::vector<CpmDirEntry> entries = ParseCpmDirectory(dir);
    for (std::size_t first : firstExtents)
        if (!IsFirstExtent(entries, first, error)) return false;
    if (!DirectoryWritable(disk, error)) return false;
    for (std::size_t first : firstExtents)
        for (std::size_t i : ExtentsOf(entries, first))
            EntryAt(dir, i)[0] = kCpmErased;
    WriteDirectory(disk, dir);
    return true;
}

bool RenameCpmFile(DiskImage& disk, std::size_t firstExtent, const CpmName& name,
                   std::string& error) {
    Bytes dir = ReadCpmDirectoryBytes(disk);
    const std::vector<CpmDirEntry> entries = ParseCpmDirectory(dir);
    if (!IsFirstExtent(entries, firstExtent, error)) return false;
    if (SameCpmName(entries[firstExtent].name, name)) return true;
    if (NameTaken(entries, name)) {
        error = "a file " + NameText(name) + " exists";
        return false;
    }
    if (!DirectoryWritable(disk, error)) return false;
    // The new characters, each extent's attribute bits kept.
    for (std::size_t i : ExtentsOf(entries, firstExtent)) {
        const std::span<std::uint8_t> held = EntryAt(dir, i).subspan(1, kCpmNameSize);
        for (std::size_t k = 0; k < kCpmNameSize; ++k)
            held[k] = static_cast<std::uint8_t>((name[k] & 0x7F) | (held[k] & 0x80));
    }
    WriteDirectory(disk, dir);
    return true;
}

std::optional<CpmName> CpmNameForPcFile(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string text(slash == std::string_view::npos ? path : path.substr(slash + 1));
    const std::size_t dot = text.find('.');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (i == dot) continue;
        if (c <= 0x20 || c > 0x7E || kNotInNames.find(static_cast<char>(c)) != std::string::npos)
            return std::nullopt;
        text[i] = static_cast<char>(std::toupper(c));
    }
    return CpmNameFromText(text);
}

bool AddCpmFile(DiskImage& disk, const CpmName& name, std::span<const std::uint8_t> data,
                std::string& error) {
    return AddCpmFile(disk, 0, name, data, error);
}

bool AddCpmFile(DiskImage& disk, std::uint8_t user, const CpmName& name,
                std::span<const std::uint8_t> data, std::string& error) {
    if (user > kCpmMaxUser) {
        error = "user area " + std::to_string(user) + " is not 0..15";
        return false;
    }
    if (data.size() > kCpmMaxAddedFile) {
        error =
            NameText(name) + " is larger than " + std::to_string(kCpmMaxAddedFile / 1024) + " KB";
        return false;
    }
    Bytes dir = ReadCpmDirectoryBytes(disk);
    const std::size_t listed = ParseCpmDirectory(dir).size();
    const std::vector<CpmDirEntry> all = ParseAllCpmEntries(dir);
    // Each user area has names of its own.
    if (std::any_of(all.begin(), all.end(), [&](const CpmDirEntry& e) {
            return e.user == user && SameCpmName(e.name, name);
        })) {
        error = "a file " + (user != 0 ? std::to_string(user) + ":" : "") + NameText(name) +
                " exists";
        return false;
    }
    const std::size_t records = (data.size() + kCpmRecordSize - 1) / kCpmRecordSize;
    const std::size_t blockCount = (data.size() + kCpmBlockSize - 1) / kCpmBlockSize;
    const std::size_t extents =
        std::max<std::size_t>(1, (data.size() + kExtentBytes - 1) / kExtentBytes);
    const std::vector<std::size_t> freeEntries = FreeEntries(all);
    if (extents > freeEntries.size()) {
        error = "the directory is full: " + std::to_string(extents) + " entries needed, " +
                std::to_string(freeEntries.size()) + " free";
        return false;
    }
    std::vector<std::uint16_t> blocks = FreeBlocks(disk, all);
    if (blockCount > blocks.size()) {
        error = "the disk is full: " + std::to_string(blockCount * kCpmBlockSize / 1024) +
                " KB needed, " + std::to_string(blocks.size() * kCpmBlockSize / 1024) + " KB free";
        return false;
    }
    blocks.resize(blockCount);
    if (!DirectoryWritable(disk, error) || !BlocksWritable(disk, blocks, error)) return false;

    WriteBlocks(disk, blocks, data);
    std::size_t lastEntry = 0;
    for (std::size_t x = 0; x < extents; ++x) {
        const std::size_t firstBlock = x * kCpmBlocksPerEntry;
        const std::size_t count =
            std::min(kCpmBlocksPerEntry, blockCount - std::min(firstBlock, blockCount));
        const std::size_t extentRecords =
            std::min<std::size_t>(kCpmFullExtent, records - x * kCpmFullExtent);
        lastEntry = freeEntries[x];
        PutEntry(EntryAt(dir, lastEntry), user, name, x, extentRecords,
                 std::span<const std::uint16_t>(blocks).subspan(firstBlock, count));
    }
    // An entry past the old end of the directory moves the end; what lay beyond it must not
    // turn into files, unless it is an entry in use.
    const std::size_t next = lastEntry + 1;
    if (lastEntry >= listed && next < kCpmMaxEntries && all[next].IsErased()) {
        auto end = EntryAt(dir, next);
        std::fill(end.begin(), end.end(), kCpmErased);
    }
    WriteDirectory(disk, dir);
    return true;
}

}  // namespace morvane
