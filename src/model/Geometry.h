// Fixed capacities of the in-memory disk image. Every reader checks its input against
// these before copying anything.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvane {

inline constexpr std::size_t kTrackBufferSize = 6500;  // raw track and slot data buffers
inline constexpr std::size_t kSlotsPerTrack = 32;
inline constexpr std::size_t kTrackCount = 166;  // 83 cylinders x 2 sides
inline constexpr std::size_t kCylinderCount = kTrackCount / 2;
inline constexpr std::uint8_t kNoBaseTrack = 255;

// Track index = cylinder * 2 + side.
constexpr std::uint8_t TrackIndex(unsigned cylinder, unsigned side) {
    return static_cast<std::uint8_t>(cylinder * 2 + side);
}
constexpr unsigned CylinderOf(unsigned track) {
    return track / 2;
}
constexpr unsigned SideOf(unsigned track) {
    return track % 2;
}

}  // namespace morvane
