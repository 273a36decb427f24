// Changes to the directory and blocks of a Profi CP/M disk: delete, rename and add files.
// Each checks everything first and changes nothing when it refuses; the directory is
// written back to sectors 1..4 of track 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "filesystems/CpmDirectory.h"
#include "model/DiskImage.h"

namespace morvane {

// The largest file added: every block past the directory. Extents past the 32nd carry
// their high bits in S2.
inline constexpr std::size_t kCpmMaxAddedFile = kCpmDiskBytes - 2 * kCpmBlockSize;
// The unused tail of a file's last record, as CP/M pads text.
inline constexpr std::uint8_t kCpmPadding = 0x1A;

// Marks every extent of the files whose first extents are these directory entries erased
// (user byte 0xE5). False with error set when one is no first extent or the directory
// sectors cannot be written.
bool DeleteCpmFiles(DiskImage& disk, std::span<const std::size_t> firstExtents, std::string& error);

// Gives every extent of the file whose first extent is that entry the new name, keeping
// each extent's attribute bits. Refused when a file that is not erased already has the
// name; nothing is changed when it is the file's own name.
bool RenameCpmFile(DiskImage& disk, std::size_t firstExtent, const CpmName& name,
                   std::string& error);

// The CP/M name of a PC file: its file name (folders dropped) upper-cased as NAME.EXT.
// Nothing for a name longer than 8.3 or with characters CP/M does not allow in names
// (control characters, spaces, < > . , ; : = ? * [ ] | and bytes above 0x7E).
std::optional<CpmName> CpmNameForPcFile(std::string_view path);

// Stores data as a file of that user area (0..15) in free blocks and free directory
// entries, one entry (extent) per 16 KB; the last record is padded with 0x1A. Block 2 is
// free only while track 0's sector 9, its first half, holds no boot loader (all 0x00 or all
// 0xE5). Refused when the user area has a file of the name, the directory or the disk is
// full, the file is larger than kCpmMaxAddedFile, or a sector to be written is missing.
bool AddCpmFile(DiskImage& disk, std::uint8_t user, const CpmName& name,
                std::span<const std::uint8_t> data, std::string& error);
// The same for user 0.
bool AddCpmFile(DiskImage& disk, const CpmName& name, std::span<const std::uint8_t> data,
                std::string& error);

}  // namespace morvane
