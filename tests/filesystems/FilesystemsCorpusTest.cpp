// The TR-DOS images, Hobeta files and SCL archives of the corpus of files written by other
// tools: every TRD image lists its catalogue, and its files exported as SCL and as Hobeta
// carry checksums that verify by their definitions; the corpus's own Hobeta files and SCL
// archives read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <numeric>

#include "filesystems/Hobeta.h"
#include "filesystems/Scl.h"
#include "filesystems/TrDosCatalogue.h"
#include "imagefiles/ImageFiles.h"
#include "support/Corpus.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

std::uint32_t ByteSum(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0});
}

TEST(FilesystemsCorpus, EveryTrdImageListsAndExportsFilesWithValidChecksums) {
    const std::vector<fs::path> images = test::CorpusFiles("trd");
    if (images.empty()) GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << " is absent";
    auto disk = std::make_unique<DiskImage>();
    for (const fs::path& path : images) {
        SCOPED_TRACE(path.filename().string());
        ASSERT_TRUE(LoadImageFile(path.string(), *disk)) << disk->LastError;
        TrDosCatalogue catalogue;
        ASSERT_TRUE(ReadTrDosCatalogue(*disk, catalogue));
        std::vector<TrDosEntry> files;
        for (std::size_t i : ListedEntries(catalogue, false))
            files.push_back(catalogue.entries[i]);

        Bytes scl;
        SectorPosition failed;
        ASSERT_TRUE(BuildScl(*disk, files, scl, &failed))
            << SectorErrorText(failed.track, failed.sector);
        EXPECT_EQ(std::string(scl.begin(), scl.begin() + 8), "SINCLAIR");
        EXPECT_EQ(scl[8], files.size());
        EXPECT_EQ(GetLe32(scl, scl.size() - 4), ByteSum(std::span(scl).first(scl.size() - 4)));

        for (const TrDosEntry& e : files) {
            Bytes hobeta;
            ASSERT_TRUE(BuildHobeta(*disk, e, hobeta));
            ASSERT_EQ(hobeta.size(), 17u + e.sectors * 256u);
            const std::uint32_t sum = ByteSum(std::span(hobeta).first(15));
            EXPECT_EQ(GetLe16(hobeta, 15), (257 * sum + 105) % 65536);
        }
    }
}

TEST(FilesystemsCorpus, HobetaFilesOfOtherToolsReadBackAndRebuildIdentically) {
    const std::vector<fs::path> files = test::CorpusFiles("hobeta");
    if (files.empty()) GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << " is absent";
    for (const fs::path& path : files) {
        Bytes bytes;
        ASSERT_TRUE(ReadWholeFile(path.string(), bytes));
        SCOPED_TRACE(path.filename().string());
        HobetaFile file;
        std::string error;
        ASSERT_TRUE(ParseHobeta(bytes, file, error)) << error;

        DiskImage disk;
        CreateTrDosImage(disk, "HOB");
        const TrDosEntry placed = test::PlaceTrDosFile(disk, file.entry, file.data);
        Bytes rebuilt;
        ASSERT_TRUE(BuildHobeta(disk, placed, rebuilt));
        ASSERT_LE(rebuilt.size(), bytes.size());
        EXPECT_TRUE(std::equal(rebuilt.begin(), rebuilt.end(), bytes.begin()));
    }
}

TEST(FilesystemsCorpus, SclArchivesOfOtherToolsReadBackAndRebuildIdentically) {
    const std::vector<fs::path> files = test::CorpusFiles("scl");
    if (files.empty()) GTEST_SKIP() << "corpus folder " << MORVANE_CORPUS_DIR << " is absent";
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        Bytes bytes;
        ASSERT_TRUE(ReadWholeFile(path.string(), bytes));
        std::vector<SclFile> archive;
        std::string error;
        ASSERT_TRUE(ParseScl(bytes, archive, error)) << error;
        if (archive.size() > kTrDosMaxEntries) continue;  // more than a catalogue holds

        DiskImage disk;
        CreateTrDosImage(disk, "SCL");
        std::vector<TrDosEntry> placed;
        for (const SclFile& f : archive)
            placed.push_back(test::PlaceTrDosFile(disk, f.entry, f.data));
        Bytes rebuilt;
        ASSERT_TRUE(BuildScl(disk, placed, rebuilt));
        ASSERT_LE(rebuilt.size(), bytes.size());
        EXPECT_TRUE(std::equal(rebuilt.begin(), rebuilt.end(), bytes.begin()));
    }
}

}  // namespace
}  // namespace morvane
