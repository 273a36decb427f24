// Faults of the drive and the link injected at the controller: no disk, write protect,
// commands that get no answer, noise between frames and a device that vanishes, each as the
// host sees it in the byte stream. The media's faults have MediaFaultsTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "WireFixture.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Record;
using test::ShortFrame;

constexpr std::uint8_t kStatus = 0x02, kSeek = 0x10, kReadSector = 0x21, kReadTrack = 0x23,
                       kReadSectors = 0x24, kWriteSector = 0x31;

// The demo disk: TR-DOS, 16 sectors of 256 bytes on tracks 0..159.
class FaultInjectionTest : public test::WireTest {};

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

}  // namespace
}  // namespace morvane::virt
