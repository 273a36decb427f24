// Cut and damaged copies of a file, for the tests that every reader ends with an answer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "model/Bytes.h"
#include "model/Checksums.h"

namespace morvane::test {

// Recomputes the CRC-32 in a file's last four bytes (as a UDI ends) after a test changed
// the file, so that a reader looks past the checksum at the change.
inline void Reseal(Bytes& file) {
    const std::size_t body = file.size() - 4;
    SetLe32(file, body, ImageCrc32(std::span<const std::uint8_t>(file).first(body)));
}

// Lengths to cut a file at: every length of the first 64 bytes, around each given
// boundary, and an even spread over the rest.
inline std::vector<std::size_t> CutLengths(std::size_t size, std::vector<std::size_t> boundaries,
                                           std::size_t spread = 48) {
    std::vector<std::size_t> cuts;
    for (std::size_t n = 0; n < std::min<std::size_t>(size, 64); ++n)
        cuts.push_back(n);
    for (std::size_t b : boundaries) {
        for (std::size_t n = b > 2 ? b - 2 : 0; n <= b + 2; ++n) {
            if (n < size) cuts.push_back(n);
        }
    }
    for (std::size_t i = 1; i < spread; ++i)
        cuts.push_back(size * i / spread);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// A copy with count random bytes replaced, from a fixed seed.
inline Bytes Damaged(const Bytes& original, std::mt19937& random, int count) {
    Bytes copy = original;
    if (copy.empty()) return copy;
    std::uniform_int_distribution<std::size_t> where(0, copy.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < count; ++i)
        copy[where(random)] = static_cast<std::uint8_t>(value(random));
    return copy;
}

}  // namespace morvane::test
