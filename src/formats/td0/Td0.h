// TD0: the sector image written by TeleDisk. A 12-byte header ("TD" plain, "td" with the
// rest LZHUF-compressed), an optional comment block, then track records each followed by
// its sector records and their (optionally run-length encoded) data. Td0Writer.h writes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/DiskImage.h"

namespace morvane {

// Messages left in DiskImage::LastError.
inline constexpr std::string_view kTd0ErrNotTd0 = "No TD0 file.";
inline constexpr std::string_view kTd0ErrVersion = "Version TD0 not allowed.";
inline constexpr std::string_view kTd0ErrHeaderCrc = "TD0 header CRC error.";
inline constexpr std::string_view kTd0ErrOldCompression = "OLD compression not allowed.";
inline constexpr std::string_view kTd0ErrSize = "Size Error.";
inline constexpr std::string_view kTd0ErrSectorSize = "Sector Size Error!";
inline constexpr std::string_view kTd0ErrFormat = "TD0 format error!";
// A file or decoded stream that stops inside one of its records.
inline constexpr std::string_view kTd0ErrHeaderCut = "TD0 file is shorter than its 12-byte header.";
inline constexpr std::string_view kTd0ErrCommentCut = "TD0 data ends inside the comment block.";
inline constexpr std::string_view kTd0ErrTrackHeaderCut = "TD0 data ends inside a track header.";
inline constexpr std::string_view kTd0ErrSectorHeaderCut = "TD0 data ends inside a sector header.";
inline constexpr std::string_view kTd0ErrSectorDataCut = "TD0 data ends inside a sector's data.";
inline constexpr std::string_view kTd0ErrTooLarge =
    "TD0 compressed data expands to more than 64 MB.";

// Bound on the decompressed body of a "td" file: far above any real disk (166 tracks of
// 32 sectors of 6500 bytes is under 35 MB), low enough to stop a crafted bomb.
inline constexpr std::size_t kTd0MaxDecompressed = std::size_t{64} << 20;

// Clears disk, then fills one track per track record: every sector an occupied slot with
// its ID field, a computed HeaderCrc and its decoded data, DataGood 255 unless TeleDisk
// flagged a CRC error. A sector flagged as skipped or without data has no data block: it
// is an ID alone (DataLength 0, DataGood 0). The comment block's text becomes the disk
// comment (DiskCommentLines). False with disk.LastError set on a bad file;
// the tracks read before the failure stay.
// Beyond the model: track records past index 165 and sectors past the 32nd of a track are
// read and checked but not stored; sector data is kept up to the 6500-byte slot buffer.
bool ReadTd0(std::span<const std::uint8_t> file, DiskImage& disk);
// The same with another bound on the decompressed body of a "td" file; a body that would
// grow past it is refused with kTd0ErrTooLarge.
bool ReadTd0(std::span<const std::uint8_t> file, DiskImage& disk, std::size_t maxDecompressed);

}  // namespace morvane
