// SCL: several TR-DOS files in one archive.
//   0  8  "SINCLAIR"    8  1  number of files n
//   9  14 * n  headers: name 8, type 1, start 2, length 2, sectors 1
//   then every file's sectors in header order; last 4 bytes: the sum of all bytes before
//   them, unsigned 32-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "filesystems/TrDosCatalogue.h"
#include "filesystems/TrDosSectors.h"
#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::string_view kSclSignature = "SINCLAIR";
inline constexpr std::size_t kSclHeaderSize = 14;
inline constexpr std::size_t kSclMaxFiles = 255;

std::uint32_t SclChecksum(std::span<const std::uint8_t> bytes);
// The whole archive of the files, in the given order. False, with out emptied, at the first
// unreadable sector (its position in *failed) or for more than 255 files.
bool BuildScl(const DiskImage& disk, std::span<const TrDosEntry> files, Bytes& out,
              SectorPosition* failed = nullptr);
// The archive of files whose sectors were read already: sectors[i] holds files[i]'s
// (at most 255 files).
Bytes SclArchive(std::span<const TrDosEntry> files, std::span<const Bytes> sectors);

// An archive read back; entries carry first sector and track 0.
struct SclFile {
    TrDosEntry entry;
    Bytes data;
};
// False with error set for a wrong signature, a short archive or a wrong checksum.
bool ParseScl(std::span<const std::uint8_t> archive, std::vector<SclFile>& out, std::string& error);

}  // namespace morvane
