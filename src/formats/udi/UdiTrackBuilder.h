// Builds the 6256-byte MFM byte stream of one track, with its clock-mark bitmap, the way a
// UDI track holds it: from the track's own raw image, from the base template's raw image,
// or from the standard layout. The UDI writer, the sector view and the virtual controller
// share it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/Track.h"
#include "model/DiskImage.h"

namespace morvane {

inline constexpr std::size_t kUdiTrackLength = 6256;
inline constexpr std::size_t kUdiBitmapLength = (kUdiTrackLength + 7) / 8;  // 782
inline constexpr std::uint8_t kUdiGapByte = 0x4E;

// One built track: the bytes from the index onward and the clock-mark bitmap (bit k of
// byte j set when byte 8 * j + k is a sync byte written with a missing clock).
struct UdiTrackImage {
    std::array<std::uint8_t, kUdiTrackLength> Bytes{};
    std::array<std::uint8_t, kUdiBitmapLength> ClockMarks{};

    bool IsMarked(std::size_t position) const {
        return position < kUdiTrackLength && (ClockMarks[position / 8] >> (position % 8) & 1);
    }
};

// Which source the track was built from.
enum class UdiTrackSource : std::uint8_t {
    OwnRaw,          // the track's own raw image (RawValid and RawLength > 0)
    BaseTemplate,    // the base track's raw image, the sectors from this track
    StandardLayout,  // the track is present but has no raw image
    Blank,           // nothing to build: all gap bytes, no marks
};

// Everything the builder looks at. A caller with only a track fills TrackToBuild and leaves the
// rest; the container form below fills BaseTrack and NoTrackRestore from the disk.
struct UdiTrackParams {
    const Track* TrackToBuild = nullptr;
    // The base template's track when the user chose one and it is usable (UseBaseTrack set,
    // index <= 160, RawLength > 0); nullptr otherwise.
    const Track* BaseTrack = nullptr;
    // Copy the track's own raw bytes first, so bytes between the rebuilt fields keep what
    // the drive delivered (the inverse of the RestoreTrack setting).
    bool NoTrackRestore = false;
};

struct UdiTrackResult {
    bool Ok = true;
    UdiTrackSource Source = UdiTrackSource::Blank;
    // Slot at which the build failed; empty when the failure concerns the whole track
    // (index mark too early, gaps that cannot be shortened enough).
    std::optional<std::uint8_t> FailSlot;
};

// Builds one track into image (Bytes first filled with 0x4E, ClockMarks zeroed). The
// sectors are the track's occupied slots in slot order; FailSlot names the slot itself. On
// failure the contents of image carry no meaning. Never reads or writes outside the
// track's buffers or image.
UdiTrackResult BuildUdiTrack(const UdiTrackParams& params, UdiTrackImage& image);

// The base template of the container for any track, or nullptr when none applies.
const Track* UsableBaseTrack(const DiskImage& disk);

// Container form: builds track index trackIndex of disk with the disk's base template and
// NoTrackRestore. Recounts the track's sectors (SectorCount). On failure sets
// disk.FailTrack = trackIndex and, when a slot is concerned, disk.FailSlot.
// An index >= 166 builds a blank track.
bool BuildUdiTrack(DiskImage& disk, std::uint8_t trackIndex, UdiTrackImage& image);

}  // namespace morvane
