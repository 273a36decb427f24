// Empty, formatted disk images: TR-DOS (160 tracks of 16 x 256 bytes, with its information
// sector) and Profi CP/M (160 tracks of 5 x 1024 bytes, an empty directory). Every sector
// is present, good and has a correct header CRC; no raw tracks.
#pragma once

#include <string_view>

#include "model/DiskImage.h"

namespace morvane {

inline constexpr unsigned kNewImageTracks = 160;
inline constexpr std::string_view kNewTrDosDiskName = "NEW DISK";

// Replaces the image; the name's first 8 bytes, padded with spaces, become the disk name.
void CreateTrDosImage(DiskImage& disk, std::string_view name);
// Replaces the image. The boot sector (track 0, fifth slot, sector number 9) stays zero.
void CreateCpmImage(DiskImage& disk);

}  // namespace morvane
