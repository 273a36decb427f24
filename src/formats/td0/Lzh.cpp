#include "formats/td0/Lzh.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr std::size_t kRingStart = kLzhRingSize - kLzhLongestMatch;  // 4036
constexpr std::uint8_t kRingFill = 0x20;

}  // namespace

void LzhDecoder::Refill() {
    while (available_ <= kWindowBits - 8) {
        const std::uint64_t b = next_ < input_.size() ? input_[next_] : 0;
        window_ |= b << (kWindowBits - 8 - available_);
        available_ += 8;
        ++next_;
    }
}

unsigned LzhDecoder::GetBit() {
    if (available_ == 0) Refill();
    const auto bit = static_cast<unsigned>(window_ >> (kWindowBits - 1));
    window_ <<= 1;
    --available_;
    return bit;
}

unsigned LzhDecoder::GetByte() {
    if (available_ < 8) Refill();
    const auto value = static_cast<unsigned>(window_ >> (kWindowBits - 8));
    window_ <<= 8;
    available_ -= 8;
    return value;
}

std::size_t LzhDecoder::Taken() const {
    // The format's reader keeps a 16-bit buffer and tops it up a byte at a time before
    // each read until it holds more than 8 bits, so after a read that began at bit c it
    // has taken (c + 16) / 8 bytes. Every symbol and every position ends with a one-bit
    // read, so c is the bits consumed less one.
    const std::size_t consumed = 8 * next_ - available_;
    return consumed == 0 ? 0 : (consumed + 15) / 8;
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
    next_ = 0;
    window_ = 0;
    available_ = 0;
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

    while (Taken() < takeCount) {
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
