// Weighing a sector's copies: a good copy wins, good copies that disagree are a conflict,
// bad copies are voted byte by byte and the vote is checked against the recorded CRC.
#include "model/SectorVote.h"

#include <gtest/gtest.h>

#include "model/Checksums.h"
#include "model/RawSectorData.h"
#include "support/CaseName.h"
#include "support/Patterns.h"
#include "support/RawTracks.h"

namespace morvane {
namespace {

using test::Damaged;

const Bytes kData = test::RandomBytes(256, 22);
const RecordedCrc kCrc{0xFB, DataFieldCrc(0xFB, kData)};

struct VoteCase {
    const char* name;
    std::vector<SectorCopy> copies;
    std::vector<RecordedCrc> recorded;
    SectorOrigin origin;
    bool original;  // the verdict's data is kData
    bool conflict;
};

class DecideSectorTest : public ::testing::TestWithParam<VoteCase> {};

TEST_P(DecideSectorTest, GivesTheOriginAndData) {
    const VoteCase& c = GetParam();
    const SectorVerdict v = DecideSector(c.copies, c.recorded);
    EXPECT_EQ(v.origin, c.origin);
    EXPECT_EQ(v.data == kData, c.original);
    EXPECT_EQ(v.conflict, c.conflict);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecideSectorTest,
    ::testing::Values(
        VoteCase{"GoodCopyAmongBadOnes",
                 {{Damaged(kData, {1}), false}, {kData, true}, {Damaged(kData, {1}), false}},
                 {}, SectorOrigin::GoodRead, true, false},
        VoteCase{"ThreeBadCopiesVoteBackTheCheckedOriginal",
                 {{Damaged(kData, {0, 9}), false},
                  {Damaged(kData, {100}), false},
                  {Damaged(kData, {255, 3}), false}},
                 {kCrc}, SectorOrigin::Voted, true, false},
        VoteCase{"VoteFailingTheCrcStaysBestGuess",
                 {{Damaged(kData, {7}), false},
                  {Damaged(kData, {7}), false},
                  {Damaged(kData, {8}), false}},
                 {kCrc}, SectorOrigin::BestGuess, false, false},
        VoteCase{"VoteWithoutARecordedCrcIsOnlyAGuess",
                 {{Damaged(kData, {1}), false}, {Damaged(kData, {2}), false},
                  {Damaged(kData, {3}), false}},
                 {}, SectorOrigin::BestGuess, true, false},
        VoteCase{"AnyRecordedCrcThatMatchesCounts",
                 {{Damaged(kData, {1}), false}, {Damaged(kData, {2}), false},
                  {Damaged(kData, {3}), false}},
                 {{0xFB, 0x1234}, kCrc}, SectorOrigin::Voted, true, false},
        VoteCase{"GoodCopiesThatDisagreeAreAConflictTheMajorityWins",
                 {{Damaged(kData, {5}), true}, {kData, true}, {kData, true}},
                 {}, SectorOrigin::GoodRead, true, true},
        VoteCase{"CopiesOfAnotherLengthTakeNoPart",
                 {{Bytes(128, 0), false}, {Damaged(kData, {1}), false},
                  {Damaged(kData, {2}), false}, {Damaged(kData, {4}), false}},
                 {kCrc}, SectorOrigin::Voted, true, false},
        VoteCase{"NoDataIsMissing", {{Bytes{}, false}}, {kCrc}, SectorOrigin::Missing, false,
                 false}),
    test::CaseName());

TEST(VoteCopiesTest, TieGoesToTheEarliestCopy) {
    const std::vector<SectorCopy> copies = {
        {{1, 9}, false}, {{2, 9}, false}, {{2, 8}, false}, {{1, 8}, false}};
    EXPECT_EQ(VoteCopies(copies), (Bytes{1, 9}));
}

TEST(SectorHistoryTest, ARereadAfterTheVoteMakesTheCopiesStale) {
    SectorSlot slot;
    slot.Present = kPresent;
    const std::vector<SectorCopy> copies = {{Damaged(kData, {1}), false},
                                            {Damaged(kData, {2}), false},
                                            {Damaged(kData, {3}), false}};
    StoreVerdict(slot, DecideSector(copies, std::vector{kCrc}), {copies, {kCrc}, 0, false});
    EXPECT_EQ(CurrentOrigin(slot), SectorOrigin::Voted);
    EXPECT_EQ(slot.DataGood, kDataGood);
    EXPECT_EQ(CurrentHistory(slot).copies.size(), 3u);
    slot.Data[0] ^= 1;  // a later read stored other bytes
    EXPECT_EQ(CurrentOrigin(slot), SectorOrigin::Unmerged);
    ASSERT_EQ(CurrentHistory(slot).copies.size(), 1u);
    EXPECT_TRUE(CurrentHistory(slot).copies[0].good);
}

TEST(SectorsInRawTest, FindsEachSectorWithItsRecordedCrcAndPairsDataTheWayTheWd1793Does) {
    Bytes raw = test::RawTrackOf({{0, 0, 1, 1, kData, 0}, {0, 0, 2, 1, Bytes(256, 7), 0x4242}});
    const std::vector<RawSectorCopy> found = SectorsInRaw(raw);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].copy.data, kData);
    EXPECT_TRUE(found[0].copy.good);
    EXPECT_EQ(found[0].recorded, kCrc);
    EXPECT_FALSE(found[1].copy.good);
    EXPECT_EQ(found[1].recorded.crc, 0x4242);
    // An ID field whose data mark is gone does not take the next sector's data.
    const Bytes mark = {0xA1, 0xA1, 0xFB};
    const auto first = std::search(raw.begin(), raw.end(), mark.begin(), mark.end());
    first[2] = 0x00;
    const std::vector<RawSectorCopy> after = SectorsInRaw(raw);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].r, 2);
}

}  // namespace
}  // namespace morvane
