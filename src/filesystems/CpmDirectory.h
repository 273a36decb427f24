// The directory of a Profi CP/M disk: 5 sectors of 1024 bytes per track (sector 5 of
// track 0 carries the number 9), 2048-byte blocks of two logical sectors, 400 blocks; the
// directory is blocks 0 and 1 (track 0, sectors 1..4), 128 entries of 32 bytes:
//   0  1  user (0xE5 = erased)   1  8  name   9  3  type   12 1  extent number (EX)
//   14 1  high extent bits (S2)  15 1  records of 128 bytes
//   16 16 eight block numbers (LE, 0 = none)
// An entry maps 16 KB, one extent; EX counts 32 of them, S2 the groups of 32 beyond, so a
// file over 512 KB goes on with S2 1 and EX 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::size_t kCpmSectorSize = 1024;
inline constexpr unsigned kCpmSectorsPerTrack = 5;
inline constexpr std::uint8_t kCpmBootSectorNumber = 9;
inline constexpr std::size_t kCpmBlockSize = 2048;
inline constexpr std::size_t kCpmBlockCount = 400;
inline constexpr std::size_t kCpmDiskBytes = kCpmBlockSize * kCpmBlockCount;  // 819200
inline constexpr std::size_t kCpmDirectoryBytes = 4096;
inline constexpr std::size_t kCpmEntrySize = 32;
inline constexpr std::size_t kCpmMaxEntries = 128;
inline constexpr std::size_t kCpmNameSize = 11;  // 8 name + 3 type
inline constexpr std::size_t kCpmBlocksPerEntry = 8;
inline constexpr std::size_t kCpmRecordSize = 128;
inline constexpr std::uint8_t kCpmFullExtent = 128;
inline constexpr std::uint8_t kCpmErased = 0xE5;
inline constexpr unsigned kCpmExtentsPerS2 = 32;
inline constexpr unsigned kCpmMaxUser = 15;

using CpmName = std::array<std::uint8_t, kCpmNameSize>;

struct CpmDirEntry {
    std::uint8_t user = 0;
    CpmName name{};
    std::uint8_t extent = 0;  // EX
    std::uint8_t s2 = 0;      // the extent number's high part
    std::uint8_t records = 0;
    std::array<std::uint16_t, kCpmBlocksPerEntry> blocks{};

    bool IsErased() const { return user == kCpmErased; }
    bool IsHidden() const { return user != 0 && user != kCpmErased; }
    // The extent's place in its file: S2 * 32 + EX.
    unsigned ExtentNumber() const { return s2 * kCpmExtentsPerS2 + extent; }
    bool IsFirstExtent() const { return extent == 0 && s2 == 0; }
};

// The "Просмотреть CP/M каталог" check: track 0 holds 5 or 6 occupied slots.
bool IsCpmImage(const DiskImage& disk);
// The 4096 directory bytes from sectors 1..4 of track 0; a missing sector reads as zeros.
Bytes ReadCpmDirectoryBytes(const DiskImage& disk);
// Entries up to the first one whose first two bytes are both 0xE5, at most 128.
std::vector<CpmDirEntry> ParseCpmDirectory(std::span<const std::uint8_t> directory);
// All 128 entries, that end notwithstanding: what a change to the directory must respect,
// since entries after it that are not erased may still hold files.
std::vector<CpmDirEntry> ParseAllCpmEntries(std::span<const std::uint8_t> directory);

// The later extents of the file whose first extent is entries[first]: entries of the same
// user and name with a non-zero extent number (S2 * 32 + EX), in extent order. Empty unless
// the first extent is full (128 records).
std::vector<std::size_t> LaterExtents(std::span<const CpmDirEntry> entries, std::size_t first);

struct CpmListRow {
    std::size_t entry = 0;      // index of the file's first extent
    std::uint32_t records = 0;  // over all its extents
};

struct CpmCatalogue {
    std::vector<CpmDirEntry> entries;
    std::array<std::uint8_t, kCpmBlockCount> blockMap{};  // 0 free, else owner entry + 1
    std::vector<CpmListRow> rows;                         // the list, in directory order

    std::size_t UsedBytes() const;  // marked blocks * 2048
};
// Lists the first extents (EX and S2 0) of the files, erased and hidden ones only
// when asked; marks the blocks of every entry that is not erased, stopping at a block
// number of 400 or more; blocks 0 and 1 are always used.
CpmCatalogue BuildCpmCatalogue(std::span<const std::uint8_t> directory, bool showErased,
                               bool showHidden);
CpmCatalogue ReadCpmCatalogue(const DiskImage& disk, bool showErased, bool showHidden);

struct CpmFile {
    CpmName name{};
    std::uint8_t user = 0;
    std::uint32_t size = 0;  // records * 128 over all extents
    std::vector<std::uint16_t> blocks;
};
// The file whose first extent is entries[entry]; nothing when that is no first extent.
std::optional<CpmFile> CpmFileOfEntry(std::span<const CpmDirEntry> entries, std::size_t entry);
// Names match as CP/M matches them: without bit 7 of each byte, which holds the file's
// attributes (read-only, system, archive and four free for the user).
bool SameCpmName(const CpmName& a, const CpmName& b);
// The same, and letters match in either case, as a name typed on the command line does.
bool SameCpmNameAnyCase(const CpmName& a, const CpmName& b);

// The first file of that 11-byte name that is not erased, in any user area.
std::optional<CpmFile> FindCpmFile(std::span<const CpmDirEntry> entries, const CpmName& name);
// The file of that name in that user area, the name matched without regard to case.
std::optional<CpmFile> FindCpmFile(std::span<const CpmDirEntry> entries, std::uint8_t user,
                                   const CpmName& name);
// "NAME    EXT" from "NAME.EXT" (upper case is not forced); nothing for a longer name.
std::optional<CpmName> CpmNameFromText(std::string_view text);

// A file named on the command line: "U:NAME.EXT" with U (one or two digits) a user area
// 0..15; anything else is a name of user 0.
struct CpmFileArgument {
    std::uint8_t user = 0;
    std::string_view name;  // what follows the user prefix
};
// Nothing when the user number is not 0..15.
std::optional<CpmFileArgument> SplitCpmUser(std::string_view text);

// The file's blocks, 2048 bytes each; a sector that is missing, absent, not 1024 bytes
// long or on an absent track leaves its 1024 bytes zero.
Bytes ReadCpmBlocks(const DiskImage& disk, const CpmFile& file);
// The file's bytes: its first size bytes, never more than its blocks hold.
Bytes ReadCpmFile(const DiskImage& disk, const CpmFile& file);

}  // namespace morvane
