// The disk the emulated controller starts with: a TR-DOS disk of 80 cylinders, two sides,
// 16 sectors of 256 bytes per track, holding a few files (a BASIC loader, a 6912-byte
// screen with a smiling face, a text and a table) and two sectors whose data CRC is bad,
// so every read path of the program has something to show.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

#include "controller/virtual/VirtualDisk.h"
#include "model/Bytes.h"

namespace morvane::virt {

inline constexpr std::size_t kDemoTracks = 160;
inline constexpr std::size_t kDemoSectorsPerTrack = 16;
inline constexpr std::size_t kDemoSectorSize = 256;
inline constexpr std::size_t kScreenSize = 6912;

// (track index, sector number R) of the sectors whose data CRC reads wrong.
inline constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 2> kDemoBadSectors{
    {{2, 14}, {3, 2}}};

// The sectors of the demo disk in TRD order: track 0 sectors 1..16, track 1, ...
Bytes MakeDemoSectors();
// The screen file: 6144 bytes of pixels in the Spectrum's interleaved order, then 768
// attribute bytes.
Bytes MakeDemoScreen();
std::unique_ptr<VirtualDisk> MakeDemoDisk();

}  // namespace morvane::virt
