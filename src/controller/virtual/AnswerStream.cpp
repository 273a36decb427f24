#include "controller/virtual/AnswerStream.h"

namespace morvane::virt {

namespace {

constexpr std::uint8_t kHighNibble = 0x20;
constexpr std::uint8_t kLowNibble = 0x30;

bool IsMarker(std::uint8_t b) {
    return b == kAnswerStart || b == kErrorMarker || b == kAnswerEnd;
}

}  // namespace

void AppendPayload(Bytes& out, std::span<const std::uint8_t> data) {
    for (std::uint8_t b : data) {
        if (b >= kFirstPlainByte) {
            out.push_back(b);
        } else {
            out.push_back(static_cast<std::uint8_t>(kHighNibble | b >> 4));
            out.push_back(static_cast<std::uint8_t>(kLowNibble | (b & 0x0F)));
        }
    }
}

Bytes EncodeAnswer(std::span<const std::uint8_t> data) {
    Bytes out;
    out.reserve(2 * data.size() + 2);
    out.push_back(kAnswerStart);
    AppendPayload(out, data);
    out.push_back(kAnswerEnd);
    return out;
}

Bytes EncodeError(std::span<const std::uint8_t> data, std::span<const std::uint8_t> status) {
    Bytes out;
    out.reserve(2 * (data.size() + status.size()) + 3);
    out.push_back(kAnswerStart);
    AppendPayload(out, data);
    out.push_back(kErrorMarker);
    AppendPayload(out, status);
    out.push_back(kAnswerEnd);
    return out;
}

Bytes MakeGarbage(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<int> value(0, 255);
    Bytes out;
    out.reserve(count);
    while (out.size() < count) {
        const auto b = static_cast<std::uint8_t>(value(random));
        if (!IsMarker(b)) out.push_back(b);
    }
    return out;
}

Bytes MakeTornFrame(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<std::size_t> split(0, count);
    std::uniform_int_distribution<int> coin(0, 1);
    std::uniform_int_distribution<int> value(0, 255);
    Bytes out = MakeGarbage(random, split(random));
    if (coin(random) != 0) out.push_back(kAnswerEnd);
    out.push_back(kAnswerStart);
    // Data bytes travel as nibbles or as values from 0xB0 up: never a marker.
    Bytes data;
    while (out.size() + 2 * data.size() < count)
        data.push_back(static_cast<std::uint8_t>(value(random)));
    AppendPayload(out, data);
    return out;
}

Bytes MakeStrayErrorMark(std::mt19937& random, std::size_t count) {
    std::uniform_int_distribution<int> value(0, 255);
    Bytes out = MakeGarbage(random, count / 2);
    out.push_back(kErrorMarker);
    Bytes status;
    while (out.size() + 2 * status.size() < count + 2)
        status.push_back(static_cast<std::uint8_t>(value(random)));
    AppendPayload(out, status);
    return out;
}

}  // namespace morvane::virt
