#include "formats/td0/Td0SectorEncoder.h"

#include <algorithm>
#include <cassert>

namespace morvane {

namespace {

constexpr std::uint8_t kEncodingRaw = 0;
constexpr std::uint8_t kEncodingPattern = 1;
constexpr std::uint8_t kEncodingBlocks = 2;
constexpr std::uint8_t kBlockRaw = 0;
constexpr std::uint8_t kBlockPattern = 1;
constexpr std::size_t kBlockMaxCount = 255;
// A pattern block (4 bytes) pays off from three repeats on: it replaces six raw bytes and
// may split a raw block, which costs two more.
constexpr std::size_t kMinPatternRepeats = 3;

// How often the two bytes at pos repeat from pos on, at most kBlockMaxCount times.
std::size_t PairRepeats(std::span<const std::uint8_t> data, std::size_t pos) {
    if (pos + 2 > data.size()) return 0;
    std::size_t count = 1;
    while (count < kBlockMaxCount && pos + 2 * count + 2 <= data.size() &&
           data[pos + 2 * count] == data[pos] && data[pos + 2 * count + 1] == data[pos + 1])
        ++count;
    return count;
}

bool IsOnePattern(std::span<const std::uint8_t> data) {
    if (data.empty() || data.size() % 2 != 0) return false;
    for (std::size_t i = 2; i < data.size(); ++i)
        if (data[i] != data[i - 2]) return false;
    return true;
}

void FlushRaw(std::span<const std::uint8_t> data, std::size_t from, std::size_t to, Bytes& out) {
    while (from < to) {
        const std::size_t n = std::min(to - from, kBlockMaxCount);
        out.push_back(kBlockRaw);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                   data.begin() + static_cast<std::ptrdiff_t>(from + n));
        from += n;
    }
}

// Encoding 2: raw blocks broken by pattern blocks wherever a byte pair repeats.
Bytes EncodeBlocks(std::span<const std::uint8_t> data) {
    Bytes out;
    std::size_t rawFrom = 0;
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t repeats = PairRepeats(data, pos);
        if (repeats < kMinPatternRepeats) {
            ++pos;
            continue;
        }
        FlushRaw(data, rawFrom, pos, out);
        for (std::uint8_t b :
             {kBlockPattern, static_cast<std::uint8_t>(repeats), data[pos], data[pos + 1]})
            out.push_back(b);
        pos += 2 * repeats;
        rawFrom = pos;
    }
    FlushRaw(data, rawFrom, data.size(), out);
    return out;
}

void AppendBlock(std::uint8_t encoding, std::span<const std::uint8_t> payload, Bytes& out) {
    PutLe16(out, static_cast<std::uint16_t>(payload.size() + 1));
    out.push_back(encoding);
    out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

void AppendTd0SectorData(std::span<const std::uint8_t> data, Bytes& out) {
    assert(data.size() <= kTd0MaxSectorData);
    if (data.size() <= kTd0MaxPlainBlock && IsOnePattern(data)) {
        Bytes payload;
        PutLe16(payload, static_cast<std::uint16_t>(data.size() / 2));
        payload.push_back(data[0]);
        payload.push_back(data[1]);
        AppendBlock(kEncodingPattern, payload, out);
        return;
    }
    const Bytes blocks = EncodeBlocks(data);
    if (blocks.size() < data.size() || data.size() + 1 > kTd0MaxPlainBlock)
        AppendBlock(kEncodingBlocks, blocks, out);
    else
        AppendBlock(kEncodingRaw, data, out);
}

}  // namespace morvane
