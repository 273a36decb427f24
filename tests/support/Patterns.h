// Byte patterns for test data: counting patterns that differ from sector to sector, so a
// misplaced sector shows, and random bytes from a fixed seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

#include "model/Bytes.h"

namespace morvane::test {

// Byte i is i * perByte + (i / 256) * perSector, cut to eight bits.
inline Bytes PatternBytes(std::size_t size, unsigned perByte, unsigned perSector) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * perByte + i / 256 * perSector);
    return bytes;
}

inline Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes b(n);
    for (std::uint8_t& x : b)
        x = static_cast<std::uint8_t>(byte(random));
    return b;
}

}  // namespace morvane::test
