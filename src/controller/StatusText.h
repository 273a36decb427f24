// The Russian texts of the WD1793 status register, per command type.
#pragma once

#include <cstdint>
#include <string>

namespace morvane {

// Command types of the status register's meaning.
inline constexpr int kStatusTypeSeek = 0;  // restore, seek, step
inline constexpr int kStatusTypeWriteSector = 1;
inline constexpr int kStatusTypeReadSector = 2;
inline constexpr int kStatusTypeReadAddress = 3;
inline constexpr int kStatusTypeWriteTrack = 4;
inline constexpr int kStatusTypeReadTrack = 5;

// The texts of every set bit, bit 0 first, as UTF-8; a type outside 0..5 gives "".
std::string DecodeStatus(int commandType, std::uint8_t status);

}  // namespace morvane
