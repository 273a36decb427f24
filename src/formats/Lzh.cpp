#include "formats/Lzh.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr std::size_t kRingStart = kLzhRingSize - kLzhLongestMatch;  // 4036
constexpr std::uint8_t kRingFill = 0x20;

}  // namespace

std::uint8_t LzhDecoder::TakeByte() {
    const std::uint8_t b = taken_ < input_.size() ? input_[taken_] : 0;
    ++taken_;
    return b;
}

void LzhDecoder::Refill() {
    while (bitCount_ <= 8) {
        bitBuf_ |= static_cast<std::uint32_t>(TakeByte()) << (8 - bitCount_);
        bitCount_ += 8;
    }
}

unsigned LzhDecoder::GetBit() {
    Refill();
    const unsigned bit = (bitBuf_ >> 15) & 1;
    bitBuf_ = (bitBuf_ << 1) & 0xFFFF;
    --bitCount_;
    return bit;
}

unsigned LzhDecoder::GetByte() {
    Refill();
    const unsigned value = (bitBuf_ >> 8) & 0xFF;
    bitBuf_ = (bitBuf_ << 8) & 0xFFFF;
    bitCount_ -= 8;
    return value;
}

unsigned LzhDecoder::DecodeSymbol() {
    unsigned c = tree_.Son(kLzhRoot);
    // Siblings sit side by side, so c + bit stays below the leaf base for every tree the
    // updates make.
    while (c < LzhTree::kLeafBase)
        c = tree_.Son(c + GetBit());
    c -= LzhTree::kLeafBase;
    tree_.Update(c);
    return c;
}

unsigned LzhDecoder::DecodePosition() {
    unsigned i = GetByte();
    const unsigned upper = static_cast<unsigned>(kLzhPosition.upper[i]) << kLzhPositionLowBits;
    for (unsigned n = kLzhPosition.length[i] - 2u; n > 0; --n)
        i = (i << 1) + GetBit();
    return upper | (i & 0x3F);
}

LzhStatus LzhDecoder::Decompress(std::span<const std::uint8_t> input, std::size_t takeCount,
                                 std::size_t maxOutput, Bytes& out) {
    input_ = input;
    taken_ = 0;
    bitBuf_ = 0;
    bitCount_ = 0;
    tree_.Start();
    if (takeCount == 0) return LzhStatus::Complete;

    // Only the part a conforming stream may reference before writing is preset; the rest
    // is cleared too so that every call decodes the same way.
    std::fill(ring_.begin(), ring_.begin() + kRingStart, kRingFill);
    std::fill(ring_.begin() + kRingStart, ring_.end(), std::uint8_t{0});
    std::size_t r = kRingStart;
    std::size_t room = maxOutput;
    // Decoded bytes go to the ring only; each stretch is appended to out as the ring wraps
    // and when decoding stops, which is far quicker than appending byte by byte.
    std::size_t flushFrom = r;
    const auto put = [&](std::uint8_t b) {
        ring_[r] = b;
        if (++r == kLzhRingSize) {
            out.insert(out.end(), ring_.begin() + static_cast<std::ptrdiff_t>(flushFrom),
                       ring_.end());
            r = 0;
            flushFrom = 0;
        }
    };
    const auto finish = [&](LzhStatus status) {
        out.insert(out.end(), ring_.begin() + static_cast<std::ptrdiff_t>(flushFrom),
                   ring_.begin() + static_cast<std::ptrdiff_t>(r));
        return status;
    };

    while (taken_ < takeCount) {
        const unsigned c = DecodeSymbol();
        if (c < kLzhFirstMatchSymbol) {
            if (room == 0) return finish(LzhStatus::OutputLimit);
            --room;
            put(static_cast<std::uint8_t>(c));
            continue;
        }
        const std::size_t from = (r + kLzhRingSize - DecodePosition() - 1) % kLzhRingSize;
        const std::size_t length = c - kLzhMatchLengthBias;
        for (std::size_t k = 0; k < length; ++k) {
            if (room == 0) return finish(LzhStatus::OutputLimit);
            --room;
            put(ring_[(from + k) % kLzhRingSize]);
        }
    }
    return finish(LzhStatus::Complete);
}

LzhStatus LzhDecompress(std::span<const std::uint8_t> input, std::size_t takeCount,
                        std::size_t maxOutput, Bytes& out) {
    LzhDecoder decoder;
    return decoder.Decompress(input, takeCount, maxOutput, out);
}

}  // namespace morvane
