// The per-byte majority vote over several raw reads of one track: at each position the
// byte that most reads agree on wins, the lowest-numbered read on a tie.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/Geometry.h"

namespace morvane {

using RawReadBuffer = std::array<std::uint8_t, kTrackBufferSize>;

// Votes positions 0 .. length-1 (at most the buffer size) into out; out beyond length
// is left as it is.
void VoteRawReads(std::span<const RawReadBuffer> reads, std::size_t length,
                  std::span<std::uint8_t, kTrackBufferSize> out);

}  // namespace morvane
