// Every injected fault shows up in the byte stream the way a WD1793 behind the real
// controller would report it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "HostSide.h"
#include "controller/virtual/VirtualController.h"
#include "model/Checksums.h"
#include "model/Track.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Host;
using test::Record;
using test::ShortFrame;

constexpr std::uint8_t kStatus = 0x02, kSeek = 0x10, kReadAddresses = 0x20, kReadSector = 0x21,
                       kReadTrack = 0x23, kReadSectors = 0x24, kWriteSector = 0x31;

// The demo disk: TR-DOS, 16 sectors of 256 bytes on tracks 0..159.
class FaultInjectionTest : public ::testing::Test {
  protected:
    FaultInjectionTest() : host(vc) { EXPECT_EQ(host.Open(), kFtOk); }

    Record One(const Bytes& frame) {
        const auto records = host.Exchange(frame);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? Record{} : records.front();
    }

    VirtualController vc;
    Host host;
};

TEST_F(FaultInjectionTest, DataCrcErrorGivesCrcBitAndTheData) {
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

TEST_F(FaultInjectionTest, WeakSectorRecoversAfterItsBadReads) {
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

TEST_F(FaultInjectionTest, IdCrcErrorShowsInAddressesAndHidesTheSector) {
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

TEST_F(FaultInjectionTest, IdCrcErrorCanStopTheScanWithTheIdsReadSoFar) {
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
TEST_F(FaultInjectionTest, ScanBreaksOffWithPartialIds) {
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

TEST_F(FaultInjectionTest, RawReadBreaksOffWithPartialDataForItsReads) {
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

TEST_F(FaultInjectionTest, RawReadLengthVariesByAFewBytesFromReadToRead) {
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

TEST_F(FaultInjectionTest, MissingSectorIsGoneFromEveryRead) {
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
    auto track = std::make_unique<TTrack>();
    std::copy(raw.Data.begin(), raw.Data.end(), track->Raw.begin());
    track->RawLength = static_cast<std::uint16_t>(raw.Data.size());
    track->ParseRaw();
    EXPECT_EQ(track->SectorCount, 15);
    for (std::uint8_t i = 0; i < track->SectorCount; ++i)
        EXPECT_NE(track->Slots[i].Sector, 12);
}

TEST_F(FaultInjectionTest, UnstableBytesDifferBetweenRawReadsButTheVoteRestoresThem) {
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

TEST_F(FaultInjectionTest, NoDiskGivesNotReady) {
    vc.EjectDisk(Drive::A);
    EXPECT_EQ(One(ShortFrame(kStatus)).Status[0], 0x80);
    EXPECT_EQ(One(ShortFrame(kReadSector, {1})).Status, (Bytes{0x80, 1}));
    Bytes block{1};
    block.resize(257);
    const auto write = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(write.size(), 2u);
    EXPECT_EQ(write[1].Status, (Bytes{0x80, 1}));
}

TEST_F(FaultInjectionTest, WriteProtectShowsInStatusAndRefusesTheWrite) {
    vc.SetWriteProtected(Drive::A, true);
    EXPECT_TRUE(One(ShortFrame(kStatus)).Data[0] & 0x40);
    One(ShortFrame(kSeek, {30}));
    const Bytes before = One(ShortFrame(kReadSector, {2})).Data;
    Bytes block{2};
    block.resize(257, 0x99);
    const auto write = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(write.size(), 2u);
    EXPECT_EQ(write[1].Status, (Bytes{0x40, 2}));
    EXPECT_EQ(One(ShortFrame(kReadSector, {2})).Data, before);
}

TEST_F(FaultInjectionTest, SilencedCommandGetsNoAnswerAndTheNextOneDoes) {
    vc.SilenceNextCommands(1);
    EXPECT_TRUE(host.Exchange(ShortFrame(kSeek, {8})).empty());
    const Record next = One(ShortFrame(kSeek, {8}));
    EXPECT_EQ(next.Data[1], 8);
    vc.SilenceCommand(kReadTrack);
    EXPECT_TRUE(host.Exchange(ShortFrame(kReadTrack)).empty());
    EXPECT_TRUE(host.Exchange(ShortFrame(kReadTrack)).empty());
    EXPECT_FALSE(One(ShortFrame(kStatus)).Error);
    vc.SilenceCommand(kReadTrack, false);
    EXPECT_EQ(host.Exchange(ShortFrame(kReadTrack)).size(), 1u);
}

TEST_F(FaultInjectionTest, SilenceAfterSomeCommandsHitsOnlyTheCommandsAfterThem) {
    vc.SilenceCommandsAfter(2, 2);
    EXPECT_EQ(host.Exchange(ShortFrame(kSeek, {4})).size(), 1u);
    EXPECT_EQ(host.Exchange(ShortFrame(kStatus)).size(), 1u);
    EXPECT_TRUE(host.Exchange(ShortFrame(kSeek, {5})).empty());
    EXPECT_TRUE(host.Exchange(ShortFrame(kStatus)).empty());
    EXPECT_EQ(One(ShortFrame(kSeek, {6})).Data[1], 6);
}

TEST_F(FaultInjectionTest, TornFrameNoiseLeadsEveryFrame) {
    vc.SetGarbageSeed(11);
    vc.SetGarbageBetweenFrames(true, 12, GarbageKind::TornFrame);
    host.Send(ShortFrame(kStatus));
    const Bytes stream = host.Drain();
    // The noise holds a frame start of its own before the real one.
    ASSERT_GE(std::count(stream.begin(), stream.end(), 0x0A), 2);
    EXPECT_EQ(std::count(stream.begin(), stream.end(), 0x0B), 0);
    EXPECT_EQ(stream.back(), 0xAA);
}

TEST_F(FaultInjectionTest, GarbageBetweenFramesAppearsAndIsPassedOver) {
    One(ShortFrame(kSeek, {3}));
    const Record expected = One(ShortFrame(kReadSector, {4}));
    vc.SetGarbageBetweenFrames(true, 6);
    const std::size_t ignoredBefore = host.decoder.IgnoredBytes;
    const auto records = host.Exchange(BlockFrame(kReadSectors, Bytes{4, 5, 4}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Data, expected.Data);
    EXPECT_EQ(records[2].Data, expected.Data);
    EXPECT_GE(host.decoder.IgnoredBytes - ignoredBefore, 3u);  // at least one per frame
}

TEST_F(FaultInjectionTest, GarbageBytesLeadEveryFrame) {
    vc.SetGarbageBetweenFrames(true, 4);
    host.Send(ShortFrame(kStatus));
    const Bytes stream = host.Drain();
    ASSERT_FALSE(stream.empty());
    EXPECT_NE(stream[0], 0x0A);
    const auto start = std::find(stream.begin(), stream.end(), 0x0A);
    ASSERT_NE(start, stream.end());
    EXPECT_LE(start - stream.begin(), 4);
    EXPECT_EQ(stream.back(), 0xAA);
}

TEST_F(FaultInjectionTest, SeekFaultsAnswerAnotherTrackOrSeekError) {
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

TEST_F(FaultInjectionTest, WrongTrackSeekLeavesTheHeadWhereItAnswered) {
    vc.Faults().AddSeekFault(SeekFaultKind::WrongTrack, 1);
    const Record r = One(ShortFrame(kSeek, {40}));
    const Record addresses = One(ShortFrame(kReadAddresses));
    ASSERT_FALSE(addresses.Error);
    EXPECT_EQ(addresses.Data[0], r.Data[1] / 2);  // C of the cylinder actually reached
}

TEST_F(FaultInjectionTest, VanishedDeviceFailsEveryCall) {
    One(ShortFrame(kStatus));
    vc.Vanish();
    std::uint32_t n = 0, rx = 0, tx = 0, ev = 0;
    std::string text;
    Bytes buffer(16);
    EXPECT_NE(vc.DeviceCount(n), kFtOk);
    EXPECT_EQ(n, 0u);
    EXPECT_NE(vc.DeviceDescription(0, text), kFtOk);
    EXPECT_NE(vc.DeviceSerialNumber(0, text), kFtOk);
    EXPECT_NE(vc.OpenByDescription("USB <-> Parallel"), kFtOk);
    EXPECT_NE(vc.SetUsbParameters(32768, 32768), kFtOk);
    EXPECT_NE(vc.SetBaudRate(921600), kFtOk);
    EXPECT_NE(vc.SetDataCharacteristics(8, 0, 0), kFtOk);
    EXPECT_NE(vc.SetFlowControl(0, 0x11, 0x13), kFtOk);
    EXPECT_NE(vc.SetChars(0, false, 0, false), kFtOk);
    EXPECT_NE(vc.SetDivisor(1), kFtOk);
    EXPECT_NE(vc.SetTimeouts(10, 10), kFtOk);
    EXPECT_NE(vc.Purge(kFtPurgeRx), kFtOk);
    EXPECT_NE(vc.SetBitMode(0xFF, 0), kFtOk);
    EXPECT_NE(vc.GetQueueStatus(n), kFtOk);
    EXPECT_NE(vc.GetStatus(rx, tx, ev), kFtOk);
    std::uint32_t got = 7;
    EXPECT_NE(vc.Read(buffer, got), kFtOk);
    EXPECT_EQ(got, 0u);
    std::uint32_t written = 7;
    EXPECT_NE(vc.Write(ShortFrame(kStatus), written), kFtOk);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(vc.Close(), kFtOk);
    EXPECT_FALSE(vc.IsOpen());

    vc.Reappear();
    EXPECT_EQ(host.Open(), kFtOk);
    EXPECT_FALSE(One(ShortFrame(kStatus)).Error);
}

TEST_F(FaultInjectionTest, DeviceVanishesMidRunAfterAnsweringSomeCommands) {
    vc.VanishAfterCommands(2);
    EXPECT_EQ(host.Exchange(ShortFrame(kStatus)).size(), 1u);
    EXPECT_FALSE(vc.Vanished());
    host.Send(ShortFrame(kStatus));  // answered, then gone before the host reads it
    EXPECT_TRUE(vc.Vanished());
    std::uint32_t queued = 0;
    EXPECT_NE(vc.GetQueueStatus(queued), kFtOk);
    EXPECT_NE(host.Send(ShortFrame(kStatus)), kFtOk);
}

TEST_F(FaultInjectionTest, ClearedFaultsLeaveAHealthyDisk) {
    vc.Faults().AddDataCrcError(Drive::A, 0, 1);
    vc.Faults().AddMissingSector(Drive::A, 0, 2);
    vc.Faults().Clear();
    One(ShortFrame(kSeek, {0}));
    EXPECT_FALSE(One(ShortFrame(kReadSector, {1})).Error);
    EXPECT_FALSE(One(ShortFrame(kReadSector, {2})).Error);
}

}  // namespace
}  // namespace morvane::virt
