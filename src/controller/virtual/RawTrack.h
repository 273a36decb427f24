// One track of an emulated disk: the MFM byte stream from the index onward and a bitmap
// of the bytes written with a missing clock (the A1 and C2 sync bytes), the way a UDI
// track holds it. The track is a circle: positions past the end wrap to the index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/Bytes.h"

namespace morvane::virt {

// 250 kbit/s MFM at 300 rpm: what one revolution of a double-density drive holds.
inline constexpr std::size_t kStandardTrackLength = 6250;
inline constexpr std::uint8_t kGapByte = 0x4E;

struct RawTrack {
    Bytes Data;                       // the bytes from the index onward
    std::vector<std::uint8_t> Marks;  // bit k of byte j: byte 8 * j + k lacks its clock
    bool Present = false;             // formatted, or present in the image it came from

    // A blank track: gap bytes, no marks, not present.
    static RawTrack Blank(std::size_t length = kStandardTrackLength);
    // Takes bytes and a bitmap; the bitmap is cut or padded to the track's length.
    static RawTrack FromBytes(std::span<const std::uint8_t> bytes,
                              std::span<const std::uint8_t> marks);

    std::size_t Length() const { return Data.size(); }
    bool Empty() const { return Data.empty(); }
    // Circular access; on an empty track reads give 0 and writes do nothing.
    std::uint8_t At(std::size_t position) const;
    bool IsMarked(std::size_t position) const;
    void Put(std::size_t position, std::uint8_t value, bool marked);
    std::size_t Wrap(std::size_t position) const { return Empty() ? 0 : position % Length(); }
    bool HasAnyMark() const;
};

// The bitmap an MFM byte stream most likely had when it carries no bitmap of its own
// (a track read by READ TRACK): a run of up to three A1 bytes before FE, FB, F8, F9 or FA
// and a run of up to three C2 bytes before FC lacked their clock.
std::vector<std::uint8_t> InferClockMarks(std::span<const std::uint8_t> bytes);

}  // namespace morvane::virt
