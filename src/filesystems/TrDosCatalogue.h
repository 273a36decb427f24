// The TR-DOS catalogue: 128 entries of 16 bytes in sectors 1..8 of logical track 0 and the
// disk information sector 9, read from the disk image into one record that the catalogue
// window, the exports, the sector view's owner line and morvane-img share.
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

// Layout of logical track 0. A catalogue entry:
//   0  8  name, space padded; 0x01 first = deleted; eight zero bytes end the catalogue
//   8  1  type letter            9  2  start (LE)          11 2  length in bytes (LE)
//   13 1  length in sectors      14 1  first sector (0..15) 15 1  first logical track
inline constexpr std::size_t kTrDosSectorSize = 256;
inline constexpr unsigned kTrDosSectorsPerTrack = 16;
inline constexpr std::size_t kTrDosEntrySize = 16;
inline constexpr std::size_t kTrDosMaxEntries = 128;
inline constexpr std::size_t kTrDosEntriesPerSector = kTrDosSectorSize / kTrDosEntrySize;
inline constexpr std::size_t kTrDosNameSize = 8;
inline constexpr std::uint8_t kTrDosInfoSector = 9;
inline constexpr std::size_t kTrDosCatalogueBytes = 2048;  // sectors 1..8
inline constexpr std::size_t kTrDosTrack0Bytes = 2560;     // sectors 1..9 as parsed
inline constexpr std::uint8_t kTrDosDeletedMark = 0x01;

// Fields of the information sector (offsets within sector 9).
inline constexpr std::size_t kInfoFirstFreeSector = 0xE1;
inline constexpr std::size_t kInfoFirstFreeTrack = 0xE2;
inline constexpr std::size_t kInfoDiskType = 0xE3;
inline constexpr std::size_t kInfoFileCount = 0xE4;
inline constexpr std::size_t kInfoFreeSectors = 0xE5;
inline constexpr std::size_t kInfoIdByte = 0xE7;
inline constexpr std::size_t kInfoDeletedCount = 0xF4;
inline constexpr std::size_t kInfoDiskName = 0xF5;
inline constexpr std::uint8_t kTrDosId = 0x10;
inline constexpr std::uint8_t kDiskType80x2 = 0x16;
inline constexpr std::uint8_t kDiskType40x2 = 0x17;
inline constexpr std::uint8_t kDiskType80x1 = 0x18;
inline constexpr std::uint8_t kDiskType40x1 = 0x19;

using TrDosName = std::array<std::uint8_t, kTrDosNameSize>;

struct TrDosEntry {
    TrDosName name{};
    std::uint8_t type = 0;
    std::uint16_t start = 0;
    std::uint16_t length = 0;  // bytes
    std::uint8_t sectors = 0;
    std::uint8_t firstSector = 0;  // 0..15
    std::uint8_t firstTrack = 0;

    // Only 0x01 marks a deleted file; a zero first byte is where TR-DOS ends the catalogue
    // (how it erases the last file). Any other name is a file, one that begins with a
    // control code (an INK colour, say) or a space too.
    bool IsDeleted() const { return name[0] == kTrDosDeletedMark; }
    bool IsErasedLast() const { return name[0] == 0; }
    // Shown in the list while deleted files are hidden.
    bool IsListed() const { return !IsDeleted() && !IsErasedLast(); }
    // Kept by compaction: everything the list shows.
    bool IsLive() const { return IsListed(); }
    // Linear sector position of the first sector: track * 16 + sector.
    unsigned StartPosition() const { return firstTrack * kTrDosSectorsPerTrack + firstSector; }
};

struct TrDosCatalogue {
    bool valid = false;
    std::uint8_t count = 0;  // entries before the terminator, at most 128
    TrDosName diskName{};
    std::uint8_t diskType = 0;
    std::uint8_t idByte = 0;
    std::uint8_t firstFreeSector = 0;
    std::uint8_t firstFreeTrack = 0;
    std::uint16_t freeSectors = 0;
    std::uint8_t fileCount = 0;
    std::uint8_t deletedCount = 0;
    std::vector<TrDosEntry> entries;  // count entries
};

// Parses sectors 1..9 of logical track 0 (sector s at (s - 1) * 256; at least 2560 bytes).
// False, with the record cleared, when the identification byte is not 0x10 or the span is
// short. Any disk type is taken.
bool ParseTrDosCatalogue(std::span<const std::uint8_t> track0, TrDosCatalogue& out);
// Reads track 0 of the image: every occupied slot with sector number 1..9 must have size
// code 1 (sector 9 also 256 data bytes or more); missing sectors read as zeros.
bool ReadTrDosCatalogue(const DiskImage& disk, TrDosCatalogue& out);

// The slot ReadTrDosCatalogue takes sector `sector` (1..9) of track 0 from: of the slots
// below the count of occupied ones, the last with that number. Everything that changes the
// catalogue writes there, so that what is written is what is read back. nullptr when that
// slot is absent or holds fewer than 256 data bytes.
const SectorSlot* CatalogueSlot(const DiskImage& disk, unsigned sector);
SectorSlot* CatalogueSlot(DiskImage& disk, unsigned sector);

// Writes an entry into its 16 catalogue bytes, in the layout ParseTrDosCatalogue reads.
void PutTrDosEntry(std::span<std::uint8_t> bytes, const TrDosEntry& entry);
// The catalogue sector (1..8) that holds entry `entry` (0..127), and the entry's 16 bytes
// within that sector's data.
unsigned TrDosEntrySector(std::size_t entry);
std::span<std::uint8_t> TrDosEntryBytes(SectorSlot& sector, std::size_t entry);

// Logical tracks of a disk type (160, 80, 80, 40); 0 for an unknown type.
unsigned TrDosTrackCount(std::uint8_t diskType);

// How many entries TR-DOS itself reads: those before the first whose name begins with a
// zero byte. The record may hold more, up to eight zero bytes.
std::size_t TrDosVisibleCount(const TrDosCatalogue& catalogue);

// The list's rows: row r shows entries[rows[r]]. With deleted files shown every entry is a
// row; otherwise only entries with IsListed().
std::vector<std::size_t> ListedEntries(const TrDosCatalogue& catalogue, bool showDeleted);
std::optional<std::size_t> EntryOfRow(const TrDosCatalogue& catalogue, bool showDeleted,
                                      std::size_t row);

// A catalogue name as text: the first byte below 32 shows as '?', a later zero byte ends
// the text, other control bytes show as '?', bytes of 0x80 and above are Windows-1251.
std::string ZxNameText(std::span<const std::uint8_t> name);
// The disk name as text: up to its first zero byte, control bytes as '?', bytes of 0x80
// and above Windows-1251.
std::string ZxDiskNameText(const TrDosName& name);
// The bytes of a name whose text (each byte shown as ZxNameText shows it) was edited into
// `edited`: the characters the edit left alone keep their bytes, so a control byte shown
// as '?' stays that byte; what was typed becomes Windows-1251.
Bytes ZxNameFromEditedText(std::span<const std::uint8_t> shown, std::string_view edited);
// The name with trailing spaces and control bytes dropped, as morvane-img takes it on the
// command line: "boot" for "boot    ".
std::string TrimmedZxName(const TrDosName& name);
// Whether a command-line file argument names the entry: the trimmed name, optionally
// followed by "." and the type letter.
bool EntryMatchesArgument(const TrDosEntry& entry, std::string_view argument);

// The sector view's owner line for logical track `track` and sector index `sectorIndex`
// (0..15): the owner's 8-character name, " _" and its type letter; "Free sector!" when no
// entry holds it; empty for track 0 or an invalid record.
inline constexpr std::string_view kFreeSectorText = "Free sector!";
std::string SectorOwnerText(const TrDosCatalogue& catalogue, unsigned track, unsigned sectorIndex);
// The same for a slot of the map: takes the sector index from the slot's sector number,
// so interleaved tracks name the right file. Empty when the slot holds no sector 1..16.
std::string SlotOwnerText(const DiskImage& disk, const TrDosCatalogue& catalogue, std::uint8_t track,
                          std::uint8_t slot);

}  // namespace morvane
