#include "formats/td0/LzhTree.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr unsigned kT = kLzhNodeCount;
constexpr unsigned kR = kLzhRoot;
constexpr unsigned kNChar = kLzhSymbolCount;

}  // namespace

void LzhTree::Start() {
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
    rebuilds_ = 0;
}

void LzhTree::Update(unsigned symbol) {
    if (freq_[kR] == kLzhMaxFreq) Rebuild();
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

void LzhTree::Rebuild() {
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

}  // namespace morvane
