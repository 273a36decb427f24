// Adding Hobeta files and SCL archives to a TR-DOS image: after the last file, with the
// information sector kept right, and refused with the image unchanged when they do not fit.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "filesystems/Hobeta.h"
#include "filesystems/TrDosAdding.h"
#include "filesystems/TrDosSectors.h"
#include "support/Corpus.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

TrDosFileData FileOf(std::string_view name, std::uint8_t sectors, std::uint8_t seed) {
    TrDosFileData f;
    f.entry.name.fill(' ');
    std::copy(name.begin(), name.end(), f.entry.name.begin());
    f.entry.type = 'C';
    f.entry.length = static_cast<std::uint16_t>(sectors * 256);
    f.entry.sectors = sectors;
    f.data = test::ExpectedFileBytes(seed, sectors);
    return f;
}

Bytes Track0And1(DiskImage& disk) {
    Bytes all;
    for (unsigned t = 0; t < 2; ++t)
        for (unsigned s = 1; s <= 16; ++s) {
            const SectorSlot* slot = FindReadableSector(disk, t, s);
            all.insert(all.end(), slot->Data.begin(), slot->Data.begin() + 256);
        }
    return all;
}

TEST(TrDosAdding, EveryCorpusHobetaFileAddedComesBackAndTheFreeCountFollows) {
    MORVANE_CORPUS_OR_SKIP(hobetaFiles, "hobeta");
    std::vector<Bytes> originals;
    std::vector<TrDosFileData> files;
    for (const fs::path& path : hobetaFiles) {
        Bytes bytes;
        ASSERT_TRUE(ReadWholeFile(path.string(), bytes));
        std::string error;
        std::vector<TrDosFileData> one;
        ASSERT_TRUE(ParseTrDosFileSet(ImageFormat::Hobeta, bytes, one, error)) << error;
        bytes.resize(kHobetaHeaderSize + bytes[14] * kTrDosSectorSize);
        originals.push_back(bytes);
        files.push_back(one[0]);
    }
    auto disk = test::NewTrDosDisk();
    std::string error;
    ASSERT_TRUE(AddTrDosFiles(*disk, files, error)) << error;

    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
    ASSERT_EQ(c.count, files.size());
    unsigned sectors = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        Bytes exported;
        ASSERT_TRUE(BuildHobeta(*disk, c.entries[i], exported));
        EXPECT_EQ(exported, originals[i]) << i;
        sectors += files[i].entry.sectors;
    }
    EXPECT_EQ(c.freeSectors, 2544 - sectors);
    EXPECT_EQ(c.fileCount, files.size());
    EXPECT_EQ(c.firstFreeTrack * 16u + c.firstFreeSector, 16 + sectors);
}

TEST(TrDosAdding, FilesGoAfterTheLastFileOfTheDisk) {
    auto disk = test::NewTrDosDisk();
    test::AddTrDosFile(*disk, "first", 'B', 5, 1);
    const TrDosFileData files[] = {FileOf("a", 12, 2), FileOf("b", 1, 3)};
    std::string error;
    ASSERT_TRUE(AddTrDosFiles(*disk, files, error)) << error;
    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
    ASSERT_EQ(c.count, 3);
    EXPECT_EQ(c.entries[1].StartPosition(), 21u);
    EXPECT_EQ(c.entries[2].StartPosition(), 33u);
    EXPECT_EQ(c.firstFreeTrack, 2);
    EXPECT_EQ(c.firstFreeSector, 2);
    EXPECT_EQ(c.freeSectors, 2544 - 18);
    Bytes b;
    ASSERT_TRUE(ReadTrDosFile(*disk, c.entries[2], b));
    EXPECT_EQ(b, files[1].data);
}

struct ErasedCase {
    std::vector<std::size_t> erased;  // of a, b, c: first name byte zeroed
    bool freed;                       // their sectors given back, as TR-DOS does for the last
    std::vector<std::size_t> taken;   // the entries the two new files get
    std::uint8_t files;               // the number of files TR-DOS then reads
};

class TrDosAddingAfterErased : public ::testing::TestWithParam<ErasedCase> {};

TEST_P(TrDosAddingAfterErased, NewEntriesGoWhereTrDosEndsTheCatalogue) {
    const ErasedCase& p = GetParam();
    auto disk = test::NewTrDosDisk();
    for (const char* name : {"a", "b", "c"})
        test::AddTrDosFile(*disk, name, 'C', 2, 1);
    SectorSlot& info = test::TrDosSector(*disk, 0, kTrDosInfoSector);
    for (std::size_t e : p.erased)
        test::TrDosSector(*disk, 0, 1).Data[e * 16] = 0;
    info.Data[kInfoFileCount] = static_cast<std::uint8_t>(p.erased.front());
    if (p.freed) info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(2 * p.erased.front());
    const TrDosFileData files[] = {FileOf("x", 1, 2), FileOf("y", 1, 3)};
    std::string error;
    ASSERT_TRUE(AddTrDosFiles(*disk, files, error)) << error;
    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
    for (std::size_t k = 0; k < 2; ++k) {
        ASSERT_LT(p.taken[k], c.entries.size());
        EXPECT_EQ(c.entries[p.taken[k]].name[0], "xy"[k]);
        Bytes data;
        ASSERT_TRUE(ReadTrDosFile(*disk, c.entries[p.taken[k]], data));
        EXPECT_EQ(data, files[k].data);
    }
    EXPECT_EQ(c.fileCount, p.files);
}

INSTANTIATE_TEST_SUITE_P(Cases, TrDosAddingAfterErased,
                         ::testing::Values(ErasedCase{{2}, true, {2, 3}, 4},
                                           ErasedCase{{1, 2}, true, {1, 2}, 3},
                                           ErasedCase{{1}, false, {1, 3}, 4}));

TEST(TrDosAdding, RefusesWhatDoesNotFitAndLeavesTheImageAsItWas) {
    struct Case {
        const char* what;
        std::size_t filesOnDisk;  // of one sector each
        std::size_t filesAdded;
        std::uint8_t sectorsEach;
        const char* message;
    };
    const Case cases[] = {
        {"catalogue full", 128, 1, 1, "room for 0 more files"},
        {"two entries short", 127, 2, 1, "room for 1 more files"},
        {"sectors short", 0, 10, 255, "2544 free sectors, 2550 needed"},
        {"sectors short after files", 100, 10, 245, "2444 free sectors, 2450 needed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto disk = test::NewTrDosDisk();
        for (std::size_t i = 0; i < c.filesOnDisk; ++i)
            test::AddTrDosFile(*disk, "f" + std::to_string(i), 'C', 1, 1);
        const Bytes before = Track0And1(*disk);
        std::vector<TrDosFileData> files(c.filesAdded, FileOf("new", c.sectorsEach, 5));
        std::string error;
        EXPECT_FALSE(AddTrDosFiles(*disk, files, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(Track0And1(*disk), before);
    }
}

TEST(TrDosAdding, RefusesAFirstFreeSectorOnTrackZeroOrBeforeTheEndOfAFile) {
    struct Case {
        const char* what;
        unsigned firstFree;         // track * 16 + sector index
        std::uint8_t lastFileMark;  // replaces the first name byte of file "b"
        const char* message;        // nullptr: added
    };
    const Case cases[] = {
        {"on track 0", 5, 'b', "the first free sector, sector 6 of track 0, lies on the catalogue"},
        {"inside a file", 18, 'b', "sector 3 of track 1, lies before the end of file a.C"},
        {"before a file", 20, 'b', "before the end of file b.C"},
        {"inside a deleted file", 21, kTrDosDeletedMark, "before the end of file ?.C"},
        {"over a last file TR-DOS erased", 20, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto disk = test::NewTrDosDisk();
        test::AddTrDosFile(*disk, "a", 'C', 4, 1);
        TrDosEntry b = test::AddTrDosFile(*disk, "b", 'C', 3, 2);
        b.name[0] = c.lastFileMark;
        test::PutTrDosEntry(*disk, 1, b);
        SectorSlot& info = test::TrDosSector(*disk, 0, kTrDosInfoSector);
        info.Data[kInfoFirstFreeTrack] = static_cast<std::uint8_t>(c.firstFree / 16);
        info.Data[kInfoFirstFreeSector] = static_cast<std::uint8_t>(c.firstFree % 16);
        const Bytes before = Track0And1(*disk);
        const TrDosFileData file[] = {FileOf("new", 2, 5)};
        std::string error;
        EXPECT_EQ(AddTrDosFiles(*disk, file, error), c.message == nullptr) << error;
        if (c.message == nullptr) continue;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(Track0And1(*disk), before);
    }
}

TEST(TrDosAdding, RefusesAllFilesWhenOneNameWouldNotBeListed) {
    for (const std::uint8_t first : {0x00, 0x01}) {
        SCOPED_TRACE(int{first});
        auto disk = test::NewTrDosDisk();
        test::AddTrDosFile(*disk, "old", 'C', 1, 1);
        const Bytes before = Track0And1(*disk);
        TrDosFileData files[] = {FileOf("a", 1, 2), FileOf("b", 1, 3), FileOf("c", 1, 4)};
        files[1].entry.name.fill(first);
        std::string error;
        EXPECT_FALSE(AddTrDosFiles(*disk, files, error));
        EXPECT_NE(error.find("file 2 of 3, ?"), std::string::npos) << error;
        EXPECT_EQ(Track0And1(*disk), before);
    }
}

TEST(TrDosAdding, RefusesAnImageWithoutCatalogueOrWithAMissingTargetSector) {
    auto empty = std::make_unique<DiskImage>();
    const TrDosFileData file[] = {FileOf("x", 2, 1)};
    std::string error;
    EXPECT_FALSE(AddTrDosFiles(*empty, file, error));
    EXPECT_EQ(error, "the image holds no TR-DOS catalogue");

    auto disk = test::NewTrDosDisk();
    test::TrDosSector(*disk, 1, 2).Present = 0;
    EXPECT_FALSE(AddTrDosFiles(*disk, file, error));
    EXPECT_EQ(error, "sector 2 of track 1 is missing");
    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
    EXPECT_EQ(c.count, 0);
}

TEST(TrDosAdding, FileSetsAreTakenByExtensionOrElseByContent) {
    Bytes hobeta = HobetaHeader(FileOf("h", 1, 1).entry);
    hobeta.resize(hobeta.size() + 256);
    std::vector<TrDosFileData> out;
    std::string error;
    EXPECT_TRUE(ParseTrDosFileSet(ImageFormat::Unknown, hobeta, out, error)) << error;
    EXPECT_EQ(out.size(), 1u);
    EXPECT_FALSE(ParseTrDosFileSet(ImageFormat::Scl, hobeta, out, error));
    EXPECT_NE(error.find("SINCLAIR"), std::string::npos);
}

}  // namespace
}  // namespace morvane
