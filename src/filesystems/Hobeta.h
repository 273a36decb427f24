// Hobeta: one TR-DOS file in a PC file, a 17-byte header (the catalogue fields and a
// checksum) followed by the file's whole sectors. Named NAME.$T after the TR-DOS file.
//   0  8  name as in the catalogue     8  1  type     9  2  start     11 2  length
//   13 1  0                            14 1  sectors  15 2  header checksum (LE)
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

inline constexpr std::size_t kHobetaHeaderSize = 17;
inline constexpr std::size_t kHobetaChecksummed = 15;

// (257 * (sum of the first 15 bytes) + 105) mod 65536.
std::uint16_t HobetaChecksum(std::span<const std::uint8_t> header15);
// The 17 header bytes of an entry.
Bytes HobetaHeader(const TrDosEntry& entry);
// Header plus the file's sectors read from the image. False (out incomplete) at the first
// unreadable sector, its position in *failed.
bool BuildHobeta(const DiskImage& disk, const TrDosEntry& entry, Bytes& out,
                 SectorPosition* failed = nullptr);
// Header plus sectors read already.
Bytes HobetaBytes(const TrDosEntry& entry, std::span<const std::uint8_t> sectors);

// The file name: the trimmed catalogue name with control bytes and " * / : < > ? \ |
// replaced by '_', bytes of 0x80 and above as Windows-1251; extension '$' and the type
// letter, which is replaced the same way. A name of spaces only becomes "_".
struct HobetaName {
    std::string base;
    std::string extension;  // "$B"
    std::string FileName() const { return base + "." + extension; }
};
HobetaName HobetaFileName(const TrDosEntry& entry);
// The names of several files saved into one folder, one each: a file whose name an earlier
// one took (letter case aside, as some file systems ignore it) gets "_2", "_3"... after its
// base, skipping any name another file has by itself.
std::vector<HobetaName> HobetaFileNames(std::span<const TrDosEntry> entries);

// A Hobeta file read back: the header as a catalogue entry (first sector and track 0) and
// the sector data. False with error set for a short file or a wrong header checksum.
struct HobetaFile {
    TrDosEntry entry;
    Bytes data;  // entry.sectors * 256 bytes
};
bool ParseHobeta(std::span<const std::uint8_t> file, HobetaFile& out, std::string& error);

}  // namespace morvane
