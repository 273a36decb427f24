// Builds the device-to-host byte stream of answers and error answers, the way the
// controller sends it: payload bytes below 0xB0 as two nibble bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace morvane::test {

using Wire = std::vector<std::uint8_t>;

inline void AppendPayload(Wire& out, const Wire& bytes) {
    for (std::uint8_t b : bytes) {
        if (b >= 0xB0) {
            out.push_back(b);
        } else {
            out.push_back(static_cast<std::uint8_t>(0x20 | (b >> 4)));
            out.push_back(static_cast<std::uint8_t>(0x30 | (b & 0x0F)));
        }
    }
}

inline Wire EncodeAnswer(const Wire& data) {
    Wire out{0x0A};
    AppendPayload(out, data);
    out.push_back(0xAA);
    return out;
}

inline Wire EncodeError(const Wire& data, const Wire& status) {
    Wire out{0x0A};
    AppendPayload(out, data);
    out.push_back(0x0B);
    AppendPayload(out, status);
    out.push_back(0xAA);
    return out;
}

}  // namespace morvane::test
