// READ SECTOR and WRITE SECTOR on one raw track, the way the WD1793 does them: the first
// ID field with the wanted sector number and a good CRC, then its data field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "controller/virtual/RawTrack.h"
#include "controller/virtual/TrackScan.h"

namespace morvane::virt {

struct SectorSearch {
    std::optional<IdField> Id;
    std::optional<DataField> Data;  // only looked for when the data field is needed
    std::uint8_t Status = 0;        // 0, or record not found (plus CRC error when an ID
                                    // with the number was seen with a bad CRC)
};

// The first ID field from the index with sector number r and a good CRC; with needData,
// the first such ID field that also has a data field.
SectorSearch FindSector(const RawTrack& track, std::uint8_t r, bool needData);

struct SectorRead {
    std::uint8_t Status = 0;  // record not found, CRC error, deleted mark
    Bytes Data;               // 128 << N bytes when the sector was found
    std::size_t IdPosition = 0;
    std::size_t EndPosition = 0;  // last byte of the data CRC, counted on from IdPosition
                                  // (may exceed the track length)
};

SectorRead ReadSector(const RawTrack& track, std::uint8_t r);

// Lays down a data field after id: the 22 gap bytes after the ID CRC are passed over, then
// 12 zero bytes, three A1 sync bytes, the mark, the data, its CRC and one gap byte. Returns
// the position of the last byte written.
std::size_t WriteDataField(RawTrack& track, const IdField& id, std::span<const std::uint8_t> data,
                           std::uint8_t mark);

}  // namespace morvane::virt
