// Sector data out of a track's raw image. A raw-only read decodes the ID fields and where
// each data field starts; a sector dump (TRD) needs the bytes themselves, so they are
// taken from the raw image and checked against the data field's CRC.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/SectorCopy.h"

namespace morvane {

class Track;
class DiskImage;
struct SectorSlot;

// One sector as a raw track image holds it: its ID, its data, the data CRC that follows
// and whether the two agree.
struct RawSectorCopy {
    std::uint8_t c = 0, h = 0, r = 0, n = 0;
    SectorCopy copy;
    RecordedCrc recorded;
};

// Every sector of the raw image whose data field belongs to its ID field the way the
// WD1793 pairs them (DataMarkWindow.h) and lies whole inside the image, in track order.
std::vector<RawSectorCopy> SectorsInRaw(std::span<const std::uint8_t> raw);

// The copy among found that is slot `index` of the track: the one with the slot's ID, the
// k-th such when k earlier slots carry the same ID.
const RawSectorCopy* CopyForSlot(std::span<const RawSectorCopy> found, const Track& track,
                                 std::size_t index);

// For each occupied slot that holds no data yet and whose data field lies whole inside
// the raw image: Data, DataLength = 128 << N, DataGood = 255 when the CRC after the data
// matches, else 0. Returns the number of slots filled.
std::size_t TakeSectorDataFromRaw(Track& track);
// The same for every present track that holds a raw image.
std::size_t TakeSectorDataFromRawTracks(DiskImage& disk);

}  // namespace morvane
