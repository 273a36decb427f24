// Small shared types of the emulated controller.
#pragma once

#include <chrono>
#include <cstdint>

namespace morvane::virt {

enum class Drive : std::uint8_t { A = 0, B = 1 };

// Emulated time, counted from the controller's creation.
using Nanos = std::chrono::nanoseconds;

}  // namespace morvane::virt
