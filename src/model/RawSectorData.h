// Sector data out of a track's raw image. A raw-only read decodes the ID fields and where
// each data field starts; a sector dump (TRD) needs the bytes themselves, so they are
// taken from the raw image and checked against the data field's CRC.
#pragma once

#include <cstddef>

namespace morvane {

class TTrack;
class TZX_Disk;

// For each occupied slot that holds no data yet and whose data field lies whole inside
// the raw image: Data, DataLength = 128 << N, DataGood = 255 when the CRC after the data
// matches, else 0. Returns the number of slots filled.
std::size_t TakeSectorDataFromRaw(TTrack& track);
// The same for every present track that holds a raw image.
std::size_t TakeSectorDataFromRawTracks(TZX_Disk& disk);

}  // namespace morvane
