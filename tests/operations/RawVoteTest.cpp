// The per-byte vote over raw reads, and sector data taken from a raw image.
#include <gtest/gtest.h>

#include <vector>

#include "model/Checksums.h"
#include "model/RawSectorData.h"
#include "model/Track.h"
#include "operations/RawVote.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

struct VoteCase {
    const char* name;
    std::vector<std::uint8_t> bytes;  // byte at position 0 of each read
    std::uint8_t expected;
};

class VoteCases : public ::testing::TestWithParam<VoteCase> {};

TEST_P(VoteCases, MostCommonByteWinsLowestReadOnTie) {
    std::vector<RawReadBuffer> reads(GetParam().bytes.size());
    for (std::size_t i = 0; i < reads.size(); ++i) {
        reads[i].fill(0);
        reads[i][0] = GetParam().bytes[i];
    }
    RawReadBuffer out{};
    out[1] = 0x77;
    VoteRawReads(reads, 1, out);
    EXPECT_EQ(out[0], GetParam().expected);
    EXPECT_EQ(out[1], 0x77) << "positions past the length are left alone";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VoteCases,
    ::testing::Values(VoteCase{"TieLowerReadWins",
                               {0x4E, 0x4E, 0x4E, 0x4E, 0x4E, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F},
                               0x4E},
                      VoteCase{"TieLaterValueFirst", {0x4F, 0x4E, 0x4E, 0x4F}, 0x4F},
                      VoteCase{"MajorityLate", {1, 2, 3, 9, 9, 9, 4, 9}, 9},
                      VoteCase{"PluralityWithoutMajority", {1, 2, 2, 3, 3, 3, 4, 5}, 3},
                      VoteCase{"SingleRead", {0xAB}, 0xAB}),
    test::CaseName());

struct LengthCase {
    const char* name;
    std::vector<std::size_t> lengths;  // of each read, in read order
    std::size_t expected;
};

class LengthCases : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LengthCases, LengthMostReadsHadWinsLowestReadOnTie) {
    EXPECT_EQ(VoteRawLength(GetParam().lengths), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LengthCases,
    ::testing::Values(
        LengthCase{"ShortLastRead", {6250, 6250, 6250, 6250, 6250, 6250, 6250, 3000}, 6250},
        LengthCase{"LongLastRead", {6250, 6250, 6250, 6250, 6250, 6250, 6250, 6262}, 6250},
        LengthCase{
            "ShortFirstRead", {12, 6250, 6250, 6250, 6250, 6250, 6250, 6250, 6250, 6250}, 6250},
        LengthCase{"MajorityShort", {6250, 3000, 3000, 3000, 6250, 3000, 3000, 6250}, 3000},
        LengthCase{"TieLowerReadWins", {6248, 6251, 6251, 6248}, 6248},
        LengthCase{"TieLaterLengthFirst", {6251, 6248, 6248, 6251}, 6251},
        LengthCase{"AllDifferent", {6249, 6251, 6250}, 6249}, LengthCase{"SingleRead", {17}, 17},
        LengthCase{"NoReads", {}, 0}),
    test::CaseName());

// A raw image with one sector of 256 bytes: A1 A1 A1 FE C H R N crc, A1 A1 A1 FB data crc.
Track TrackWithSector(bool goodCrc) {
    Track track;
    std::vector<std::uint8_t> raw(40, 0x4E);
    for (std::uint8_t b : {0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 1, 1, 0xFA, 0x0C})
        raw.push_back(b);
    raw.insert(raw.end(), 22, 0x4E);
    for (std::uint8_t b : {0xA1, 0xA1, 0xA1, 0xFB})
        raw.push_back(b);
    std::vector<std::uint8_t> data(256);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7);
    raw.insert(raw.end(), data.begin(), data.end());
    const std::uint16_t crc = DataFieldCrc(0xFB, data) ^ (goodCrc ? 0 : 1);
    raw.push_back(static_cast<std::uint8_t>(crc >> 8));
    raw.push_back(static_cast<std::uint8_t>(crc));
    std::copy(raw.begin(), raw.end(), track.Raw.begin());
    track.RawLength = static_cast<std::uint16_t>(raw.size());
    track.ParseRaw();
    return track;
}

TEST(RawSectorData, TakesDataAndChecksItsCrc) {
    for (bool good : {true, false}) {
        Track track = TrackWithSector(good);
        EXPECT_EQ(TakeSectorDataFromRaw(track), 1u);
        const SectorSlot& slot = track.Slots[0];
        EXPECT_EQ(slot.DataLength, 256);
        EXPECT_EQ(slot.Data[3], 21);
        EXPECT_EQ(slot.DataGood, good ? kDataGood : 0);
    }
}

TEST(RawSectorData, CutDataFieldIsLeftAlone) {
    Track track = TrackWithSector(true);
    track.RawLength = static_cast<std::uint16_t>(track.RawLength - 1);
    EXPECT_EQ(TakeSectorDataFromRaw(track), 0u);
    EXPECT_EQ(track.Slots[0].DataLength, 0);
}

TEST(RawSectorData, SectorAlreadyReadIsKept) {
    Track track = TrackWithSector(true);
    track.Slots[0].DataLength = 5;
    EXPECT_EQ(TakeSectorDataFromRaw(track), 0u);
    EXPECT_EQ(track.Slots[0].DataLength, 5);
}

}  // namespace
}  // namespace morvane
