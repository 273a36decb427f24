#include "controller/virtual/FormatTable.h"

#include <algorithm>
#include <array>

#include "model/Checksums.h"

namespace morvane::virt {

namespace {

constexpr std::size_t kWrappedCount = 256;

std::size_t CountOf(const FormatPair& pair) {
    return pair.Count == 0 ? kWrappedCount : pair.Count;
}

// The CRC the WD1793 holds right after writing the A1 sync bytes: whatever their number,
// the register then equals the CRC of three of them.
std::uint16_t CrcAfterSync() {
    constexpr std::array<std::uint8_t, 3> kSync{0xA1, 0xA1, 0xA1};
    return Crc16Fdc(kSync);
}

}  // namespace

std::vector<FormatPair> ParseFormatTable(std::span<const std::uint8_t> block) {
    std::vector<FormatPair> pairs;
    if (block.empty()) return pairs;
    const std::size_t declared = block[0];
    const std::size_t available = (block.size() - 1) / 2;
    std::size_t count = std::min(declared, available);
    if (available > declared && available % kWrappedCount == declared) count = available;
    pairs.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        pairs.push_back({block[1 + 2 * i], block[2 + 2 * i]});
    return pairs;
}

std::vector<FormatPair> StandardFormatPairs(std::uint8_t c, std::uint8_t h,
                                            std::span<const std::uint8_t> sectors, std::uint8_t n) {
    std::vector<FormatPair> pairs{{80, 0x4E}, {12, 0x00}, {3, kWriteSyncC2}, {1, 0xFC}, {50, 0x4E}};
    const std::size_t dataPairs = std::size_t{1} << (n & 3) >> 1;  // 256-byte pairs
    for (std::uint8_t r : sectors) {
        pairs.insert(pairs.end(), {{12, 0x00},
                                   {3, kWriteSyncA1},
                                   {1, 0xFE},
                                   {1, c},
                                   {1, h},
                                   {1, r},
                                   {1, n},
                                   {1, kWriteCrc},
                                   {22, 0x4E},
                                   {12, 0x00},
                                   {3, kWriteSyncA1},
                                   {1, 0xFB}});
        if (dataPairs == 0) pairs.push_back({128, 0x00});
        for (std::size_t i = 0; i < dataPairs; ++i)
            pairs.push_back({0, 0x00});
        pairs.insert(pairs.end(), {{1, kWriteCrc}, {54, 0x4E}});
    }
    return pairs;
}

RawTrack LayDownTrack(std::span<const FormatPair> pairs, std::size_t length) {
    RawTrack track = RawTrack::Blank(length);
    track.Present = true;
    std::size_t p = 0;
    std::uint16_t crc = kCrc16FdcInit;
    auto put = [&](std::uint8_t value, bool marked) {
        if (p < length) track.Put(p, value, marked);
        ++p;
    };
    for (const FormatPair& pair : pairs) {
        for (std::size_t i = 0; i < CountOf(pair) && p < length; ++i) {
            switch (pair.Value) {
                case kWriteSyncA1:
                    put(0xA1, true);
                    crc = CrcAfterSync();
                    break;
                case kWriteSyncC2:
                    put(0xC2, true);
                    break;
                case kWriteCrc:
                    put(static_cast<std::uint8_t>(crc >> 8), false);
                    put(static_cast<std::uint8_t>(crc), false);
                    break;
                default: {
                    put(pair.Value, false);
                    const std::array<std::uint8_t, 1> one{pair.Value};
                    crc = Crc16FdcUpdate(crc, one);
                    break;
                }
            }
        }
    }
    return track;
}

}  // namespace morvane::virt
