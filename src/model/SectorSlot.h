// One sector of a track: its ID field, header CRC, data status and data.
#pragma once

#include <cstdint>

#include "model/LazyBuffer.h"
#include "model/SectorCopy.h"

namespace morvane {

inline constexpr std::uint8_t kPresent = 255;
inline constexpr std::uint8_t kDataGood = 255;

struct SectorSlot {
    std::uint8_t Present = 0;  // 0 = empty, 255 = holds at least an ID field
    std::uint8_t Cylinder = 0;
    std::uint8_t Head = 0;
    std::uint8_t Sector = 0;
    std::uint8_t SizeCode = 0;
    std::uint16_t HeaderCrc = 0;
    std::uint8_t Reserved = 0;       // always 0; the native image format stores it
    std::uint8_t DataGood = 0;       // 255 = read without error, 0 = missing or in error
    std::uint16_t DataPosition = 0;  // index into the track's Raw of the first data byte
    std::uint16_t DataLength = 0;    // valid bytes in Data; 0 = header only
    LazyBuffer Data;                 // 6500 bytes; memory only for what was written
    // How the data came out of the copies the recovery weighed (memory only; no file
    // format holds it) and those copies.
    SectorOrigin Origin = SectorOrigin::Unmerged;
    SectorHistory History;
};

}  // namespace morvane
