#include "model/DiskImage.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace morvane {
namespace {

struct RecordingObserver : DiskObserver {
    std::vector<std::pair<int, int>> sectors;
    std::vector<int> tracks;
    int changed = 0;
    int cleared = 0;
    void SectorCellChanged(std::uint8_t t, std::uint8_t s) override { sectors.emplace_back(t, s); }
    void TrackCellChanged(std::uint8_t t) override { tracks.push_back(t); }
    void ImageChanged() override { ++changed; }
    void ImageCleared() override { ++cleared; }
};

class ZxDiskTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
};

TEST_F(ZxDiskTest, StartsEmptyWithNumberedTracks) {
    for (unsigned i = 0; i < kTrackCount; ++i) {
        const Track* t = disk->GetTrack(static_cast<std::uint8_t>(i));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->Number, i);
        EXPECT_EQ(t->Present, 0);
    }
    EXPECT_EQ(disk->BaseTrack, 255);
    EXPECT_FALSE(disk->UseBaseTrack);
    EXPECT_EQ(disk->CountTracks(), 0);
}

TEST_F(ZxDiskTest, OutOfRangeIndicesGiveNothing) {
    EXPECT_NE(disk->GetTrack(165), nullptr);
    EXPECT_EQ(disk->GetTrack(166), nullptr);
    EXPECT_EQ(disk->GetTrack(255), nullptr);
    EXPECT_EQ(disk->GetSlot(166, 0), nullptr);
    EXPECT_EQ(disk->GetSlot(0, 32), nullptr);
    EXPECT_EQ(disk->FindSector(200, 1), nullptr);
}

TEST_F(ZxDiskTest, ClearImageKeepsNumbersAndResetsImageFields) {
    RecordingObserver obs;
    disk->SetObserver(&obs);
    Track* t = disk->GetTrack(12);
    t->Present = kPresent;
    t->Number = 12;
    t->Log.push_back("x");
    disk->UseBaseTrack = true;
    disk->BaseTrack = 3;
    disk->ImagePath = "a.udf";
    disk->DiskLog.push_back("comment");
    EXPECT_EQ(disk->CountTracks(), 1);
    disk->ClearImage();
    EXPECT_EQ(t->Number, 12);
    EXPECT_EQ(t->Present, 0);
    EXPECT_TRUE(t->Log.empty());
    EXPECT_FALSE(disk->UseBaseTrack);
    EXPECT_EQ(disk->BaseTrack, 255);
    EXPECT_TRUE(disk->ImagePath.empty());
    EXPECT_TRUE(disk->DiskLog.empty());
    EXPECT_EQ(disk->TrackCount, 0);
    EXPECT_EQ(obs.cleared, 1);
}

TEST_F(ZxDiskTest, TracksToWriteReachesTheLastPresentTrack) {
    EXPECT_EQ(disk->TracksToWrite(), 0u);
    for (std::uint8_t t = 0; t < 10; ++t)
        disk->GetTrack(t)->Present = kPresent;
    EXPECT_EQ(disk->TracksToWrite(), 10u);
    disk->GetTrack(4)->Present = 0;
    EXPECT_EQ(disk->TracksToWrite(), 10u);
    EXPECT_EQ(disk->TrackCount, 9);
    disk->GetTrack(165)->Present = kPresent;
    EXPECT_EQ(disk->TracksToWrite(), 166u);
}

TEST_F(ZxDiskTest, FindSectorComparesSectorBytesIncludingEmptySlots) {
    EXPECT_EQ(disk->FindSector(5, 0), disk->GetSlot(5, 0));  // empty slots carry 0
    Track* t = disk->GetTrack(5);
    const std::uint8_t numbers[] = {1, 9, 9};
    for (std::uint8_t i = 0; i < 3; ++i) {
        t->GetSlot(i)->Present = kPresent;
        t->GetSlot(i)->Sector = numbers[i];
    }
    EXPECT_EQ(disk->FindSector(5, 9), disk->GetSlot(5, 1));
    EXPECT_EQ(disk->FindSectorIndex(5, 9), 1);
    EXPECT_EQ(disk->FindSector(5, 0), disk->GetSlot(5, 3));
    EXPECT_EQ(disk->FindSector(5, 77), nullptr);
}

TEST_F(ZxDiskTest, RedrawCallsReachTheObserverAndWorkWithout) {
    disk->RedrawSectorCell(1, 2);  // no observer: nothing happens
    RecordingObserver obs;
    disk->SetObserver(&obs);
    disk->RedrawSectorCell(3, 4);
    disk->RedrawTrackCell(7);
    ASSERT_EQ(obs.sectors.size(), 1u);
    EXPECT_EQ(obs.sectors[0], std::make_pair(3, 4));
    EXPECT_EQ(obs.tracks, std::vector<int>{7});
}

TEST_F(ZxDiskTest, TakeImageFromReplacesTheImageInPlace) {
    RecordingObserver observer;
    disk->SetObserver(&observer);
    disk->GetTrack(7)->Present = kPresent;
    disk->LastError = "kept";
    Track* const track3 = disk->GetTrack(3);
    auto source = std::make_unique<DiskImage>();
    source->GetTrack(3)->Slots[1].Sector = 9;
    source->DiskLog = {"comment"};
    source->BaseTrack = 3;
    disk->TakeImageFrom(*source);
    EXPECT_EQ(disk->GetTrack(3), track3);
    EXPECT_EQ(track3->Slots[1].Sector, 9);
    EXPECT_EQ(disk->GetTrack(7)->Present, 0);
    EXPECT_EQ(disk->DiskLog, std::vector<std::string>{"comment"});
    EXPECT_EQ(disk->BaseTrack, 3);
    EXPECT_EQ(disk->LastError, "kept");
    EXPECT_EQ(observer.changed, 1);
}

}  // namespace
}  // namespace morvane
