// Sector size from the N byte of an ID field.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvane {

inline constexpr std::uint8_t kMaxSizeCode = 3;

// 128 << N for N = 0..3; 0 for any other code (callers decide what a code above 3 means).
constexpr std::size_t SizeFromCode(std::uint8_t code) {
    return code <= kMaxSizeCode ? std::size_t{128} << code : 0;
}

}  // namespace morvane
