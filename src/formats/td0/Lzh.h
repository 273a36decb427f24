// LZHUF decoder: LZSS over a 4096-byte ring, literals and match lengths coded by an
// adaptive Huffman tree, match positions by a fixed prefix code. TeleDisk 2.x writes the
// body of its "td" (advanced compression) images this way; LzhEncoder.h writes it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/td0/LzhTree.h"
#include "model/Bytes.h"

namespace morvane {

enum class LzhStatus {
    Complete,     // the requested number of input bytes has been taken
    OutputLimit,  // stopped because the output bound was reached; the output is cut there
};

// The stream carries neither an end mark nor a checksum, so a cut or damaged stream is not
// detectable here: it decodes to other bytes, which the container format then judges.
// Bytes past the end of the input read as 0, as the format's writers assume.
class LzhDecoder {
  public:
    // Appends the decoded bytes to out. Decoding goes on while fewer than takeCount input
    // bytes have been taken (the test comes between symbols); takeCount = 0 gives nothing.
    // At most maxOutput bytes are appended. Every call starts from a fresh state.
    LzhStatus Decompress(std::span<const std::uint8_t> input, std::size_t takeCount,
                         std::size_t maxOutput, Bytes& out);

    // Input bytes taken by the last call, zero bytes past the input's end included.
    std::size_t BytesTaken() const { return Taken(); }
    // How often the last call rebuilt the tree (the root count reached kLzhMaxFreq).
    std::size_t RebuildCount() const { return tree_.RebuildCount(); }

  private:
    static constexpr unsigned kWindowBits = 64;

    void Refill();
    unsigned GetBit();
    unsigned GetByte();
    unsigned DecodeSymbol();
    unsigned DecodePosition();
    std::size_t Taken() const;

    LzhTree tree_;
    std::array<std::uint8_t, kLzhRingSize> ring_{};

    std::span<const std::uint8_t> input_;
    std::size_t next_ = 0;      // next input byte to load into the window
    std::uint64_t window_ = 0;  // unread bits, from bit 63 down
    unsigned available_ = 0;    // how many
};

// One-shot form of LzhDecoder::Decompress.
LzhStatus LzhDecompress(std::span<const std::uint8_t> input, std::size_t takeCount,
                        std::size_t maxOutput, Bytes& out);

}  // namespace morvane
