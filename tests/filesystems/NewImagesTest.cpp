#include "filesystems/NewImages.h"

#include <gtest/gtest.h>

#include "filesystems/CpmDirectory.h"
#include "filesystems/TrDosListing.h"
#include "model/Checksums.h"
#include "support/TestDisks.h"

namespace morvane {
namespace {

TEST(NewImages, TrDosImageShowsAnEmptyCatalogueOfANewDisk) {
    auto disk = test::NewTrDosDisk();
    TrDosCatalogue c;
    ASSERT_TRUE(ReadTrDosCatalogue(*disk, c));
    EXPECT_EQ(c.count, 0);
    const std::array<std::string, 7> expected{"NEW DISK", "80-дорожек", "1", "1", "2544", "0", "0"};
    EXPECT_EQ(TrDosDescriptionValues(c), expected);
}

TEST(NewImages, ShortTrDosNameIsPaddedWithSpaces) {
    DiskImage disk;
    CreateTrDosImage(disk, "ABC");
    const SectorSlot& info = *disk.FindSector(0, kTrDosInfoSector);
    const std::string name(info.Data.begin() + kInfoDiskName,
                           info.Data.begin() + kInfoDiskName + 8);
    EXPECT_EQ(name, "ABC     ");
}

struct SlotCase {
    bool cpm;
    std::uint8_t track;
    std::uint8_t slot;
    std::uint8_t cylinder;
    std::uint8_t head;
    std::uint8_t sector;
    std::uint8_t sizeCode;
};

class NewImageSlotTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(NewImageSlotTest, HeaderOfEverySlotFollowsTheLayout) {
    DiskImage disk;
    const SlotCase& c = GetParam();
    if (c.cpm)
        CreateCpmImage(disk);
    else
        CreateTrDosImage(disk, "X");
    const SectorSlot& s = *disk.GetSlot(c.track, c.slot);
    EXPECT_EQ(s.Present, kPresent);
    EXPECT_EQ(s.DataGood, kDataGood);
    EXPECT_EQ(s.Cylinder, c.cylinder);
    EXPECT_EQ(s.Head, c.head);
    EXPECT_EQ(s.Sector, c.sector);
    EXPECT_EQ(s.SizeCode, c.sizeCode);
    EXPECT_EQ(s.DataLength, 128u << c.sizeCode);
    EXPECT_EQ(s.HeaderCrc, IdFieldCrc(c.cylinder, c.head, c.sector, c.sizeCode));
}

INSTANTIATE_TEST_SUITE_P(
    Slots, NewImageSlotTest,
    ::testing::Values(SlotCase{false, 1, 4, 0, 0, 5, 1}, SlotCase{false, 159, 15, 79, 0, 16, 1},
                      SlotCase{true, 1, 4, 0, 1, 5, 3}, SlotCase{true, 0, 4, 0, 0, 9, 3},
                      SlotCase{true, 0, 3, 0, 0, 4, 3}, SlotCase{true, 158, 2, 79, 0, 3, 3}));

TEST(NewImages, TracksAndSlotsBeyondTheLayoutStayEmpty) {
    DiskImage disk;
    CreateTrDosImage(disk, "X");
    EXPECT_EQ(disk.CountTracks(), 160);
    EXPECT_EQ(disk.GetTrack(0)->CountSectors(), 16);
    EXPECT_EQ(disk.GetTrack(160)->Present, 0);
    CreateCpmImage(disk);
    EXPECT_EQ(disk.CountTracks(), 160);
    EXPECT_EQ(disk.GetTrack(5)->CountSectors(), 5);
    EXPECT_EQ(disk.GetSlot(5, 5)->Present, 0);
}

TEST(NewImages, CpmImageHasAnEmptyDirectoryAndNoBootSector) {
    auto disk = test::NewCpmDisk();
    EXPECT_TRUE(IsCpmImage(*disk));
    const Bytes dir = ReadCpmDirectoryBytes(*disk);
    EXPECT_EQ(std::count(dir.begin(), dir.end(), kCpmErased), 4096);
    const SectorSlot& boot = *disk->FindSector(0, kCpmBootSectorNumber);
    EXPECT_TRUE(std::all_of(boot.Data.begin(), boot.Data.begin() + 1024,
                            [](std::uint8_t b) { return b == 0; }));
    TrDosCatalogue c;
    EXPECT_FALSE(ReadTrDosCatalogue(*disk, c));
}

}  // namespace
}  // namespace morvane
