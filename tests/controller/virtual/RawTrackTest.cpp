#include <gtest/gtest.h>

#include "controller/virtual/RawTrack.h"
#include "controller/virtual/TrackScan.h"

namespace morvane::virt {
namespace {

TEST(RawTrackTest, PositionsWrapAroundTheIndex) {
    RawTrack track = RawTrack::Blank(100);
    track.Put(103, 0x12, true);
    EXPECT_EQ(track.At(3), 0x12);
    EXPECT_TRUE(track.IsMarked(3));
    EXPECT_TRUE(track.IsMarked(203));
    track.Put(3, 0x13, false);
    EXPECT_FALSE(track.IsMarked(3));
    EXPECT_FALSE(track.Present);
}

TEST(RawTrackTest, EmptyTrackReadsZeroAndIgnoresWrites) {
    RawTrack track;
    track.Put(5, 0xA1, true);
    EXPECT_EQ(track.At(5), 0);
    EXPECT_FALSE(track.IsMarked(5));
    EXPECT_TRUE(FindAddressMarks(track).empty());
}

TEST(RawTrackTest, FromBytesFitsTheBitmapToTheLength) {
    const Bytes bytes(10, 0x4E);
    const Bytes marks{0xFF, 0xFF, 0xFF};
    const RawTrack track = RawTrack::FromBytes(bytes, marks);
    ASSERT_EQ(track.Marks.size(), 2u);
    EXPECT_EQ(track.Marks[1], 0x03);
    const RawTrack shortMap = RawTrack::FromBytes(bytes, Bytes{0x01});
    EXPECT_TRUE(shortMap.IsMarked(0));
    EXPECT_FALSE(shortMap.IsMarked(9));
}

TEST(RawTrackTest, InfersMarksOfSyncRunsBeforeAddressMarks) {
    const Bytes bytes{0x4E, 0xA1, 0xA1, 0xA1, 0xFE, 0x00, 0xC2, 0xC2, 0xC2, 0xFC,
                      0xA1, 0xA1, 0xFB, 0xA1, 0xFE, 0xA1, 0xA1, 0xA1, 0xA1, 0xF8};
    const RawTrack track = RawTrack::FromBytes(bytes, InferClockMarks(bytes));
    const std::vector<std::size_t> marked{1, 2, 3, 6, 7, 8, 10, 11, 16, 17, 18};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool expected = std::find(marked.begin(), marked.end(), i) != marked.end();
        EXPECT_EQ(track.IsMarked(i), expected) << i;
    }
    // A single A1 before a mark byte is data, not a sync run.
    EXPECT_FALSE(track.IsMarked(13));
}

TEST(RawTrackTest, AddressMarkIsFirstClockedByteAfterSync) {
    RawTrack track = RawTrack::Blank(50);
    track.Put(10, 0x14, true);  // the sync byte's value does not matter
    track.Put(11, 0xA1, true);
    track.Put(12, 0xFE, false);
    track.Put(49, 0xA1, true);  // a run at the end of the circle marks byte 0
    track.Put(0, 0xFB, false);
    EXPECT_EQ(FindAddressMarks(track), (std::vector<std::size_t>{0, 12}));
}

}  // namespace
}  // namespace morvane::virt
