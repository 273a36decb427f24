// The per-byte majority vote over several raw reads of one track: at each position the
// byte that most reads agree on wins, the lowest-numbered read on a tie. The voted image
// is as long as most reads were, by the same rule.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/Geometry.h"

namespace morvane {

using RawReadBuffer = std::array<std::uint8_t, kTrackBufferSize>;

// The length most reads have; on a tie, the one of the lowest-numbered read among the
// tied lengths. 0 for no reads. One short or long read (a drive that turned at another
// speed, a read that broke off) does not cut or stretch the image.
std::size_t VoteRawLength(std::span<const std::size_t> lengths);

// Votes positions 0 .. length-1 (at most the buffer size) into out; out beyond length
// is left as it is.
void VoteRawReads(std::span<const RawReadBuffer> reads, std::size_t length,
                  std::span<std::uint8_t, kTrackBufferSize> out);

}  // namespace morvane
