// Status register bits of the WD1793 as the emulated controller reports them. The same
// bit means different things for different command types, hence the separate names.
#pragma once

#include <cstdint>

namespace morvane::wd {

inline constexpr std::uint8_t kBusy = 0x01;
inline constexpr std::uint8_t kIndex = 0x02;        // type I: index pulse
inline constexpr std::uint8_t kDataRequest = 0x02;  // types II and III
inline constexpr std::uint8_t kTrack0 = 0x04;       // type I
inline constexpr std::uint8_t kLostData = 0x04;     // types II and III
inline constexpr std::uint8_t kCrcError = 0x08;
inline constexpr std::uint8_t kSeekError = 0x10;       // type I
inline constexpr std::uint8_t kRecordNotFound = 0x10;  // types II and III
inline constexpr std::uint8_t kHeadLoaded = 0x20;      // type I
inline constexpr std::uint8_t kDeletedMark = 0x20;     // read sector: record type
inline constexpr std::uint8_t kWriteFault = 0x20;      // write sector, write track
inline constexpr std::uint8_t kWriteProtect = 0x40;
inline constexpr std::uint8_t kNotReady = 0x80;

}  // namespace morvane::wd
