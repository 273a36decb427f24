// The corpus of images and files written by other tools (MORVANE_CORPUS_DIR): where it
// is, what one of its folders holds, and whole files read for a test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "model/Bytes.h"

namespace morvane::test {

inline std::filesystem::path CorpusDir() {
    return std::filesystem::path(MORVANE_CORPUS_DIR);
}

// A file of the corpus by its path relative to the corpus folder ("trd/test_disk.trd").
inline std::string CorpusPath(const std::string& relative) {
    return (CorpusDir() / relative).string();
}

// The regular files of one corpus folder (trd, udi, hobeta, ...) in name order; empty when
// the folder is absent.
inline std::vector<std::filesystem::path> CorpusFiles(const std::string& folder) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path dir = CorpusDir() / folder;
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The same, by file name alone, for naming parameterised cases.
inline std::vector<std::string> CorpusFileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::filesystem::path& path : CorpusFiles(folder))
        names.push_back(path.filename().string());
    return names;
}

// A whole file; a file that cannot be read fails the test and gives no bytes.
inline Bytes LoadFile(const std::filesystem::path& path) {
    Bytes bytes;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
    return bytes;
}

}  // namespace morvane::test

// Declares `files`, the files of a corpus folder, and skips the test when there are none.
#define MORVANE_CORPUS_OR_SKIP(files, folder)                \
    const auto files = ::morvane::test::CorpusFiles(folder); \
    if (files.empty())                                       \
    GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << "/" << folder << " is absent"
