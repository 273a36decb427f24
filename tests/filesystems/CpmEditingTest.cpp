// Deleting, renaming and adding files on a Profi CP/M image: what the catalogue shows
// afterwards, the bytes read back, and the refusals that leave the image unchanged.
#include <gtest/gtest.h>

#include <memory>

#include "filesystems/CpmEditing.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

CpmName Name(std::string_view text) {
    return *CpmNameFromText(text);
}

Bytes Data(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = test::FileByte(seed, i);
    return b;
}

class CpmEditing : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk_ = test::NewCpmDisk();
    std::string error_;

    void Add(std::string_view name, std::size_t size, std::uint8_t seed = 1) {
        ASSERT_TRUE(AddCpmFile(*disk_, Name(name), Data(size, seed), error_)) << error_;
    }
    std::optional<CpmFile> Find(std::string_view name) {
        return FindCpmFile(ParseCpmDirectory(ReadCpmDirectoryBytes(*disk_)), Name(name));
    }
    Bytes Directory() { return ReadCpmDirectoryBytes(*disk_); }
};

TEST_F(CpmEditing, AddedFileReadsBackRoundedUpToWholeRecords) {
    const std::size_t sizes[] = {0, 1, 128, 129, 2048, 16384, 16385, 40000, 131072};
    std::size_t used = 4096;
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string name = "F" + std::to_string(size) + ".BIN";
        Add(name, size, static_cast<std::uint8_t>(size));
        const auto file = Find(name);
        ASSERT_TRUE(file);
        const std::size_t rounded = (size + 127) / 128 * 128;
        EXPECT_EQ(file->size, rounded);
        Bytes expected = Data(size, static_cast<std::uint8_t>(size));
        expected.resize(rounded, kCpmPadding);
        EXPECT_EQ(ReadCpmFile(*disk_, *file), expected);
        used += (size + 2047) / 2048 * 2048;
        const CpmCatalogue c = ReadCpmCatalogue(*disk_, false, false);
        EXPECT_EQ(c.UsedBytes(), used);
        EXPECT_EQ(c.rows.back().records, rounded / 128);
    }
}

TEST_F(CpmEditing, FileOverHalfAMegabyteKeepsTheHighExtentBitsInS2) {
    Add("BIG.BIN", 600000, 4);
    const Bytes dir = Directory();
    EXPECT_EQ(dir[32 * 32 + 12], 0);  // the 33rd extent: EX 0, S2 1
    EXPECT_EQ(dir[32 * 32 + 14], 1);
    EXPECT_EQ(dir[36 * 32 + 12], 4);
    const CpmCatalogue c = ReadCpmCatalogue(*disk_, false, false);
    ASSERT_EQ(c.rows.size(), 1u);
    EXPECT_EQ(c.rows[0].records, 4688u);
    Bytes expected = Data(600000, 4);
    expected.resize(4688 * 128, kCpmPadding);
    EXPECT_EQ(ReadCpmFile(*disk_, *Find("BIG.BIN")), expected);
}

TEST_F(CpmEditing, DeleteErasesEveryExtentAndFreesTheBlocks) {
    Add("KEEP.TXT", 100);
    Add("BIG.DAT", 40000);  // three extents
    const CpmCatalogue before = ReadCpmCatalogue(*disk_, false, false);
    ASSERT_EQ(before.rows.size(), 2u);
    const std::size_t entries[] = {before.rows[1].entry};
    ASSERT_TRUE(DeleteCpmFiles(*disk_, entries, error_)) << error_;
    const CpmCatalogue after = ReadCpmCatalogue(*disk_, false, false);
    ASSERT_EQ(after.rows.size(), 1u);
    EXPECT_EQ(after.UsedBytes(), 4096u + 2048u);
    const auto all = ParseCpmDirectory(Directory());
    EXPECT_EQ(
        std::count_if(all.begin(), all.end(), [](const CpmDirEntry& e) { return e.IsErased(); }),
        3);
    // The space is used again.
    Add("NEXT.DAT", 40000, 7);
    EXPECT_EQ(ReadCpmCatalogue(*disk_, false, false).UsedBytes(), 4096u + 2048u + 40960u);
}

TEST_F(CpmEditing, RenameRenamesEveryExtentAndRefusesAnExistingName) {
    Add("ONE.TXT", 20000);
    Add("TWO.TXT", 10);
    const CpmCatalogue c = ReadCpmCatalogue(*disk_, false, false);
    EXPECT_FALSE(RenameCpmFile(*disk_, c.rows[0].entry, Name("TWO.TXT"), error_));
    EXPECT_EQ(error_, "a file TWO.TXT exists");
    ASSERT_TRUE(RenameCpmFile(*disk_, c.rows[0].entry, Name("THREE.DOC"), error_)) << error_;
    EXPECT_FALSE(Find("ONE.TXT"));
    const auto renamed = Find("THREE.DOC");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->size, 20096u);
}

TEST_F(CpmEditing, AttributeBitsAreKeptAndDoNotMakeANewName) {
    Add("ONE.TXT", 20000);  // two extents, entries 0 and 1
    Add("TWO.TXT", 10);
    // F1' (the user's own), T1' (read-only) and T2' (system) on both extents.
    const std::size_t flagged[] = {0, 8, 9};
    SectorSlot& dir = *disk_->FindSector(0, 1);
    for (std::size_t entry : {0, 1})
        for (std::size_t k : flagged)
            dir.Data[entry * 32 + 1 + k] |= 0x80;
    ASSERT_TRUE(Find("ONE.TXT"));
    EXPECT_EQ(Find("ONE.TXT")->size, 20096u);

    const Bytes before = Directory();
    EXPECT_FALSE(AddCpmFile(*disk_, Name("ONE.TXT"), Data(5, 1), error_));
    EXPECT_EQ(error_, "a file ONE.TXT exists");
    EXPECT_FALSE(RenameCpmFile(*disk_, 2, Name("ONE.TXT"), error_));
    EXPECT_TRUE(RenameCpmFile(*disk_, 0, Name("ONE.TXT"), error_)) << "its own name";
    EXPECT_EQ(Directory(), before);

    ASSERT_TRUE(RenameCpmFile(*disk_, 0, Name("NEW.DOC"), error_)) << error_;
    const Bytes after = Directory();
    const CpmName plain = Name("NEW.DOC");
    for (std::size_t entry : {0, 1}) {
        for (std::size_t k = 0; k < kCpmNameSize; ++k) {
            const bool flag =
                std::find(std::begin(flagged), std::end(flagged), k) != std::end(flagged);
            EXPECT_EQ(after[entry * 32 + 1 + k], plain[k] | (flag ? 0x80 : 0))
                << "entry " << entry << " byte " << k;
        }
    }
    ASSERT_TRUE(Find("NEW.DOC"));
    EXPECT_EQ(Find("NEW.DOC")->size, 20096u);
}

TEST_F(CpmEditing, RefusalsLeaveTheDirectoryAsItWas) {
    Add("HERE.TXT", 10);
    struct Case {
        const char* name;
        std::size_t size;
        const char* message;
    };
    const Case cases[] = {
        {"HERE.TXT", 5, "a file HERE.TXT exists"},
        {"HUGE.BIN", kCpmMaxAddedFile + 1, "larger than 796 KB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes before = Directory();
        EXPECT_FALSE(AddCpmFile(*disk_, Name(c.name), Data(c.size, 1), error_));
        EXPECT_EQ(error_.find(c.message) != std::string::npos, true) << error_;
        EXPECT_EQ(Directory(), before);
    }
}

TEST_F(CpmEditing, RefusesWhenTheDiskIsFull) {
    Add("A.BIN", 512 * 1024);
    Add("B.BIN", 256 * 1024);
    const Bytes before = Directory();
    EXPECT_FALSE(AddCpmFile(*disk_, Name("C.BIN"), Data(30 * 1024, 1), error_));
    EXPECT_EQ(error_, "the disk is full: 30 KB needed, 28 KB free");
    EXPECT_EQ(Directory(), before);
}

TEST_F(CpmEditing, RefusesWhenTheDirectoryIsFull) {
    for (int i = 0; i < 127; ++i)
        Add("F" + std::to_string(i), 1);
    const Bytes before = Directory();
    EXPECT_FALSE(AddCpmFile(*disk_, Name("TWO"), Data(20000, 1), error_));
    EXPECT_EQ(error_, "the directory is full: 2 entries needed, 1 free");
    EXPECT_EQ(Directory(), before);
    Add("LAST", 1);
    EXPECT_EQ(ReadCpmCatalogue(*disk_, false, false).rows.size(), 128u);
}

TEST_F(CpmEditing, AddingLeavesEntriesInUseAfterTheListedEndAlone) {
    test::PutCpmEntry(*disk_, 0, 0, "A       BIN", 0, 16, {2});
    test::PutCpmEntry(*disk_, 1, kCpmErased, "\xE5OLD    BIN", 0, 16, {3});  // ends the list
    test::PutCpmEntry(*disk_, 2, 0, "B       BIN", 0, 16, {4});
    test::FillCpmBlock(*disk_, 4, 7, 0);
    const Bytes before = Directory();
    Add("NEW.BIN", 3 * 2048, 9);
    const Bytes after = Directory();
    EXPECT_TRUE(std::equal(after.begin() + 64, after.begin() + 96, before.begin() + 64));
    const std::vector<CpmDirEntry> listed = ParseCpmDirectory(after);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_TRUE(SameCpmName(listed[1].name, Name("NEW.BIN")));
    EXPECT_EQ(listed[1].blocks[0], 3);
    EXPECT_EQ(listed[1].blocks[1], 5);
    ASSERT_TRUE(Find("B.BIN"));
    EXPECT_EQ(ReadCpmFile(*disk_, *Find("B.BIN")), Data(2048, 7));
    EXPECT_EQ(ReadCpmFile(*disk_, *Find("NEW.BIN")), Data(3 * 2048, 9));
}

TEST_F(CpmEditing, AddingKeepsOffBlockTwoWhileSectorNineHoldsABootLoader) {
    struct Case {
        const char* what;
        std::uint8_t fill;
        bool loader;
        std::uint16_t firstBlock;
    };
    const Case cases[] = {
        {"zero sector", 0x00, false, 2},
        {"erased sector", kCpmErased, false, 2},
        {"boot loader", kCpmErased, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        disk_ = test::NewCpmDisk();
        SectorSlot& boot = *disk_->FindSector(0, kCpmBootSectorNumber);
        std::fill_n(boot.Data.begin(), kCpmSectorSize, c.fill);
        if (c.loader) boot.Data[0] = 0xF3;
        const Bytes before(boot.Data.begin(), boot.Data.begin() + kCpmSectorSize);
        Add("F.BIN", 100);
        EXPECT_EQ(ParseCpmDirectory(Directory()).at(0).blocks[0], c.firstBlock);
        if (c.loader) {
            EXPECT_TRUE(std::equal(before.begin(), before.end(), boot.Data.begin()));
        }
    }
}

TEST(CpmNames, PcFileNamesBecomeUpperCaseEightDotThree) {
    EXPECT_EQ(CpmNameForPcFile("/home/u/readme.txt"), Name("README.TXT"));
    EXPECT_EQ(CpmNameForPcFile("dir\\Game"), Name("GAME"));
    EXPECT_EQ(CpmNameForPcFile("TOOLONGNAME.TXT"), std::nullopt);
    EXPECT_EQ(CpmNameForPcFile("a.text"), std::nullopt);
    EXPECT_EQ(CpmNameForPcFile("a b.txt"), std::nullopt);
    EXPECT_EQ(CpmNameForPcFile("a*.txt"), std::nullopt);
    EXPECT_EQ(CpmNameForPcFile("a.b.c"), std::nullopt);
    EXPECT_EQ(CpmNameForPcFile(".profile"), std::nullopt);
}

}  // namespace
}  // namespace morvane
