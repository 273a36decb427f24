#include <gtest/gtest.h>

#include "HostSide.h"
#include "controller/virtual/FormatTable.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/TrackScan.h"
#include "model/Checksums.h"

namespace morvane::virt {
namespace {

TEST(FormatTableTest, TakesTheDeclaredPairs) {
    const Bytes block{2, 10, 0x4E, 0, 0x00, 99};
    const auto pairs = ParseFormatTable(block);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1].Count, 0);
    EXPECT_EQ(pairs[1].Value, 0x00);
}

TEST(FormatTableTest, NeverReadsPastTheBlock) {
    const Bytes block{200, 1, 2, 3};
    EXPECT_EQ(ParseFormatTable(block).size(), 1u);
    EXPECT_TRUE(ParseFormatTable(Bytes{}).empty());
}

TEST(FormatTableTest, WrappedPairCountIsTakenFromTheBlockLength) {
    Bytes block{6};  // 262 pairs, count byte wrapped
    for (int i = 0; i < 262; ++i)
        block.insert(block.end(), {1, 0x4E});
    EXPECT_EQ(ParseFormatTable(block).size(), 262u);
}

TEST(FormatTableTest, CountZeroLaysDown256Bytes) {
    const std::vector<FormatPair> pairs{{0, 0x11}, {1, 0x22}};
    const RawTrack track = LayDownTrack(pairs, 1000);
    EXPECT_EQ(track.At(255), 0x11);
    EXPECT_EQ(track.At(256), 0x22);
    EXPECT_EQ(track.At(257), kGapByte);  // the rest of the revolution is gap
    EXPECT_TRUE(track.Present);
}

TEST(FormatTableTest, SyncValuesAreMarkedAndF7WritesTheCrc) {
    const std::vector<FormatPair> pairs{{3, 0xF5}, {1, 0xFE}, {1, 7},    {1, 1},   {1, 3},
                                        {1, 2},    {1, 0xF7}, {3, 0xF6}, {1, 0xFC}};
    const RawTrack track = LayDownTrack(pairs, 100);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(track.At(i), 0xA1);
        EXPECT_TRUE(track.IsMarked(i));
    }
    EXPECT_FALSE(track.IsMarked(3));
    const std::uint16_t crc = IdFieldCrc(7, 1, 3, 2);
    EXPECT_EQ(track.At(8), crc >> 8);
    EXPECT_EQ(track.At(9), crc & 0xFF);
    EXPECT_EQ(track.At(10), 0xC2);
    EXPECT_TRUE(track.IsMarked(12));
    EXPECT_EQ(track.At(13), 0xFC);
}

TEST(FormatTableTest, OneSyncByteStillGivesTheThreeByteCrc) {
    const std::vector<FormatPair> pairs{{1, 0xF5}, {1, 0xFE}, {1, 0},   {1, 0},
                                        {1, 1},    {1, 1},    {1, 0xF7}};
    const RawTrack track = LayDownTrack(pairs, 50);
    EXPECT_EQ(track.At(6) << 8 | track.At(7), 0xFA0C);
}

TEST(FormatTableTest, WhatRunsPastTheIndexIsLost) {
    const std::vector<FormatPair> pairs{{0, 0x00}, {0, 0x11}};
    const RawTrack track = LayDownTrack(pairs, 300);
    EXPECT_EQ(track.Length(), 300u);
    EXPECT_EQ(track.At(299), 0x11);
    EXPECT_EQ(track.At(0), 0x00);
}

TEST(FormatTableTest, ProgramTemplateGivesSixteenReadableSectors) {
    std::vector<test::SectorId> ids;
    for (std::uint8_t r = 1; r <= 16; ++r)
        ids.push_back({4, 1, r, 1});
    const Bytes table = test::FormatTableFor(ids);
    EXPECT_EQ(table[0], 246);
    EXPECT_EQ(table.size(), 493u);
    const RawTrack track = LayDownTrack(ParseFormatTable(table));
    const auto found = ReadIdFields(track);
    ASSERT_EQ(found.size(), 16u);
    for (const IdField& id : found)
        EXPECT_TRUE(id.CrcGood);
    for (std::uint8_t r = 1; r <= 16; ++r) {
        const SectorRead read = ReadSector(track, r);
        EXPECT_EQ(read.Status, 0) << int{r};
        EXPECT_EQ(read.Data, Bytes(256, 0));
    }
}

TEST(FormatTableTest, StandardPairsMatchTheProgramsTemplate) {
    std::vector<test::SectorId> ids;
    std::vector<std::uint8_t> numbers;
    for (std::uint8_t r = 1; r <= 16; ++r) {
        ids.push_back({9, 0, r, 1});
        numbers.push_back(r);
    }
    const RawTrack fromProgram = LayDownTrack(ParseFormatTable(test::FormatTableFor(ids)));
    const RawTrack fromHelper = LayDownTrack(StandardFormatPairs(9, 0, numbers, 1));
    // The program's last gap is longer; everything up to the end of sector 16 agrees.
    const std::size_t sixteenEnd = 146 + 15 * 372 + 318;
    EXPECT_TRUE(std::equal(fromProgram.Data.begin(), fromProgram.Data.begin() + sixteenEnd,
                           fromHelper.Data.begin()));
    EXPECT_EQ(fromProgram.Marks, fromHelper.Marks);
}

}  // namespace
}  // namespace morvane::virt
