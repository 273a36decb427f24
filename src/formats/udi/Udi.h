// UDI: raw-track image. A 16-byte header, per track its MFM bytes and a clock-mark bitmap,
// and the 32-bit image checksum over everything before it.
#pragma once

#include <cstdint>
#include <span>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// Clears disk and loads every track record; false with disk.LastError set on a bad file
// (tracks read before the failure stay). A reserved header byte other than 0, records
// past the container's 166 tracks and bytes after the last record are read past with a
// note in disk.LoadNotes.
bool ReadUdi(std::span<const std::uint8_t> file, DiskImage& disk);
// Builds the whole file into out. False, with out emptied and disk.FailTrack/FailSlot set,
// when a track cannot be rebuilt.
bool WriteUdi(DiskImage& disk, Bytes& out);

}  // namespace morvane
