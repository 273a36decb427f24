#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/Fdi.h"
#include "support/SectorDisks.h"

namespace morvane {
namespace {

using test::AddDamagedTrack;
using test::FillGoodSectors;
using test::NoData;
using test::PutSector;
using test::RandomBytes;
using test::SameSectors;

class FdiWriterTest : public ::testing::Test {
  protected:
    Bytes Write() {
        Bytes out;
        EXPECT_TRUE(WriteFdi(*disk, out)) << disk->LastError;
        return out;
    }
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
    std::unique_ptr<DiskImage> copy = std::make_unique<DiskImage>();
};

TEST_F(FdiWriterTest, GoodSectorsReadBackTheSame) {
    FillGoodSectors(*disk);
    ASSERT_TRUE(ReadFdi(Write(), *copy)) << copy->LastError;
    EXPECT_TRUE(SameSectors(*disk, *copy));
}

// FDI has no mark for an ID without data: such a sector comes back as data in error.
TEST_F(FdiWriterTest, DamagedSectorsReadBackAsDataInError) {
    FillGoodSectors(*disk);
    AddDamagedTrack(*disk, 4);
    ASSERT_TRUE(ReadFdi(Write(), *copy)) << copy->LastError;
    EXPECT_TRUE(SameSectors(*disk, *copy, NoData::AsBadData));
    EXPECT_EQ(copy->GetSlot(4, 0)->DataGood, 0);
    EXPECT_EQ(copy->GetSlot(4, 1)->DataGood, 0);
    EXPECT_EQ(copy->GetSlot(4, 2)->DataGood, kDataGood);
}

TEST_F(FdiWriterTest, HeaderCoversCylindersToTheLastTrackAndBothSides) {
    PutSector(*disk, TrackIndex(4, 1), 0, 1, 1, Bytes(256, 1));
    const Bytes file = Write();
    EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "FDI");
    EXPECT_EQ(GetLe16(file, 4), 5);   // cylinders
    EXPECT_EQ(GetLe16(file, 6), 2);   // heads
    EXPECT_EQ(GetLe16(file, 12), 0);  // no extra header
    ASSERT_TRUE(ReadFdi(file, *copy));
    EXPECT_EQ(copy->GetTrack(TrackIndex(4, 1))->SectorCount, 1);
    EXPECT_EQ(copy->GetTrack(TrackIndex(2, 0))->SectorCount, 0);
}

TEST_F(FdiWriterTest, SingleSidedImageHasOneHead) {
    for (std::uint8_t c = 0; c < 3; ++c)
        PutSector(*disk, TrackIndex(c, 0), 0, 1, 1, Bytes(256, c));
    const Bytes file = Write();
    EXPECT_EQ(GetLe16(file, 4), 3);
    EXPECT_EQ(GetLe16(file, 6), 1);
    ASSERT_TRUE(ReadFdi(file, *copy));
    EXPECT_TRUE(SameSectors(*disk, *copy));
    EXPECT_EQ(copy->GetTrack(1)->Present, 0);
}

TEST_F(FdiWriterTest, EmptyImageGivesAnEmptyTable) {
    const Bytes file = Write();
    EXPECT_EQ(GetLe16(file, 4), 0);
    ASSERT_TRUE(ReadFdi(file, *copy));
    EXPECT_EQ(copy->CountTracks(), 0);
}

TEST_F(FdiWriterTest, DescriptionHoldsTheCommentBeforeTheData) {
    PutSector(*disk, 0, 0, 1, 0, Bytes(128, 0x77));
    disk->DiskLog = {"Диск", "two"};
    const Bytes file = Write();
    const std::size_t text = GetLe16(file, 8);
    const std::size_t data = GetLe16(file, 10);
    const Bytes expected{0xC4, 0xE8, 0xF1, 0xEA, '\r', '\n', 't', 'w', 'o', 0};
    ASSERT_EQ(data - text, expected.size());
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), file.begin() + static_cast<long>(text)));
    EXPECT_EQ(file[data], 0x77);
}

struct FlagCase {
    std::uint8_t sizeCode;
    bool good;
    bool hasData;
    std::uint8_t flags;
};

class FdiWriterFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(FdiWriterFlags, GoodDataSetsTheBitOfItsSize) {
    const FlagCase& c = GetParam();
    auto disk = std::make_unique<DiskImage>();
    const std::size_t size = test::SectorSize(c.sizeCode);
    PutSector(*disk, 0, 0, 1, c.sizeCode, c.hasData ? Bytes(size, 1) : Bytes{}, c.good);
    Bytes file;
    ASSERT_TRUE(WriteFdi(*disk, file));
    // Header, then the one track header (7 bytes) and its sector's C H R N flags.
    EXPECT_EQ(file[14 + 7 + 4], c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FdiWriterFlags,
    ::testing::Values(FlagCase{0, true, true, 0x01}, FlagCase{1, true, true, 0x02},
                      FlagCase{3, true, true, 0x08}, FlagCase{5, true, true, 0x20},
                      FlagCase{6, true, true, 0x20}, FlagCase{9, true, false, 0x20},
                      FlagCase{1, false, true, 0x00}, FlagCase{1, false, false, 0x00}));

TEST_F(FdiWriterTest, TrackWhoseSectorsStartPast64KIsRefused) {
    for (std::uint8_t s = 0; s < 9; ++s)
        PutSector(*disk, 3, s, static_cast<std::uint8_t>(s + 1), 6, RandomBytes(100, s));
    Bytes out;
    EXPECT_FALSE(WriteFdi(*disk, out));
    EXPECT_EQ(disk->LastError, "FDI track 3 holds more than 64 KB of sector data.");
}

TEST_F(FdiWriterTest, CommentThatPushesTheDataPast64KIsRefused) {
    PutSector(*disk, 0, 0, 1, 1, Bytes(256, 1));
    disk->DiskLog = {std::string(70000, 'x')};
    Bytes out;
    EXPECT_FALSE(WriteFdi(*disk, out));
    EXPECT_EQ(disk->LastError, "The FDI track table and disk comment do not fit in 64 KB.");
}

}  // namespace
}  // namespace morvane
