#include "formats/td0/LzhEncoder.h"

#include <algorithm>
#include <cassert>

namespace morvane {

namespace {

constexpr unsigned kHashBits = 13;
constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
constexpr std::size_t kRingMask = kLzhRingSize - 1;

std::size_t Hash(const std::uint8_t* p) {
    const std::uint32_t v =
        static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

LzhEncoder::LzhEncoder(std::size_t chainLimit)
    : chainLimit_(std::max<std::size_t>(chainLimit, 1)), head_(kHashSize), prev_(kLzhRingSize) {}

void LzhEncoder::Reset(std::span<const std::uint8_t> input) {
    tree_.Start();
    input_ = input;
    std::fill(head_.begin(), head_.end(), 0u);
    std::fill(prev_.begin(), prev_.end(), 0u);
    bitBuf_ = 0;
    bitCount_ = 0;
    literals_ = 0;
    matches_ = 0;
}

// Positions are kept as position + 1 so that 0 means "none". Only positions with three
// bytes ahead are hashed; a match never starts later than that anyway.
void LzhEncoder::Insert(std::size_t pos) {
    if (pos + kLzhShortestMatch > input_.size()) return;
    const std::size_t h = Hash(input_.data() + pos);
    prev_[pos & kRingMask] = head_[h];
    head_[h] = static_cast<std::uint32_t>(pos + 1);
}

LzhEncoder::Match LzhEncoder::Longest(std::size_t pos) const {
    Match best;
    const std::size_t room = std::min(input_.size() - pos, kLzhLongestMatch);
    if (room < kLzhShortestMatch) return best;
    const std::uint8_t* here = input_.data() + pos;
    std::uint32_t link = head_[Hash(here)];
    for (std::size_t tries = chainLimit_; link != 0 && tries > 0; --tries) {
        const std::size_t candidate = link - 1;
        const std::size_t distance = pos - candidate;
        // A link older than the window may be a stale one: the chain ends there.
        if (distance > kLzhMaxDistance) break;
        const std::uint8_t* there = input_.data() + candidate;
        if (there[best.length] == here[best.length]) {
            std::size_t length = 0;
            while (length < room && there[length] == here[length])
                ++length;
            if (length > best.length) {
                best = {length, distance};
                if (length == room) break;
            }
        }
        link = prev_[candidate & kRingMask];
    }
    if (best.length < kLzhShortestMatch) best = {};
    return best;
}

void LzhEncoder::PutBits(std::uint32_t bits, unsigned count) {
    bitBuf_ = (bitBuf_ << count) | bits;
    bitCount_ += count;
    while (bitCount_ >= 8) {
        bitCount_ -= 8;
        out_->push_back(static_cast<std::uint8_t>(bitBuf_ >> bitCount_));
    }
    bitBuf_ &= (std::uint64_t{1} << bitCount_) - 1;
}

// The code of a symbol is the path from the root to its leaf: each node's bit is whether
// it is the second of its pair. Walked from the leaf up, so gathered in reverse.
void LzhEncoder::PutSymbol(unsigned symbol) {
    std::uint64_t code = 0;
    unsigned length = 0;
    for (unsigned node = tree_.LeafOf(symbol); node != kLzhRoot; node = tree_.Parent(node)) {
        code |= std::uint64_t{node & 1u} << length;
        ++length;
    }
    // Counts stay below 0x8000 with every leaf at 1 or more, which bounds the depth far
    // below 64.
    assert(length < 64);
    while (length > 24) {
        length -= 24;
        PutBits(static_cast<std::uint32_t>(code >> length) & 0xFFFFFFu, 24);
    }
    PutBits(static_cast<std::uint32_t>(code) & ((1u << length) - 1), length);
    tree_.Update(symbol);
}

void LzhEncoder::PutLiteral(std::uint8_t b) {
    PutSymbol(b);
    ++literals_;
}

void LzhEncoder::PutMatch(const Match& m) {
    PutSymbol(static_cast<unsigned>(m.length + kLzhMatchLengthBias));
    const unsigned position = static_cast<unsigned>(m.distance - 1);
    const unsigned upper = position >> kLzhPositionLowBits;
    const unsigned prefixLength = kLzhPosition.prefixLength[upper];
    PutBits(kLzhPosition.prefix[upper] >> (8 - prefixLength), prefixLength);
    PutBits(position & 0x3Fu, kLzhPositionLowBits);
    ++matches_;
}

void LzhEncoder::Flush() {
    if (bitCount_ > 0) PutBits(0, 8 - bitCount_);
}

void LzhEncoder::Compress(std::span<const std::uint8_t> input, Bytes& out) {
    Reset(input);
    out_ = &out;
    out.reserve(out.size() + input.size() / 2 + 16);
    std::size_t pos = 0;
    Match current = Longest(pos);
    while (pos < input.size()) {
        Insert(pos);
        if (current.length == 0) {
            PutLiteral(input[pos]);
            ++pos;
            current = Longest(pos);
            continue;
        }
        // One step of lazy matching: a longer match one byte on is worth a literal.
        Match next;
        if (current.length < kLzhLongestMatch) next = Longest(pos + 1);
        if (next.length > current.length) {
            PutLiteral(input[pos]);
            ++pos;
            current = next;
            continue;
        }
        PutMatch(current);
        for (std::size_t k = 1; k < current.length; ++k)
            Insert(pos + k);
        pos += current.length;
        current = Longest(pos);
    }
    Flush();
    out_ = nullptr;
}

Bytes LzhCompress(std::span<const std::uint8_t> input) {
    LzhEncoder encoder;
    Bytes out;
    encoder.Compress(input, out);
    return out;
}

}  // namespace morvane
