// A minimal LZHUF encoder for the tests: it emits the literals and matches it is told to,
// with its own copy of the adaptive tree, so tests can build streams whose decoded bytes
// they know. It searches for no matches, unlike the program's own LzhEncoder.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "model/Bytes.h"

namespace morvane::test {

class LzhTestEncoder {
  public:
    LzhTestEncoder() {
        for (unsigned i = 0; i < kNChar; ++i) {
            freq_[i] = 1;
            son_[i] = i + kT;
            prnt_[i + kT] = i;
        }
        for (unsigned i = 0, j = kNChar; j <= kR; i += 2, ++j) {
            freq_[j] = freq_[i] + freq_[i + 1];
            son_[j] = i;
            prnt_[i] = prnt_[i + 1] = j;
        }
        freq_[kT] = 0xFFFF;
        prnt_[kR] = 0;
    }

    void Literal(std::uint8_t b) { Symbol(b); }
    // Copies `length` (3..60) bytes starting `distance` (1..4096) bytes back in the ring.
    void Match(unsigned distance, unsigned length) {
        Symbol(length + 253);
        const unsigned position = distance - 1;
        const unsigned upper = position >> 6;
        // The decoder's table entry of the upper bits gives the code length; the prefix is
        // the top bits of the first index carrying that value.
        unsigned first = 0;
        unsigned codeLength = 0;
        PrefixOf(upper, first, codeLength);
        for (unsigned i = 0; i < codeLength; ++i)
            bits_.push_back(((first >> (7 - i)) & 1) != 0);
        for (int i = 5; i >= 0; --i)
            bits_.push_back(((position >> i) & 1) != 0);
    }
    std::size_t Symbols() const { return symbols_; }
    std::size_t Rebuilds() const { return rebuilds_; }

    // The stream so far, its last byte padded with zero bits.
    Bytes Finish() const {
        Bytes out((bits_.size() + 7) / 8, 0);
        for (std::size_t i = 0; i < bits_.size(); ++i)
            if (bits_[i]) out[i / 8] = static_cast<std::uint8_t>(out[i / 8] | (0x80 >> (i % 8)));
        return out;
    }

  private:
    static constexpr unsigned kNChar = 314;
    static constexpr unsigned kT = 2 * kNChar - 1;
    static constexpr unsigned kR = kT - 1;

    static void PrefixOf(unsigned upper, unsigned& first, unsigned& length) {
        // Runs of the standard table: (values in the run, entries per value, code length).
        constexpr std::array<std::array<unsigned, 3>, 6> kRuns{
            {{1, 32, 3}, {3, 16, 4}, {8, 8, 5}, {12, 4, 6}, {24, 2, 7}, {16, 1, 8}}};
        unsigned value = 0;
        unsigned index = 0;
        for (const auto& run : kRuns) {
            if (upper < value + run[0]) {
                first = index + (upper - value) * run[1];
                length = run[2];
                return;
            }
            value += run[0];
            index += run[0] * run[1];
        }
    }

    void Symbol(unsigned c) {
        const std::size_t start = bits_.size();
        for (unsigned k = prnt_[c + kT]; k != kR; k = prnt_[k])
            bits_.push_back((k & 1) != 0);
        std::reverse(bits_.begin() + static_cast<std::ptrdiff_t>(start), bits_.end());
        Update(c);
        ++symbols_;
    }

    void Update(unsigned c) {
        if (freq_[kR] == 0x8000) Rebuild();
        unsigned n = prnt_[c + kT];
        do {
            const unsigned k = ++freq_[n];
            if (k > freq_[n + 1]) {
                unsigned l = n + 1;
                while (k > freq_[l + 1])
                    ++l;
                freq_[n] = freq_[l];
                freq_[l] = k;
                const unsigned i = son_[n];
                prnt_[i] = l;
                if (i < kT) prnt_[i + 1] = l;
                const unsigned j = son_[l];
                son_[l] = i;
                prnt_[j] = n;
                if (j < kT) prnt_[j + 1] = n;
                son_[n] = j;
                n = l;
            }
            n = prnt_[n];
        } while (n != 0);
    }

    void Rebuild() {
        ++rebuilds_;
        unsigned j = 0;
        for (unsigned i = 0; i < kT; ++i) {
            if (son_[i] >= kT) {
                freq_[j] = (freq_[i] + 1) / 2;
                son_[j] = son_[i];
                ++j;
            }
        }
        for (unsigned i = 0, node = kNChar; node < kT; i += 2, ++node) {
            const unsigned f = freq_[i] + freq_[i + 1];
            unsigned k = node;
            while (f < freq_[k - 1])
                --k;
            for (unsigned m = node; m > k; --m) {
                freq_[m] = freq_[m - 1];
                son_[m] = son_[m - 1];
            }
            freq_[k] = f;
            son_[k] = i;
        }
        for (unsigned i = 0; i < kT; ++i) {
            const unsigned k = son_[i];
            prnt_[k] = i;
            if (k < kT) prnt_[k + 1] = i;
        }
    }

    std::array<unsigned, kT + 1> freq_{};
    std::array<unsigned, kT + kNChar> prnt_{};
    std::array<unsigned, kT> son_{};
    std::vector<bool> bits_;
    std::size_t symbols_ = 0;
    std::size_t rebuilds_ = 0;
};

}  // namespace morvane::test
