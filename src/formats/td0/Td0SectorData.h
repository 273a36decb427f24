// The data block of one TD0 sector record: its encoding byte (0 raw, 1 one repeated
// pattern, 2 a run of raw and repeated blocks) and the decoding into a slot's Data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/Bytes.h"
#include "model/SectorSlot.h"

namespace morvane {

// Sector size of a size code as TeleDisk readers take it: 128 << N kept to 16 bits, so
// codes of 9 and more give 0.
std::size_t Td0SectorSize(std::uint8_t sizeCode);

// Reads the data block of `blockLength` bytes (encoding byte included) that starts at the
// cursor, which the caller has checked to hold that many bytes. Zeroes the slot's first
// sector-size bytes, decodes into Data and sets DataLength to the larger of the sector
// size and the decoded length, both kept within the slot buffer. The cursor ends where
// the encoding's own lengths take it. Returns an empty view or the failure message.
std::string_view ReadTd0SectorData(ByteCursor& in, std::uint16_t blockLength, SectorSlot& slot);

}  // namespace morvane
