// Merging images of one disk: damaged copies give back the original, a vote is checked
// against the CRC a raw track records, and what cannot be settled is reported.
#include "model/ImageMerge.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/Checksums.h"
#include "model/SectorVote.h"
#include "support/Patterns.h"
#include "support/RawTracks.h"
#include "support/SectorDisks.h"

namespace morvane {
namespace {

using test::Damaged;
using test::PutRaw;
using test::PutSector;

constexpr int kTracks = 4;
constexpr int kSectors = 16;

Bytes Original(int track, int r) {
    return test::RandomBytes(256, static_cast<unsigned>(track * 100 + r));
}

class ImageMergeTest : public ::testing::Test {
  protected:
    // A copy of the original disk whose listed sectors (track, r) read bad with one turned
    // byte at `at`.
    DiskImage& Copy(std::initializer_list<std::pair<int, int>> bad, std::size_t at) {
        disks_.push_back(std::make_unique<DiskImage>());
        DiskImage& disk = *disks_.back();
        for (int t = 0; t < kTracks; ++t)
            for (int r = 1; r <= kSectors; ++r) {
                const bool isBad = std::ranges::find(bad, std::pair{t, r}) != bad.end();
                PutSector(disk, static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(r - 1),
                          static_cast<std::uint8_t>(r), 1,
                          isBad ? Damaged(Original(t, r), {at}) : Original(t, r), !isBad);
            }
        return disk;
    }

    MergeReport Merge() {
        std::vector<const DiskImage*> inputs;
        for (const auto& d : disks_)
            inputs.push_back(d.get());
        return MergeImages(inputs, merged);
    }

    Bytes MergedData(int t, int r) {
        const SectorSlot& s = *merged.FindSector(static_cast<std::uint8_t>(t),
                                                  static_cast<std::uint8_t>(r));
        const auto bytes = s.Data.first(s.DataLength);
        return Bytes(bytes.begin(), bytes.end());
    }

    std::vector<std::unique_ptr<DiskImage>> disks_;
    DiskImage merged;
};

TEST_F(ImageMergeTest, ThreeCopiesBadInDifferentSectorsGiveBackTheOriginal) {
    Copy({{0, 1}, {1, 5}, {3, 16}}, 3);
    Copy({{0, 2}, {1, 6}, {2, 9}}, 4);
    Copy({{0, 3}, {2, 10}}, 5);
    const MergeReport report = Merge();
    EXPECT_EQ(report.BadLeft(), 0);
    EXPECT_EQ(report.clean, kTracks * kSectors);
    EXPECT_TRUE(report.rows.empty());
    for (int t = 0; t < kTracks; ++t)
        for (int r = 1; r <= kSectors; ++r) {
            EXPECT_EQ(MergedData(t, r), Original(t, r)) << t << " " << r;
            EXPECT_EQ(merged.FindSector(std::uint8_t(t), std::uint8_t(r))->DataGood, kDataGood);
        }
}

TEST_F(ImageMergeTest, SectorBadInEveryCopyIsRecoveredByVoteAndCheckedAgainstTheRawCrc) {
    Copy({{2, 7}}, 10);
    Copy({{2, 7}}, 20);
    DiskImage& withRaw = Copy({{2, 7}}, 30);
    // The third dump holds the raw track, whose data field is as damaged as its slot but
    // whose CRC is the one written.
    PutRaw(*withRaw.GetTrack(2),
           test::RawTrackOf({{1, 0, 7, 1, Damaged(Original(2, 7), {30}),
                              DataFieldCrc(0xFB, Original(2, 7))}}));
    const MergeReport report = Merge();
    EXPECT_EQ(report.BadLeft(), 0);
    EXPECT_EQ(report.voted, 1);
    EXPECT_EQ(MergedData(2, 7), Original(2, 7));
    EXPECT_EQ(CurrentOrigin(*merged.FindSector(2, 7)), SectorOrigin::Voted);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].voted, 1);
}

TEST_F(ImageMergeTest, VoteFailingTheCrcStaysBadAndIsReported) {
    Copy({{1, 4}}, 10);
    Copy({{1, 4}}, 10);  // two copies damaged alike outvote the third
    DiskImage& withRaw = Copy({{1, 4}}, 11);
    PutRaw(*withRaw.GetTrack(1), test::RawTrackOf({{0, 1, 4, 1, Damaged(Original(1, 4), {11}),
                                                    DataFieldCrc(0xFB, Original(1, 4))}}));
    const MergeReport report = Merge();
    EXPECT_EQ(report.unresolved, 1);
    EXPECT_EQ(merged.FindSector(1, 4)->DataGood, 0);
    EXPECT_EQ(CurrentOrigin(*merged.FindSector(1, 4)), SectorOrigin::BestGuess);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].bad, (std::vector<std::uint8_t>{4}));
    const std::vector<std::string> lines = MergeReportLines(report, kMergeWordsEnglish);
    EXPECT_EQ(lines[1], "    1     15      0           1        0  4");
    EXPECT_EQ(lines.back(),
              "total: tracks 4, sectors 64: clean 63, voted 0, unresolved 1, missing 0");
}

TEST_F(ImageMergeTest, ConflictingGoodCopiesAreReported) {
    Copy({}, 0);
    DiskImage& other = Copy({}, 0);
    other.FindSector(3, 2)->Data[5] ^= 1;
    const MergeReport report = Merge();
    EXPECT_EQ(report.conflicts, 1);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].conflicts, (std::vector<std::uint8_t>{2}));
    EXPECT_EQ(MergedData(3, 2), Original(3, 2));  // the earlier copy on a tie
}

TEST_F(ImageMergeTest, MajorityLayoutWinsAndTheDisagreementIsReported) {
    Copy({}, 0);
    DiskImage& odd = Copy({}, 0);
    Copy({}, 0);
    odd.GetTrack(1)->ClearSlot(15);
    const MergeReport report = Merge();
    EXPECT_EQ(merged.GetTrack(1)->CountSectors(), kSectors);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].otherLayouts, 1);
    EXPECT_EQ(report.BadLeft(), 0);
}

TEST_F(ImageMergeTest, SectorWithoutDataAnywhereIsMissing) {
    Copy({}, 0).FindSector(0, 9)->DataLength = 0;
    Copy({}, 0).FindSector(0, 9)->DataLength = 0;
    const MergeReport report = Merge();
    EXPECT_EQ(report.missing, 1);
    EXPECT_EQ(report.BadLeft(), 1);
}

}  // namespace
}  // namespace morvane
