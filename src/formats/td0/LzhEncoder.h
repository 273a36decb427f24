// LZHUF encoder: the writing side of Lzh.h. It finds repeats within the last 4036 bytes
// through hash chains, chooses between a match and a literal with a one-byte lazy look,
// and codes the symbols with the same adaptive tree the decoder keeps, so that a decoder
// that starts fresh and reads the stream reproduces the input exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "formats/td0/LzhTree.h"
#include "model/Bytes.h"

namespace morvane {

// Farthest match the encoder emits: the ring less the look-ahead, as LZHUF encoders have
// always kept it, so decoders that keep their ring differently still read it.
inline constexpr std::size_t kLzhMaxDistance = kLzhRingSize - kLzhLongestMatch;
// Candidates tried per position; more finds longer matches slowly.
inline constexpr std::size_t kLzhDefaultChainLimit = 256;

class LzhEncoder {
  public:
    explicit LzhEncoder(std::size_t chainLimit = kLzhDefaultChainLimit);

    // Appends the compressed form of input to out, the last byte padded with zero bits.
    // Every call starts from a fresh state, as the decoder does.
    void Compress(std::span<const std::uint8_t> input, Bytes& out);

    // Of the last call: symbols coded as literals and as matches.
    std::size_t LiteralCount() const { return literals_; }
    std::size_t MatchCount() const { return matches_; }

  private:
    struct Match {
        std::size_t length = 0;
        std::size_t distance = 0;
    };

    void Reset(std::span<const std::uint8_t> input);
    void Insert(std::size_t pos);
    Match Longest(std::size_t pos) const;
    void PutBits(std::uint32_t bits, unsigned count);
    void PutSymbol(unsigned symbol);
    void PutLiteral(std::uint8_t b);
    void PutMatch(const Match& m);
    void Flush();

    std::size_t chainLimit_;
    LzhTree tree_;
    std::span<const std::uint8_t> input_;
    std::vector<std::uint32_t> head_;  // per hash: last position + 1, 0 = none
    std::vector<std::uint32_t> prev_;  // per position mod ring: the previous one + 1
    Bytes* out_ = nullptr;
    std::uint64_t bitBuf_ = 0;  // pending bits, the oldest at the top of bitCount_
    unsigned bitCount_ = 0;
    std::size_t literals_ = 0;
    std::size_t matches_ = 0;
};

// One-shot form of LzhEncoder::Compress.
Bytes LzhCompress(std::span<const std::uint8_t> input);

}  // namespace morvane
