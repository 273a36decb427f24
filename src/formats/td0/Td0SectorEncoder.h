// The writing side of Td0SectorData.h: one sector's data as a TD0 data block (its length,
// encoding byte and encoded bytes), in the shortest of the three encodings that every
// TD0 reader takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/Bytes.h"

namespace morvane {

// Data of more bytes than this is never written raw (encoding 0) nor as one pattern
// (encoding 1): readers refuse those encodings above it.
inline constexpr std::size_t kTd0MaxPlainBlock = 5000;

// Longest data a block can carry whatever it holds: raw blocks add 2 bytes per 255.
inline constexpr std::size_t kTd0MaxSectorData = 65000;

// Appends the block length (2 bytes, encoding byte included), the encoding byte and the
// encoded data. Data longer than kTd0MaxSectorData is a programming error.
void AppendTd0SectorData(std::span<const std::uint8_t> data, Bytes& out);

}  // namespace morvane
