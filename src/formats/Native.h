// The program's own image format (.udf): everything the container knows about a disk,
// raw track images, all 32 slots of every track with their flags, the track logs, the
// disk comment and the base-track settings, closed by the 32-bit image checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/Bytes.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::size_t kNativePathFieldSize = 256;
// Header, 166 absent tracks of 1 + 32 one-byte blocks, comment length and checksum.
inline constexpr std::size_t kNativeHeaderSize = kNativePathFieldSize + 4;
inline constexpr std::size_t kNativeMinimumSize =
    kNativeHeaderSize + kTrackCount * (1 + kSlotsPerTrack) + 4 + 4;  // 5746

// Clears disk and loads the file. False, with disk.LastError set, when the file is cut
// short, a length goes past the container's buffers or the bytes that remain, or the
// checksum does not match; what was read before the failure stays in the container.
bool ReadNative(std::span<const std::uint8_t> file, DiskImage& disk);
// Builds the whole file into out (replaced). Texts are stored in Windows-1251 and the
// image path is cut to 255 bytes. False, with out emptied and disk.LastError set, only
// when the container holds a length past its own buffers.
bool WriteNative(DiskImage& disk, Bytes& out);

}  // namespace morvane
