// FDI: sector image with a table of tracks and sectors up front and the data behind it.
// Read and written here; the written files take the disk comment as their description.
#pragma once

#include <cstdint>
#include <span>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

// Clears disk and loads every sector of the table, and the description as the disk comment
// (DiskCommentLines); false with disk.LastError set on a bad file (tracks read before the
// failure stay).
bool ReadFdi(std::span<const std::uint8_t> file, DiskImage& disk);

// Builds the file: cylinders up to the last present track, two heads when a second-side
// track is present, every occupied slot with 128 << N bytes of data (the slot's data,
// zero-padded). A sector in error (DataGood 0, so also one without data) gets flags 0, a
// good one the bit of its size (bit 5 for codes above 5). A track absent from the image is written
// with no sectors. False with disk.LastError set when the table and comment pass 64 KB or a track's
// sectors start past 64 KB of its data.
bool WriteFdi(DiskImage& disk, Bytes& out);

}  // namespace morvane
