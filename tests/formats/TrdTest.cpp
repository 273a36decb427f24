#include "formats/Trd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/udi/Udi.h"
#include "model/Checksums.h"
#include "support/BrokenFiles.h"
#include "support/Corpus.h"
#include "support/Patterns.h"

namespace morvane {
namespace {

constexpr std::size_t kFullTrd = 655360;

// Every byte different enough that a misplaced sector shows.
Bytes PatternTrd(std::size_t size) {
    return test::PatternBytes(size, 7, 13);
}

class TrdTest : public ::testing::Test {
  protected:
    std::unique_ptr<DiskImage> disk = std::make_unique<DiskImage>();
};

TEST_F(TrdTest, ReadsFullDiskAsSixteenSectorsPerTrack) {
    const Bytes file = PatternTrd(kFullTrd);
    ASSERT_TRUE(ReadTrd(file, *disk));
    EXPECT_EQ(disk->CountTracks(), 160);
    for (std::uint8_t t = 0; t < 160; ++t) {
        const Track& track = *disk->GetTrack(t);
        ASSERT_EQ(track.Present, kPresent) << int{t};
        EXPECT_EQ(track.Number, t);
        EXPECT_EQ(track.RawLength, 0);
        EXPECT_EQ(track.RawValid, 0);
        EXPECT_EQ(track.SectorCount, 16);
        for (std::uint8_t p = 0; p < 16; ++p) {
            const SectorSlot& slot = track.Slots[p];
            EXPECT_EQ(slot.Present, kPresent);
            EXPECT_EQ(slot.Cylinder, t / 2);
            EXPECT_EQ(slot.Head, 0);
            EXPECT_EQ(slot.Sector, p + 1);
            EXPECT_EQ(slot.SizeCode, 1);
            EXPECT_EQ(slot.HeaderCrc, IdFieldCrc(static_cast<std::uint8_t>(t / 2), 0,
                                                 static_cast<std::uint8_t>(p + 1), 1));
            EXPECT_EQ(slot.DataGood, kDataGood);
            EXPECT_EQ(slot.DataLength, 256);
            EXPECT_EQ(slot.DataPosition, 0);
            const std::size_t offset = t * kTrdTrackSize + p * kTrdSectorSize;
            ASSERT_TRUE(std::equal(slot.Data.begin(), slot.Data.begin() + 256,
                                   file.begin() + static_cast<std::ptrdiff_t>(offset)))
                << "track " << int{t} << " sector " << p + 1;
        }
        EXPECT_EQ(track.Slots[16].Present, 0);
    }
    EXPECT_EQ(disk->GetTrack(1)->Slots[0].Cylinder, 0);
    EXPECT_EQ(disk->GetTrack(160)->Present, 0);
}

TEST_F(TrdTest, EmptyFileGivesEmptyImage) {
    disk->GetTrack(3)->Present = kPresent;
    EXPECT_TRUE(ReadTrd({}, *disk));
    EXPECT_EQ(disk->CountTracks(), 0);
}

TEST_F(TrdTest, WritesBackByteForByte) {
    const Bytes file = PatternTrd(kFullTrd);
    ASSERT_TRUE(ReadTrd(file, *disk));
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    EXPECT_EQ(out, file);
}

// Each slot takes memory for its sector alone: readers and writers copy 256 bytes, never
// the whole 6500-byte buffer, so a whole image stays within a few megabytes.
TEST_F(TrdTest, ReadingAndWritingHoldOnlyTheSectorBytes) {
    ASSERT_TRUE(ReadTrd(PatternTrd(kFullTrd), *disk));
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    ASSERT_TRUE(WriteUdi(*disk, out));
    for (std::uint8_t t = 0; t < 160; ++t) {
        for (const SectorSlot& slot : disk->GetTrack(t)->Slots)
            ASSERT_LE(slot.Data.Held(), kTrdSectorSize) << int{t};
        EXPECT_EQ(disk->GetTrack(t)->Raw.Held(), 0u) << int{t};
    }
}

// A file that ends inside a track: that track's whole sectors with their data, the others
// as ID fields without data (the file does not say what they held), and a note of the
// bytes missing that marks the image as lacking sectors.
struct CutTrdCase {
    std::size_t size;
    std::uint8_t tracks;
    std::size_t wholeSectors;  // of the last track
    std::string note;          // empty: none
};

class TrdCutTest : public ::testing::TestWithParam<CutTrdCase> {};

TEST_P(TrdCutTest, LoadsTheWholeSectorsAndSaysWhatIsMissing) {
    const CutTrdCase& c = GetParam();
    const Bytes file = PatternTrd(c.size);
    auto disk = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadTrd(file, *disk));
    ASSERT_EQ(disk->CountTracks(), c.tracks);
    const std::uint8_t t = static_cast<std::uint8_t>(c.tracks - 1);
    const Track& last = *disk->GetTrack(t);
    EXPECT_EQ(last.SectorCount, 16);
    for (std::size_t p = 0; p < 16; ++p) {
        const SectorSlot& slot = last.Slots[p];
        const bool whole = p < c.wholeSectors;
        EXPECT_EQ(slot.Present, kPresent) << p;
        EXPECT_EQ(slot.Sector, p + 1);
        EXPECT_EQ(slot.HeaderCrc, IdFieldCrc(static_cast<std::uint8_t>(t / 2), 0,
                                             static_cast<std::uint8_t>(p + 1), 1));
        EXPECT_EQ(slot.DataLength, whole ? 256 : 0) << p;
        EXPECT_EQ(slot.DataGood, whole ? kDataGood : 0) << p;
        if (whole) {
            const std::size_t offset = t * kTrdTrackSize + p * kTrdSectorSize;
            EXPECT_TRUE(std::equal(slot.Data.begin(), slot.Data.begin() + 256,
                                   file.begin() + static_cast<std::ptrdiff_t>(offset)))
                << p;
        }
    }
    if (c.note.empty()) {
        EXPECT_TRUE(disk->LoadNotes.empty());
        return;
    }
    ASSERT_EQ(disk->LoadNotes.size(), 1u);
    EXPECT_EQ(disk->LoadNotes[0].text, c.note);
    EXPECT_TRUE(disk->LoadNotes[0].sectorsMissing);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TrdCutTest,
    ::testing::Values(
        CutTrdCase{1000, 1, 3,
                   "The TRD file ends 1000 bytes into track 0: the last 3096 bytes of the track "
                   "are missing, and its sectors 4..16 are loaded without data (sector 4 has "
                   "only 232 of its 256 bytes)."},
        CutTrdCase{100, 1, 0,
                   "The TRD file ends 100 bytes into track 0: the last 3996 bytes of the track "
                   "are missing, and its sectors 1..16 are loaded without data (sector 1 has "
                   "only 100 of its 256 bytes)."},
        CutTrdCase{kTrdTrackSize + 3000, 2, 11,
                   "The TRD file ends 3000 bytes into track 1: the last 1096 bytes of the track "
                   "are missing, and its sectors 12..16 are loaded without data (sector 12 has "
                   "only 184 of its 256 bytes)."},
        CutTrdCase{kTrdTrackSize + 2048, 2, 8,
                   "The TRD file ends 2048 bytes into track 1: the last 2048 bytes of the track "
                   "are missing, and its sectors 9..16 are loaded without data."},
        CutTrdCase{2 * kTrdTrackSize - 256, 2, 15,
                   "The TRD file ends 3840 bytes into track 1: the last 256 bytes of the track "
                   "are missing, and its sector 16 is loaded without data."},
        CutTrdCase{2 * kTrdTrackSize, 2, 16, ""}),
    [](const auto& p) { return "Bytes" + std::to_string(p.param.size); });

TEST_F(TrdTest, IgnoresTracksPastTheContainer) {
    const Bytes file = PatternTrd(170 * kTrdTrackSize);
    ASSERT_TRUE(ReadTrd(file, *disk));
    EXPECT_EQ(disk->CountTracks(), 166);
    ASSERT_EQ(disk->LoadNotes.size(), 1u);
    EXPECT_EQ(disk->LoadNotes[0].text,
              "The TRD file holds 170 tracks; tracks 166..169 lie beyond the image's 166 tracks "
              "and are not loaded.");
    EXPECT_FALSE(disk->LoadNotes[0].sectorsMissing);
    const SectorSlot& last = disk->GetTrack(165)->Slots[15];
    EXPECT_TRUE(std::equal(last.Data.begin(), last.Data.begin() + 256,
                           file.begin() + 166 * kTrdTrackSize - 256));
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), file.begin()));
    EXPECT_EQ(out.size(), 166 * kTrdTrackSize);
}

TEST_F(TrdTest, WriteFailsWhenATrackLacksASector) {
    ASSERT_TRUE(ReadTrd(PatternTrd(kFullTrd), *disk));
    disk->GetTrack(77)->Slots[15].Sector = 17;
    Bytes out{1, 2, 3};
    EXPECT_FALSE(WriteTrd(*disk, out));
    EXPECT_TRUE(out.empty());
}

TEST_F(TrdTest, WriteLooksForSectorsInFirstSixteenSlotsOnly) {
    ASSERT_TRUE(ReadTrd(PatternTrd(kFullTrd), *disk));
    Track& track = *disk->GetTrack(5);
    track.Slots[16] = track.Slots[15];
    track.Slots[15].Sector = 200;
    Bytes out;
    EXPECT_FALSE(WriteTrd(*disk, out));
}

TEST_F(TrdTest, WriteTakesSectorsInNumberOrderWhateverTheirState) {
    const Bytes file = PatternTrd(2 * kTrdTrackSize);
    ASSERT_TRUE(ReadTrd(file, *disk));
    Track& track = *disk->GetTrack(0);
    std::swap(track.Slots[0], track.Slots[9]);  // physical order differs from numbers
    track.Slots[3].Present = 0;
    track.Slots[4].DataGood = 0;
    track.Slots[5].DataLength = 0;
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    EXPECT_EQ(out, file);
}

TEST_F(TrdTest, WriteTakes256BytesOfLongerSectors) {
    ASSERT_TRUE(ReadTrd(PatternTrd(kTrdTrackSize), *disk));
    for (SectorSlot& slot : disk->GetTrack(0)->Slots) {
        slot.SizeCode = 2;
        slot.DataLength = 512;
        std::fill_n(slot.Data.begin() + 256, 256, std::uint8_t{0xEE});
    }
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    EXPECT_EQ(out, PatternTrd(kTrdTrackSize));
}

TEST_F(TrdTest, WriteWalksTrackNumbersNotPresentTracks) {
    ASSERT_TRUE(ReadTrd(PatternTrd(3 * kTrdTrackSize), *disk));
    disk->GetTrack(1)->Clear();  // tracks 0 and 2 present: two tracks, 0 and 1, written
    Bytes out;
    EXPECT_FALSE(WriteTrd(*disk, out));
}

TEST_F(TrdTest, RemovedMiddleTrackDoesNotCostTheLastTrack) {
    const Bytes file = PatternTrd(3 * kTrdTrackSize);
    ASSERT_TRUE(ReadTrd(file, *disk));
    disk->GetTrack(1)->Present = 0;  // removed from the map, its sectors kept
    Bytes out;
    ASSERT_TRUE(WriteTrd(*disk, out));
    EXPECT_EQ(out, file);
}

TEST_F(TrdTest, CorpusFilesRoundTripByteForByte) {
    MORVANE_CORPUS_OR_SKIP(files, "trd");
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        ASSERT_TRUE(ReadTrd(file, *disk)) << path;
        EXPECT_EQ(disk->CountTracks(), file.size() / kTrdTrackSize) << path;
        Bytes out;
        ASSERT_TRUE(WriteTrd(*disk, out)) << path;
        EXPECT_TRUE(out == file) << path;
    }
}

TEST_F(TrdTest, CutAndDamagedCorpusFilesReadWithinBounds) {
    MORVANE_CORPUS_OR_SKIP(files, "trd");
    std::mt19937 random(1234);
    for (const auto& path : files) {
        const Bytes file = test::LoadFile(path);
        for (std::size_t cut : test::CutLengths(file.size(), {2048, 4096, 6144}, 24)) {
            const std::span<const std::uint8_t> part(file.data(), cut);
            ASSERT_TRUE(ReadTrd(part, *disk)) << path << " cut at " << cut;
            Bytes out;
            ASSERT_TRUE(WriteTrd(*disk, out)) << path << " cut at " << cut;
            const std::size_t whole = cut / kTrdTrackSize * kTrdTrackSize;
            ASSERT_GE(out.size(), whole);
            EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(whole),
                                   file.begin()))
                << path << " cut at " << cut;
        }
        for (int round = 0; round < 4; ++round) {
            const Bytes damaged = test::Damaged(file, random, 64);
            ASSERT_TRUE(ReadTrd(damaged, *disk));
            Bytes out;
            ASSERT_TRUE(WriteTrd(*disk, out));
            EXPECT_EQ(out, damaged);
        }
    }
}

}  // namespace
}  // namespace morvane
