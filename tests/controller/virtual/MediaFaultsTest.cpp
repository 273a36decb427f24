// Faults of the media and the mechanics (MediaFaults) as the host sees them: each shows
// up in the byte stream the way a WD1793 behind the real controller would report it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "WireFixture.h"
#include "model/Checksums.h"
#include "model/Track.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Record;
using test::ShortFrame;

constexpr std::uint8_t kSeek = 0x10, kReadAddresses = 0x20, kReadSector = 0x21,
                       kReadTrack = 0x23, kReadSectors = 0x24;

// The demo disk: TR-DOS, 16 sectors of 256 bytes on tracks 0..159.
class MediaFaultsTest : public test::WireTest {};

TEST_F(MediaFaultsTest, DataCrcErrorGivesCrcBitAndTheData) {
    One(ShortFrame(kSeek, {20}));
    const Bytes good = One(ShortFrame(kReadSector, {7})).Data;
    ASSERT_EQ(good.size(), 256u);
    vc.Faults().AddDataCrcError(Drive::A, 20, 7);
    const Record r = One(ShortFrame(kReadSector, {7}));
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Status, (Bytes{0x08, 7}));
    EXPECT_EQ(r.Data, good);
    // Another track, another drive or another sector is not affected.
    EXPECT_FALSE(One(ShortFrame(kReadSector, {8})).Error);
    One(ShortFrame(kSeek, {22}));
    EXPECT_FALSE(One(ShortFrame(kReadSector, {7})).Error);
}

TEST_F(MediaFaultsTest, WeakSectorRecoversAfterItsBadReads) {
    One(ShortFrame(kSeek, {21}));
    vc.Faults().AddDataCrcError(Drive::A, 21, 4, 2);
    EXPECT_EQ(One(ShortFrame(kReadSector, {4})).Status, (Bytes{0x08, 4}));
    const auto list = host.Exchange(BlockFrame(kReadSectors, Bytes{3, 4}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_FALSE(list[0].Error);
    EXPECT_TRUE(list[1].Error);
    EXPECT_FALSE(One(ShortFrame(kReadSector, {4})).Error);
    EXPECT_FALSE(One(ShortFrame(kReadSector, {4})).Error);
}

// Weak media: each read turns other bytes, the CRC is bad exactly when a byte turned, and
// the same seed gives the same reads.
TEST_F(MediaFaultsTest, WeakSectorTurnsBytesOnEachReadWithTheCrcBadUnlessNoneTurned) {
    One(ShortFrame(kSeek, {20}));
    const Bytes good = One(ShortFrame(kReadSector, {7})).Data;
    vc.Faults().AddWeakSector(Drive::A, 20, 7, 0.01);
    auto reads = [&](std::uint32_t seed) {
        vc.Faults().SetRandomSeed(seed);
        std::vector<Bytes> seen;
        for (int i = 0; i < 30; ++i) {
            const Record r = One(ShortFrame(kReadSector, {7}));
            EXPECT_EQ(r.Error, r.Data != good);
            seen.push_back(r.Data);
        }
        return seen;
    };
    const std::vector<Bytes> first = reads(3);
    EXPECT_EQ(reads(3), first);
    const std::set<Bytes> distinct(first.begin(), first.end());
    EXPECT_GT(distinct.size(), 20u);  // 1 - 0.99^256: nine reads in ten turn a byte
    EXPECT_FALSE(One(ShortFrame(kReadSector, {8})).Error);
}

TEST_F(MediaFaultsTest, IdCrcErrorShowsInAddressesAndHidesTheSector) {
    One(ShortFrame(kSeek, {5}));
    vc.Faults().AddIdCrcError(Drive::A, 5, 3);
    const Record addresses = One(ShortFrame(kReadAddresses));
    ASSERT_EQ(addresses.Data.size(), 16u * 6);
    const std::uint8_t* id = &addresses.Data[2 * 6];
    ASSERT_EQ(id[2], 3);
    EXPECT_NE(id[4] << 8 | id[5], IdFieldCrc(id[0], id[1], id[2], id[3]));
    const Record r = One(ShortFrame(kReadSector, {3}));
    EXPECT_EQ(r.Status, (Bytes{0x18, 3}));
    EXPECT_TRUE(r.Data.empty());
}

TEST_F(MediaFaultsTest, IdCrcErrorCanStopTheScanWithTheIdsReadSoFar) {
    One(ShortFrame(kSeek, {5}));
    vc.Faults().AddIdCrcError(Drive::A, 5, 3, IdCrcScan::StopsScan);
    const Record scan = One(ShortFrame(kReadAddresses));
    ASSERT_TRUE(scan.Error);
    EXPECT_EQ(scan.Status, (Bytes{0x08, 3}));
    ASSERT_EQ(scan.Data.size(), 3u * 6) << "the IDs up to and including the bad one";
    const std::uint8_t* id = &scan.Data[2 * 6];
    EXPECT_EQ(id[2], 3);
    EXPECT_NE(id[4] << 8 | id[5], IdFieldCrc(id[0], id[1], id[2], id[3]));
}

// READ ADDRESS that breaks off: the IDs read before the break, then the status.
TEST_F(MediaFaultsTest, ScanBreaksOffWithPartialIds) {
    struct Case {
        std::size_t kept;
        std::uint8_t status;
        std::size_t bytes;
    };
    for (const Case c : {Case{4, 0x04, 24}, Case{0, 0x10, 0}, Case{99, 0x04, 96}}) {
        SCOPED_TRACE(c.kept);
        vc.Faults().Clear();
        One(ShortFrame(kSeek, {6}));
        vc.Faults().AddScanBreak(Drive::A, 6, c.kept, c.status);
        const Record scan = One(ShortFrame(kReadAddresses));
        ASSERT_TRUE(scan.Error);
        EXPECT_EQ(scan.Status, (Bytes{c.status, 0}));
        EXPECT_EQ(scan.Data.size(), c.bytes);
        One(ShortFrame(kSeek, {7}));
        EXPECT_FALSE(One(ShortFrame(kReadAddresses)).Error) << "another track scans whole";
    }
}

TEST_F(MediaFaultsTest, RawReadBreaksOffWithPartialDataForItsReads) {
    One(ShortFrame(kSeek, {7}));
    const Bytes whole = One(ShortFrame(kReadTrack)).Data;
    vc.Faults().AddRawReadBreak(Drive::A, 7, 3000, 0x04, 1);
    const Record cut = One(ShortFrame(kReadTrack));
    ASSERT_TRUE(cut.Error);
    EXPECT_EQ(cut.Status, (Bytes{0x04, 0}));
    EXPECT_EQ(cut.Data, Bytes(whole.begin(), whole.begin() + 3000));
    EXPECT_EQ(One(ShortFrame(kReadTrack)).Data, whole) << "the next read is whole again";
    vc.Faults().AddRawReadBreak(Drive::A, 7, 100, 0x04, 1, 2);
    EXPECT_EQ(One(ShortFrame(kReadTrack)).Data, whole) << "two whole reads first";
    EXPECT_EQ(One(ShortFrame(kReadTrack)).Data, whole);
    EXPECT_EQ(One(ShortFrame(kReadTrack)).Data.size(), 100u) << "then the break";
    EXPECT_EQ(One(ShortFrame(kReadTrack)).Data, whole);
}

TEST_F(MediaFaultsTest, RawReadLengthVariesByAFewBytesFromReadToRead) {
    One(ShortFrame(kSeek, {8}));
    const Bytes whole = One(ShortFrame(kReadTrack)).Data;
    vc.Faults().AddRawLengthJitter(Drive::A, 8, 5);
    std::set<std::size_t> lengths;
    for (int i = 0; i < 30; ++i) {
        const Record r = One(ShortFrame(kReadTrack));
        ASSERT_FALSE(r.Error);
        ASSERT_GE(r.Data.size() + 5, whole.size());
        ASSERT_LE(r.Data.size(), whole.size() + 5);
        lengths.insert(r.Data.size());
        // Past the index the head reads the start of the track again.
        for (std::size_t k = 0; k < r.Data.size(); ++k)
            ASSERT_EQ(r.Data[k], whole[k % whole.size()]) << k;
    }
    EXPECT_GT(lengths.size(), 3u);
}

TEST_F(MediaFaultsTest, MissingSectorIsGoneFromEveryRead) {
    One(ShortFrame(kSeek, {9}));
    vc.Faults().AddMissingSector(Drive::A, 9, 12);
    EXPECT_EQ(One(ShortFrame(kReadAddresses)).Data.size(), 15u * 6);
    EXPECT_EQ(One(ShortFrame(kReadSector, {12})).Status, (Bytes{0x10, 12}));
    const auto list = host.Exchange(BlockFrame(kReadSectors, Bytes{11, 12, 13}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_FALSE(list[0].Error);
    EXPECT_TRUE(list[1].Error);
    EXPECT_FALSE(list[2].Error);
    const Record raw = One(ShortFrame(kReadTrack));
    auto track = std::make_unique<Track>();
    std::copy(raw.Data.begin(), raw.Data.end(), track->Raw.begin());
    track->RawLength = static_cast<std::uint16_t>(raw.Data.size());
    track->ParseRaw();
    EXPECT_EQ(track->SectorCount, 15);
    for (std::uint8_t i = 0; i < track->SectorCount; ++i)
        EXPECT_NE(track->Slots[i].Sector, 12);
}

TEST_F(MediaFaultsTest, UnstableBytesDifferBetweenRawReadsButTheVoteRestoresThem) {
    One(ShortFrame(kSeek, {4}));
    const Bytes stable = One(ShortFrame(kReadTrack)).Data;
    vc.Faults().AddUnstableBytes(Drive::A, 4, 500, 40, 0.3);
    std::vector<Bytes> reads;
    for (int i = 0; i < 10; ++i)
        reads.push_back(One(ShortFrame(kReadTrack)).Data);
    bool anyDiffers = false;
    for (const Bytes& read : reads) {
        ASSERT_EQ(read.size(), stable.size());
        anyDiffers = anyDiffers || read != stable;
        // Outside the unstable range every read is exact.
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + 500, stable.begin()));
        EXPECT_TRUE(std::equal(read.begin() + 540, read.end(), stable.begin() + 540));
    }
    EXPECT_TRUE(anyDiffers);
    for (std::size_t p = 500; p < 540; ++p) {
        std::map<std::uint8_t, int> votes;
        for (const Bytes& read : reads)
            ++votes[read[p]];
        EXPECT_GE(votes[stable[p]], 4) << p;
    }
    // Sector reads do not see the unstable bytes.
    EXPECT_FALSE(One(ShortFrame(kReadSector, {1})).Error);
}

TEST_F(MediaFaultsTest, SeekFaultsAnswerAnotherTrackOrSeekError) {
    vc.Faults().AddSeekFault(SeekFaultKind::WrongTrack, 2, 40);
    Record r = One(ShortFrame(kSeek, {40}));
    ASSERT_FALSE(r.Error);
    EXPECT_NE(r.Data[1], 40);
    EXPECT_EQ(One(ShortFrame(kSeek, {10})).Data[1], 10);  // other targets are fine
    EXPECT_NE(One(ShortFrame(kSeek, {40})).Data[1], 40);
    EXPECT_EQ(One(ShortFrame(kSeek, {40})).Data[1], 40);  // used up after two

    vc.Faults().AddSeekFault(SeekFaultKind::SeekError, 1);
    r = One(ShortFrame(kSeek, {12}));
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Status[0], 0x10);
    EXPECT_EQ(One(ShortFrame(kSeek, {12})).Data[1], 12);
}

TEST_F(MediaFaultsTest, WrongTrackSeekLeavesTheHeadWhereItAnswered) {
    vc.Faults().AddSeekFault(SeekFaultKind::WrongTrack, 1);
    const Record r = One(ShortFrame(kSeek, {40}));
    const Record addresses = One(ShortFrame(kReadAddresses));
    ASSERT_FALSE(addresses.Error);
    EXPECT_EQ(addresses.Data[0], r.Data[1] / 2);  // C of the cylinder actually reached
}

TEST_F(MediaFaultsTest, ClearedFaultsLeaveAHealthyDisk) {
    vc.Faults().AddDataCrcError(Drive::A, 0, 1);
    vc.Faults().AddMissingSector(Drive::A, 0, 2);
    vc.Faults().Clear();
    One(ShortFrame(kSeek, {0}));
    EXPECT_FALSE(One(ShortFrame(kReadSector, {1})).Error);
    EXPECT_FALSE(One(ShortFrame(kReadSector, {2})).Error);
}

}  // namespace
}  // namespace morvane::virt
