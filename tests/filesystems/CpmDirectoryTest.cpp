#include "filesystems/CpmDirectory.h"

#include <gtest/gtest.h>

#include "filesystems/CpmListing.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

using test::FillCpmBlock;
using test::NewCpmDisk;
using test::PutCpmEntry;

class CpmDirectoryTest : public ::testing::Test {
  protected:
    CpmCatalogue Catalogue(bool erased = false, bool hidden = false) {
        return ReadCpmCatalogue(*disk, erased, hidden);
    }
    std::vector<std::string> Lengths(const CpmCatalogue& c) {
        std::vector<std::string> texts;
        for (const CpmListRow& row : c.rows)
            texts.push_back(CpmRowTexts(c.entries[row.entry], row.records, '.')[2]);
        return texts;
    }

    std::unique_ptr<DiskImage> disk = NewCpmDisk();
};

TEST_F(CpmDirectoryTest, NewImageListsNothingWithFourKilobytesUsed) {
    const CpmCatalogue c = Catalogue(true, true);
    EXPECT_TRUE(c.rows.empty());
    const std::array<std::string, 3> expected{"0", "4 кБ", "796 кБ"};
    EXPECT_EQ(CpmDescriptionValues(c), expected);
}

TEST_F(CpmDirectoryTest, ExtentsOfAFileAreListedOnceWithTheirRecordsSummed) {
    PutCpmEntry(*disk, 0, 0, "SMALL   TXT", 0, 9, {2});
    PutCpmEntry(*disk, 1, 0, "TWO     COM", 0, 128, {3, 4, 5, 6, 7, 8, 9, 10});
    PutCpmEntry(*disk, 2, 0, "TWO     COM", 1, 3, {11});
    PutCpmEntry(*disk, 3, 0, "THREE   DAT", 0, 128, {12, 13, 14, 15, 16, 17, 18, 19});
    PutCpmEntry(*disk, 4, 0, "THREE   DAT", 1, 128, {20, 21, 22, 23, 24, 25, 26, 27});
    PutCpmEntry(*disk, 5, 0, "THREE   DAT", 2, 5, {28});
    const CpmCatalogue c = Catalogue();
    EXPECT_EQ(Lengths(c), (std::vector<std::string>{"1.128", "16.384", "32.64"}));
    EXPECT_EQ(c.UsedBytes(), (2u + 27u) * 2048u);
    EXPECT_NE(c.blockMap[11], 0);  // the second extent's block
}

TEST_F(CpmDirectoryTest, ErasedAndHiddenFilesAreListedOnlyWhenAsked) {
    PutCpmEntry(*disk, 0, 0, "PLAIN   TXT", 0, 1, {2});
    PutCpmEntry(*disk, 1, kCpmErased, "GONE    TXT", 0, 1, {3});
    PutCpmEntry(*disk, 2, 3, "USER3   TXT", 0, 1, {4});
    EXPECT_EQ(Catalogue().rows.size(), 1u);
    const CpmCatalogue erased = Catalogue(true, false);
    ASSERT_EQ(erased.rows.size(), 2u);
    EXPECT_EQ(CpmRowTexts(erased.entries[erased.rows[1].entry], 1, '.')[3], "E5");
    const CpmCatalogue hidden = Catalogue(false, true);
    ASSERT_EQ(hidden.rows.size(), 2u);
    EXPECT_EQ(CpmRowTexts(hidden.entries[hidden.rows[1].entry], 1, '.')[3], "03");
    EXPECT_EQ(erased.UsedBytes(), 4u * 2048u);  // an erased file's block is free
}

TEST_F(CpmDirectoryTest, DirectoryEndsAtTheFirstEntryStartingWithTwoE5Bytes) {
    PutCpmEntry(*disk, 0, 0, "A       TXT", 0, 1, {2});
    PutCpmEntry(*disk, 2, 0, "B       TXT", 0, 1, {3});  // entry 1 stays E5 E5 ...
    EXPECT_EQ(Catalogue().entries.size(), 1u);
}

TEST_F(CpmDirectoryTest, BlockNumbersOf400AndMoreStopTheMarking) {
    PutCpmEntry(*disk, 0, 0, "BAD     DAT", 0, 64, {5, 400, 6});
    const CpmCatalogue c = Catalogue();
    EXPECT_NE(c.blockMap[5], 0);
    EXPECT_EQ(c.blockMap[6], 0);
}

TEST_F(CpmDirectoryTest, FileOfThreeExtentsReadsBackWhole) {
    std::vector<std::uint16_t> blocks;
    for (std::uint16_t b = 2; b < 19; ++b)
        blocks.push_back(b);
    PutCpmEntry(*disk, 0, 0, "BIG     BIN", 0, 128, {2, 3, 4, 5, 6, 7, 8, 9});
    // The third extent before the second in the directory: extent order decides.
    PutCpmEntry(*disk, 1, 0, "BIG     BIN", 2, 12, {18});
    PutCpmEntry(*disk, 2, 0, "BIG     BIN", 1, 128, {10, 11, 12, 13, 14, 15, 16, 17});
    for (std::size_t i = 0; i < blocks.size(); ++i)
        FillCpmBlock(*disk, blocks[i], 7, i);
    const auto file =
        FindCpmFile(ParseCpmDirectory(ReadCpmDirectoryBytes(*disk)), *CpmNameFromText("BIG.BIN"));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->blocks, blocks);
    EXPECT_EQ(file->size, (128u + 128u + 12u) * 128u);
    const Bytes data = ReadCpmFile(*disk, *file);
    ASSERT_EQ(data.size(), file->size);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(data[i], test::FileByte(7, i)) << "byte " << i;
}

TEST_F(CpmDirectoryTest, FileOverHalfAMegabyteGoesOnAcrossS2) {
    // 600,000 bytes as cpmtools writes them: 37 extents, the last five with S2 1 and EX
    // 0..4, listed here before the first 32.
    constexpr std::uint32_t kRecords = 4688;
    std::uint16_t block = 2;
    for (unsigned x = 0; x < 37; ++x) {
        const auto records = static_cast<std::uint8_t>(x < 36 ? 128 : kRecords - 36 * 128);
        std::vector<std::uint16_t> blocks;
        for (unsigned k = 0; k < (records + 15u) / 16u; ++k, ++block) {
            blocks.push_back(block);
            FillCpmBlock(*disk, block, 9, block - 2u);
        }
        PutCpmEntry(*disk, (x + 5) % 37, 0, "BIG     BIN", static_cast<std::uint8_t>(x % 32),
                    records, blocks, static_cast<std::uint8_t>(x / 32));
    }
    const CpmCatalogue c = Catalogue();
    ASSERT_EQ(c.rows.size(), 1u);
    EXPECT_EQ(c.rows[0].records, kRecords);
    EXPECT_EQ(c.UsedBytes(), (2u + 293u) * 2048u);
    const auto file = CpmFileOfEntry(c.entries, c.rows[0].entry);
    ASSERT_TRUE(file.has_value());
    const Bytes data = ReadCpmFile(*disk, *file);
    ASSERT_EQ(data.size(), kRecords * 128u);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(data[i], test::FileByte(9, i)) << "byte " << i;
}

TEST_F(CpmDirectoryTest, ExtentsOfAnotherUserOrAnErasedFileAreNotTaken) {
    PutCpmEntry(*disk, 0, kCpmErased, "DOC     TXT", 0, 128, {2, 3, 4, 5, 6, 7, 8, 9});
    PutCpmEntry(*disk, 1, kCpmErased, "DOC     TXT", 1, 50, {10, 11, 12, 13});
    PutCpmEntry(*disk, 2, 0, "DOC     TXT", 0, 128, {14, 15, 16, 17, 18, 19, 20, 21});
    PutCpmEntry(*disk, 3, 0, "DOC     TXT", 1, 2, {22});
    const std::vector<CpmDirEntry> entries = ParseCpmDirectory(ReadCpmDirectoryBytes(*disk));
    const auto live = FindCpmFile(entries, *CpmNameFromText("DOC.TXT"));
    ASSERT_TRUE(live.has_value());
    EXPECT_EQ(live->user, 0);
    EXPECT_EQ(live->size, 130u * 128u);
    EXPECT_EQ(live->blocks.back(), 22);
    const auto erased = CpmFileOfEntry(entries, 0);
    ASSERT_TRUE(erased.has_value());
    EXPECT_EQ(erased->size, 178u * 128u);
    EXPECT_FALSE(CpmFileOfEntry(entries, 1).has_value());  // not a first extent
}

TEST_F(CpmDirectoryTest, MissingOrShortDataSectorsReadAsZeros) {
    PutCpmEntry(*disk, 0, 0, "F       BIN", 0, 32, {2, 3});
    FillCpmBlock(*disk, 2, 1, 0);
    FillCpmBlock(*disk, 3, 1, 1);
    disk->FindSector(1, 1)->DataLength = 512;  // logical sector 5: block 2, second half
    disk->GetTrack(1)->Slots[1].Present = 0;   // logical sector 6: block 3, first half
    const auto file =
        FindCpmFile(ParseCpmDirectory(ReadCpmDirectoryBytes(*disk)), *CpmNameFromText("F.BIN"));
    ASSERT_TRUE(file.has_value());
    const Bytes data = ReadCpmFile(*disk, *file);
    ASSERT_EQ(data.size(), 4096u);
    EXPECT_EQ(data[0], test::FileByte(1, 0));
    EXPECT_EQ(data[1024], 0);
    EXPECT_EQ(data[2048], 0);
    EXPECT_EQ(data[3072], test::FileByte(1, 3072));
}

TEST_F(CpmDirectoryTest, SizeNeverExceedsTheBlocksHeld) {
    PutCpmEntry(*disk, 0, 0, "F       BIN", 0, 100, {2});
    const auto file = CpmFileOfEntry(ParseCpmDirectory(ReadCpmDirectoryBytes(*disk)), 0);
    EXPECT_EQ(ReadCpmFile(*disk, *file).size(), 2048u);
}

struct RecogniseCase {
    int occupied;
    bool cpm;
};

class CpmRecogniseTest : public ::testing::TestWithParam<RecogniseCase> {};

TEST_P(CpmRecogniseTest, TrackZeroMustHoldFiveOrSixSectors) {
    DiskImage disk;
    for (int i = 0; i < GetParam().occupied; ++i)
        disk.GetSlot(0, static_cast<std::uint8_t>(i))->Present = kPresent;
    EXPECT_EQ(IsCpmImage(disk), GetParam().cpm);
}

INSTANTIATE_TEST_SUITE_P(Counts, CpmRecogniseTest,
                         ::testing::Values(RecogniseCase{4, false}, RecogniseCase{5, true},
                                           RecogniseCase{6, true}, RecogniseCase{7, false},
                                           RecogniseCase{16, false}));

TEST(CpmNameFromText, PadsNameAndTypeAndRefusesLongerOnes) {
    EXPECT_EQ(*CpmNameFromText("A.B"),
              (CpmName{'A', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 'B', ' ', ' '}));
    EXPECT_EQ(*CpmNameFromText("README"),
              (CpmName{'R', 'E', 'A', 'D', 'M', 'E', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_FALSE(CpmNameFromText("TOOLONGNAME.TXT").has_value());
    EXPECT_FALSE(CpmNameFromText("A.TEXT").has_value());
    EXPECT_FALSE(CpmNameFromText(".TXT").has_value());
}

}  // namespace
}  // namespace morvane
