// Helpers shared by the TRD, UDI and FDI tests: corpus files, cut and damaged copies.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "model/Bytes.h"

namespace morvane::testing {

// Files of one corpus folder (trd, udi, fdi) in name order; empty if the folder is absent.
inline std::vector<std::filesystem::path> CorpusFiles(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir = std::filesystem::path(MORVANE_CORPUS_DIR) / folder;
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline Bytes LoadFile(const std::filesystem::path& path) {
    Bytes bytes;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
    return bytes;
}

// Lengths to cut a file at: every length of the first 64 bytes, around each given
// boundary, and an even spread over the rest.
inline std::vector<std::size_t> CutLengths(std::size_t size, std::vector<std::size_t> boundaries,
                                           std::size_t spread = 48) {
    std::vector<std::size_t> cuts;
    for (std::size_t n = 0; n < std::min<std::size_t>(size, 64); ++n)
        cuts.push_back(n);
    for (std::size_t b : boundaries) {
        for (std::size_t n = b > 2 ? b - 2 : 0; n <= b + 2; ++n) {
            if (n < size) cuts.push_back(n);
        }
    }
    for (std::size_t i = 1; i < spread; ++i)
        cuts.push_back(size * i / spread);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// A copy with count random bytes replaced, from a fixed seed.
inline Bytes Damaged(const Bytes& original, std::mt19937& random, int count) {
    Bytes copy = original;
    if (copy.empty()) return copy;
    std::uniform_int_distribution<std::size_t> where(0, copy.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < count; ++i)
        copy[where(random)] = static_cast<std::uint8_t>(value(random));
    return copy;
}

}  // namespace morvane::testing

#define MORVANE_CORPUS_OR_SKIP(files, folder)                   \
    const auto files = ::morvane::testing::CorpusFiles(folder); \
    if (files.empty())                                          \
    GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << "/" << folder << " is absent"
