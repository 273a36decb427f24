// SCL archives and Hobeta files as image formats: reading one gives a new TR-DOS disk
// holding its files, laid out as TR-DOS lays them out; writing one takes the files of the
// image's TR-DOS catalogue (deleted ones left out). A file loaded and saved again in its own
// format comes back byte for byte.
#pragma once

#include <cstdint>
#include <span>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// The readers and writers of the SCL and Hobeta rows of the format table
// (imagefiles/ImageFormatRows.h).
// Readers: false with disk.LastError set, and the image not touched, for a file that is
// cut short, a wrong signature or checksum, a file whose name would not be listed, or
// files that do not fit one disk (128 catalogue entries, 2544 sectors).
bool ReadSclImage(std::span<const std::uint8_t> file, DiskImage& disk);
bool ReadHobetaImage(std::span<const std::uint8_t> file, DiskImage& disk);
// Writers: false with disk.LastError set for an image without a TR-DOS catalogue, an
// unreadable sector of a file, or (Hobeta) a catalogue that does not hold exactly one file.
bool WriteSclImage(DiskImage& disk, Bytes& out);
bool WriteHobetaImage(DiskImage& disk, Bytes& out);

}  // namespace morvane
