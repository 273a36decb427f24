// What the LZH decoder and encoder share: the adaptive Huffman tree of literals and match
// lengths, and the fixed prefix code of the upper six bits of a match position. Both sides
// must update the tree identically after every symbol, so it lives here once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace morvane {

inline constexpr std::size_t kLzhRingSize = 4096;
inline constexpr std::size_t kLzhLongestMatch = 60;
inline constexpr std::size_t kLzhShortestMatch = 3;
inline constexpr std::size_t kLzhSymbolCount = 314;  // 256 literals + 58 match lengths
inline constexpr std::size_t kLzhNodeCount = 2 * kLzhSymbolCount - 1;
inline constexpr std::size_t kLzhRoot = kLzhNodeCount - 1;
inline constexpr std::uint16_t kLzhMaxFreq = 0x8000;  // root count that triggers a rebuild
inline constexpr unsigned kLzhFirstMatchSymbol = 256;
inline constexpr unsigned kLzhMatchLengthBias = 253;  // symbol c copies c - 253 bytes (3..60)
inline constexpr unsigned kLzhPositionLowBits = 6;    // sent as they are after the prefix

class LzhTree {
  public:
    static constexpr unsigned kLeafBase = kLzhNodeCount;  // son values from here are leaves

    LzhTree() { Start(); }

    // The tree every stream starts with: all symbols of count 1.
    void Start();
    // Counts one more occurrence of symbol, rebuilding first when the root count is full.
    void Update(unsigned symbol);

    // Child of a node: son + 0 and son + 1 are its two children; a value of kLeafBase or
    // more is the leaf of symbol (value - kLeafBase).
    unsigned Son(unsigned node) const { return son_[node]; }
    unsigned Parent(unsigned node) const { return prnt_[node]; }
    // Node that holds the leaf of symbol.
    unsigned LeafOf(unsigned symbol) const { return prnt_[symbol + kLeafBase]; }
    std::size_t RebuildCount() const { return rebuilds_; }

  private:
    void Rebuild();

    std::array<std::uint16_t, kLzhNodeCount + 1> freq_{};  // [T] is a 0xFFFF sentinel
    std::array<std::uint16_t, kLzhNodeCount + kLzhSymbolCount> prnt_{};
    std::array<std::uint16_t, kLzhNodeCount> son_{};
    std::size_t rebuilds_ = 0;
};

// The position prefix code, indexed by the first 8 bits of a position code: the upper six
// bits of the position and the code's total length (3..8 bits before the six low bits).
struct LzhPositionTables {
    std::array<std::uint8_t, 256> upper{};
    std::array<std::uint8_t, 256> length{};
    // The inverse, per upper value: the prefix (left-aligned in 8 bits) and its length in
    // bits; the six low bits of the position follow it.
    std::array<std::uint8_t, 64> prefix{};
    std::array<std::uint8_t, 64> prefixLength{};
};

// Built from the run lengths of the standard LZHUF tables rather than typed out.
constexpr LzhPositionTables MakeLzhPositionTables() {
    // Per code length 3..8: how many upper values use it, and how many table entries each
    // value fills (2^(8 - length)).
    constexpr std::array<unsigned, 6> kValues{1, 3, 8, 12, 24, 16};
    LzhPositionTables t;
    unsigned index = 0;
    unsigned upper = 0;
    for (unsigned group = 0; group < kValues.size(); ++group) {
        const unsigned length = group + 3;
        const unsigned entries = 1u << (8 - length);
        for (unsigned v = 0; v < kValues[group]; ++v, ++upper) {
            t.prefix[upper] = static_cast<std::uint8_t>(index);
            t.prefixLength[upper] = static_cast<std::uint8_t>(length);
            for (unsigned e = 0; e < entries; ++e, ++index) {
                t.upper[index] = static_cast<std::uint8_t>(upper);
                t.length[index] = static_cast<std::uint8_t>(length);
            }
        }
    }
    return t;
}

inline constexpr LzhPositionTables kLzhPosition = MakeLzhPositionTables();
static_assert(kLzhPosition.upper[255] == 63 && kLzhPosition.length[255] == 8);
static_assert(kLzhPosition.upper[31] == 0 && kLzhPosition.length[32] == 4);
static_assert(kLzhPosition.upper[32] == 1 && kLzhPosition.prefix[1] == 32);

}  // namespace morvane
