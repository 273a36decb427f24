// Finds the sectors of a UDI-style track (MFM bytes plus clock-mark bitmap): a mark
// begins at the first unmarked byte after marked sync bytes; the byte values of the sync
// bytes themselves are not looked at.
#pragma once

#include <cstdint>
#include <span>

#include "model/Track.h"

namespace morvane {

// Fills track's slots from 0 upward with the sectors found in bytes, using clockMarks
// (bit k of byte j marks byte 8 * j + k; missing bitmap bytes count as unmarked). Bytes
// past the end of bytes read as 0. Every ID field takes a slot; its data is the data field
// the controller would read for it (DataMarkWithinWindow), copied with its DataGood from
// the data CRC, DataPosition being the index in bytes of the first data byte. An ID field
// without such a data field keeps the ID alone. Sectors past slot 31 are ignored. The
// slots are expected empty; SectorCount is recounted at the end.
void FindUdiSectors(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> clockMarks,
                    Track& track);

}  // namespace morvane
