#include <gtest/gtest.h>

#include "controller/virtual/FormatTable.h"
#include "controller/virtual/SectorAccess.h"
#include "controller/virtual/WdStatus.h"
#include "model/Checksums.h"

namespace morvane::virt {
namespace {

RawTrack Formatted(std::vector<std::uint8_t> numbers, std::uint8_t n = 1) {
    return LayDownTrack(StandardFormatPairs(0, 0, numbers, n));
}

TEST(SectorAccessTest, WrittenDataReadsBackWithAGoodCrc) {
    RawTrack track = Formatted({1, 2, 3});
    const SectorSearch found = FindSector(track, 2, false);
    ASSERT_TRUE(found.Id);
    Bytes data(256);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(255 - i);
    WriteDataField(track, *found.Id, data, kDataAddressMark);
    const SectorRead read = ReadSector(track, 2);
    EXPECT_EQ(read.Status, 0);
    EXPECT_EQ(read.Data, data);
    EXPECT_EQ(ReadSector(track, 3).Data, Bytes(256, 0));  // the neighbour is untouched
}

TEST(SectorAccessTest, RewritingKeepsTheTrackLayout) {
    RawTrack track = Formatted({1, 2});
    const RawTrack before = track;
    const SectorSearch found = FindSector(track, 1, false);
    WriteDataField(track, *found.Id, Bytes(256, 0), kDataAddressMark);
    EXPECT_EQ(track.Data, before.Data);
    EXPECT_EQ(track.Marks, before.Marks);
}

TEST(SectorAccessTest, BadDataCrcReadsWithDataAndCrcBit) {
    RawTrack track = Formatted({1});
    const SectorSearch found = FindSector(track, 1, true);
    const std::size_t crcAt = found.Data->MarkPosition + 1 + 256;
    track.Put(crcAt, static_cast<std::uint8_t>(track.At(crcAt) ^ 1), false);
    const SectorRead read = ReadSector(track, 1);
    EXPECT_EQ(read.Status, wd::kCrcError);
    EXPECT_EQ(read.Data, Bytes(256, 0));
}

TEST(SectorAccessTest, BadIdCrcMeansNotFoundWithCrcBit) {
    RawTrack track = Formatted({1, 2});
    const SectorSearch found = FindSector(track, 2, false);
    track.Put(found.Id->MarkPosition + 5, 0x00, false);
    track.Put(found.Id->MarkPosition + 6, 0x00, false);
    EXPECT_EQ(ReadSector(track, 2).Status, wd::kRecordNotFound | wd::kCrcError);
    EXPECT_TRUE(ReadSector(track, 2).Data.empty());
    EXPECT_EQ(ReadSector(track, 9).Status, wd::kRecordNotFound);
}

TEST(SectorAccessTest, FirstSectorWithTheNumberAfterTheIndexWins) {
    RawTrack track = Formatted({5, 5});
    const auto ids = ReadIdFields(track);
    ASSERT_EQ(ids.size(), 2u);
    WriteDataField(track, ids[1], Bytes(256, 0x22), kDataAddressMark);
    EXPECT_EQ(ReadSector(track, 5).Data, Bytes(256, 0x00));
    EXPECT_EQ(ReadSector(track, 5).IdPosition, ids[0].MarkPosition);
}

TEST(SectorAccessTest, IdWithoutDataFieldIsPassedOverForTheNextCopy) {
    RawTrack track = Formatted({5, 5});
    auto ids = ReadIdFields(track);
    const auto data = FindDataField(track, ids[0]);
    ASSERT_TRUE(data);
    track.Put(data->MarkPosition - 1, 0x00, false);  // the sync run is broken
    track.Put(data->MarkPosition - 2, 0x00, false);
    track.Put(data->MarkPosition - 3, 0x00, false);
    EXPECT_EQ(ReadSector(track, 5).IdPosition, ids[1].MarkPosition);
}

TEST(SectorAccessTest, DataRunningPastTheIndexWrapsAround) {
    // A track cut so the one sector's data field crosses the index.
    RawTrack built = Formatted({1});
    const auto id = ReadIdFields(built)[0];
    Bytes data(256);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    WriteDataField(built, id, data, kDataAddressMark);
    const std::size_t cut = id.MarkPosition + 100;  // rotate the circle by cut bytes
    RawTrack rotated = RawTrack::Blank(built.Length());
    for (std::size_t i = 0; i < built.Length(); ++i)
        rotated.Put(i, built.At(i + cut), built.IsMarked(i + cut));
    const SectorRead read = ReadSector(rotated, 1);
    EXPECT_EQ(read.Status, 0);
    EXPECT_EQ(read.Data, data);
    EXPECT_EQ(read.EndPosition - read.IdPosition, 44u + 256 + 2);
}

TEST(SectorAccessTest, DataMarkPastTheIndexStillEndsAfterTheId) {
    RawTrack built = Formatted({1});
    const auto id = ReadIdFields(built)[0];
    const std::size_t cut = id.MarkPosition + 30;  // the index falls inside gap 2
    RawTrack rotated = RawTrack::Blank(built.Length());
    for (std::size_t i = 0; i < built.Length(); ++i)
        rotated.Put(i, built.At(i + cut), built.IsMarked(i + cut));
    const SectorRead read = ReadSector(rotated, 1);
    EXPECT_EQ(read.Status, 0);
    EXPECT_GT(read.IdPosition, read.EndPosition - read.IdPosition);
    EXPECT_EQ(read.EndPosition - read.IdPosition, 44u + 256 + 2);
}

TEST(SectorAccessTest, SizeCodeUsesOnlyTheLowTwoBits) {
    EXPECT_EQ(WdSectorSize(0), 128u);
    EXPECT_EQ(WdSectorSize(3), 1024u);
    EXPECT_EQ(WdSectorSize(5), 256u);
    RawTrack track = Formatted({1}, 1);
    const auto id = ReadIdFields(track)[0];
    track.Put(id.MarkPosition + 4, 5, false);  // N = 5, CRC fixed below
    const std::uint16_t crc = IdFieldCrc(0, 0, 1, 5);
    track.Put(id.MarkPosition + 5, static_cast<std::uint8_t>(crc >> 8), false);
    track.Put(id.MarkPosition + 6, static_cast<std::uint8_t>(crc), false);
    EXPECT_EQ(ReadSector(track, 1).Data.size(), 256u);
}

TEST(SectorAccessTest, DeletedMarkSetsRecordTypeBit) {
    RawTrack track = Formatted({1});
    const auto id = ReadIdFields(track)[0];
    WriteDataField(track, id, Bytes(256, 0x5A), kDeletedDataAddressMark);
    const SectorRead read = ReadSector(track, 1);
    EXPECT_EQ(read.Status, wd::kDeletedMark);
    EXPECT_EQ(read.Data, Bytes(256, 0x5A));
}

}  // namespace
}  // namespace morvane::virt
