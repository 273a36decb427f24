// WRITE TRACK from the format table the host sends: (count, value) pairs laid down from
// the index, with the WD1793's special values F5 (A1 sync, CRC preset), F6 (C2 sync) and
// F7 (the two CRC bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "controller/virtual/RawTrack.h"

namespace morvane::virt {

inline constexpr std::uint8_t kWriteSyncA1 = 0xF5;
inline constexpr std::uint8_t kWriteSyncC2 = 0xF6;
inline constexpr std::uint8_t kWriteCrc = 0xF7;

struct FormatPair {
    std::uint8_t Count = 0;  // 0 stands for 256
    std::uint8_t Value = 0;
};

// The pairs of a CommandCode::WriteTrack block: byte 0 is the pair count P, then P pairs. P is one
// byte, so a table of 256 pairs or more arrives with P wrapped; when the block holds
// exactly P + 256 * k whole pairs the block length decides. Otherwise at most the pairs
// the block holds are taken.
std::vector<FormatPair> ParseFormatTable(std::span<const std::uint8_t> block);

// The ordinary double-density layout for the given sectors (IDs C, H, each R, N, data
// fields of zeros): gap 4E, index mark, then per sector the ID field, gap 2, the data
// field and gap 3, as the program's format command lays it down.
std::vector<FormatPair> StandardFormatPairs(std::uint8_t c, std::uint8_t h,
                                            std::span<const std::uint8_t> sectors, std::uint8_t n);

// Lays the pairs down from the index on a track of the given length. Whatever the table
// leaves of the revolution is filled with gap bytes; what runs past the index is lost.
RawTrack LayDownTrack(std::span<const FormatPair> pairs, std::size_t length = kStandardTrackLength);

}  // namespace morvane::virt
