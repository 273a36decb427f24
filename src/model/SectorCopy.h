// What the recovery keeps of a sector besides its data: every copy its reads gave (sector
// reads, re-reads, the sector as each raw read of its track held it, the sector in another
// dump of the disk) and how the sector's value came out of them.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Bytes.h"

namespace morvane {

enum class SectorOrigin : std::uint8_t {
    Unmerged,   // as the last read left it: no copies were weighed
    GoodRead,   // a copy read with a good CRC
    Voted,      // no copy was good; the byte-wise vote of the copies matches the data CRC
    BestGuess,  // no copy was good and the vote could not be checked or failed the CRC
    Missing,    // no copy holds any data
};

struct SectorCopy {
    Bytes data;
    bool good = false;  // read with a good CRC
    bool operator==(const SectorCopy&) const = default;
};

// The data CRC a track holds after a sector's data field, with the field's mark byte.
struct RecordedCrc {
    std::uint8_t mark = 0xFB;
    std::uint16_t crc = 0;
    bool operator==(const RecordedCrc&) const = default;
};

// The copies of one slot and the recorded CRCs seen for it. stamp is the slot's fingerprint
// when they were weighed: a read that changed the slot since then makes them stale.
struct SectorHistory {
    std::vector<SectorCopy> copies;
    std::vector<RecordedCrc> crcs;
    std::uint32_t stamp = 0;
    bool conflict = false;  // good copies disagreed
};

}  // namespace morvane
