// FDI: sector image with a table of tracks and sectors up front and the data behind it.
// Read only.
#pragma once

#include <cstdint>
#include <span>

#include "model/ZxDisk.h"

namespace morvane {

// Clears disk and loads every sector of the table; false with disk.LastError set on a bad
// file (tracks read before the failure stay).
bool ReadFdi(std::span<const std::uint8_t> file, TZX_Disk& disk);

}  // namespace morvane
