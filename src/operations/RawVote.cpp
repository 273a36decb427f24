#include "operations/RawVote.h"

#include <algorithm>

namespace morvane {

std::size_t VoteRawLength(std::span<const std::size_t> lengths) {
    std::size_t best = 0;
    std::ptrdiff_t bestCount = 0;
    // Reads in order: a later length wins only with strictly more reads behind it.
    for (const std::size_t length : lengths) {
        const std::ptrdiff_t count = std::count(lengths.begin(), lengths.end(), length);
        if (count > bestCount) {
            best = length;
            bestCount = count;
        }
    }
    return best;
}

void VoteRawReads(std::span<const RawReadBuffer> reads, std::size_t length,
                  std::span<std::uint8_t, kTrackBufferSize> out) {
    const std::size_t n = reads.size();
    length = std::min(length, out.size());
    for (std::size_t p = 0; p < length; ++p) {
        std::size_t best = 0;
        std::size_t bestCount = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t b = reads[i][p];
            std::size_t count = 0;
            for (std::size_t j = 0; j < n; ++j)
                count += reads[j][p] == b ? 1 : 0;
            if (count > bestCount) {
                best = i;
                bestCount = count;
            }
            // A strict majority cannot be beaten, and no lower read had this byte.
            if (bestCount * 2 > n) break;
        }
        out[p] = n > 0 ? reads[best][p] : 0;
    }
}

}  // namespace morvane
