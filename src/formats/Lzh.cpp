#include "formats/Lzh.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr unsigned kT = kLzhNodeCount;
constexpr unsigned kR = kLzhRoot;
constexpr unsigned kNChar = kLzhSymbolCount;
constexpr std::size_t kRingStart = kLzhRingSize - kLzhLongestMatch;  // 4036
constexpr std::uint8_t kRingFill = 0x20;
constexpr unsigned kFirstMatchSymbol = 256;
constexpr unsigned kMatchLengthBias = 253;  // symbol c copies c - 253 bytes (3..60)

// The position prefix code, indexed by the first 8 bits of a position code: the upper six
// bits of the position and the code's total length. Built from the run lengths of the
// standard LZHUF tables rather than typed out.
struct PositionTables {
    std::array<std::uint8_t, 256> code{};
    std::array<std::uint8_t, 256> length{};
};

constexpr PositionTables MakePositionTables() {
    // Entries per upper value, per code length 3..8.
    constexpr std::array<unsigned, 6> kEntriesPerValue{32, 16, 8, 4, 2, 1};
    constexpr std::array<unsigned, 6> kValues{1, 3, 8, 12, 24, 16};
    PositionTables t;
    unsigned index = 0;
    unsigned upper = 0;
    for (std::size_t group = 0; group < kValues.size(); ++group) {
        for (unsigned v = 0; v < kValues[group]; ++v, ++upper) {
            for (unsigned e = 0; e < kEntriesPerValue[group]; ++e, ++index) {
                t.code[index] = static_cast<std::uint8_t>(upper);
                t.length[index] = static_cast<std::uint8_t>(group + 3);
            }
        }
    }
    return t;
}

constexpr PositionTables kPosition = MakePositionTables();
static_assert(kPosition.code[255] == 63 && kPosition.length[255] == 8);
static_assert(kPosition.code[31] == 0 && kPosition.length[32] == 4 && kPosition.code[32] == 1);

}  // namespace

void LzhDecoder::StartTree() {
    for (unsigned i = 0; i < kNChar; ++i) {
        freq_[i] = 1;
        son_[i] = static_cast<std::uint16_t>(i + kT);
        prnt_[i + kT] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0, j = kNChar; j <= kR; i += 2, ++j) {
        freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
        son_[j] = static_cast<std::uint16_t>(i);
        prnt_[i] = prnt_[i + 1] = static_cast<std::uint16_t>(j);
    }
    freq_[kT] = 0xFFFF;
    prnt_[kR] = 0;
}

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
    unsigned c = son_[kR];
    // Siblings sit side by side, so c + bit stays below T for every tree the updates make.
    while (c < kT)
        c = son_[c + GetBit()];
    c -= kT;
    UpdateTree(c);
    return c;
}

unsigned LzhDecoder::DecodePosition() {
    unsigned i = GetByte();
    const unsigned upper = static_cast<unsigned>(kPosition.code[i]) << 6;
    for (unsigned n = kPosition.length[i] - 2u; n > 0; --n)
        i = (i << 1) + GetBit();
    return upper | (i & 0x3F);
}

void LzhDecoder::UpdateTree(unsigned symbol) {
    if (freq_[kR] == kLzhMaxFreq) RebuildTree();
    unsigned n = prnt_[symbol + kT];
    do {
        const unsigned k = ++freq_[n];
        if (k > freq_[n + 1]) {
            // Move n past every node of lower count; the sentinel at [T] stops the scan.
            unsigned l = n + 1;
            while (k > freq_[l + 1])
                ++l;
            freq_[n] = freq_[l];
            freq_[l] = static_cast<std::uint16_t>(k);

            const unsigned i = son_[n];
            prnt_[i] = static_cast<std::uint16_t>(l);
            if (i < kT) prnt_[i + 1] = static_cast<std::uint16_t>(l);
            const unsigned j = son_[l];
            son_[l] = static_cast<std::uint16_t>(i);
            prnt_[j] = static_cast<std::uint16_t>(n);
            if (j < kT) prnt_[j + 1] = static_cast<std::uint16_t>(n);
            son_[n] = static_cast<std::uint16_t>(j);
            n = l;
        }
        n = prnt_[n];
    } while (n != 0);
}

void LzhDecoder::RebuildTree() {
    ++rebuilds_;
    // Gather the leaves at the front, halving their counts.
    unsigned j = 0;
    for (unsigned i = 0; i < kT; ++i) {
        if (son_[i] >= kT) {
            freq_[j] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
            son_[j] = son_[i];
            ++j;
        }
    }
    // Pair them up again, keeping the counts sorted.
    for (unsigned i = 0, node = kNChar; node < kT; i += 2, ++node) {
        const std::uint16_t f = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
        unsigned k = node;
        while (k > 0 && f < freq_[k - 1])
            --k;
        std::copy_backward(freq_.begin() + k, freq_.begin() + node, freq_.begin() + node + 1);
        std::copy_backward(son_.begin() + k, son_.begin() + node, son_.begin() + node + 1);
        freq_[k] = f;
        son_[k] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0; i < kT; ++i) {
        const unsigned k = son_[i];
        prnt_[k] = static_cast<std::uint16_t>(i);
        if (k < kT) prnt_[k + 1] = static_cast<std::uint16_t>(i);
    }
}

LzhStatus LzhDecoder::Decompress(std::span<const std::uint8_t> input, std::size_t takeCount,
                                 std::size_t maxOutput, Bytes& out) {
    input_ = input;
    taken_ = 0;
    bitBuf_ = 0;
    bitCount_ = 0;
    rebuilds_ = 0;
    if (takeCount == 0) return LzhStatus::Complete;

    StartTree();
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
        if (c < kFirstMatchSymbol) {
            if (room == 0) return finish(LzhStatus::OutputLimit);
            --room;
            put(static_cast<std::uint8_t>(c));
            continue;
        }
        const std::size_t from = (r + kLzhRingSize - DecodePosition() - 1) % kLzhRingSize;
        const std::size_t length = c - kMatchLengthBias;
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
