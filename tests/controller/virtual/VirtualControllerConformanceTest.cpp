// The emulated controller driven through the driver calls with real command frames, its
// byte stream decoded as the program decodes it: the driver interface, framing, the frame
// log, and images going into and out of its drives. The WD1793 core's commands have
// Wd1793Test.cpp.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "WireFixture.h"
#include "formats/udi/Udi.h"
#include "model/Track.h"
#include "model/DiskImage.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Pattern;
using test::Record;
using test::SectorId;
using test::ShortFrame;
using test::TrDosIds;

constexpr std::uint8_t kStatus = 0x02, kIdentify = 0x00, kReadSector = 0x21, kReadSectors = 0x24,
                       kWriteSector = 0x31, kWriteRegister = 0x04, kReadRegister = 0x05;

class ConformanceTest : public test::BlankDiskWireTest {};

TEST_F(ConformanceTest, ListsItselfAsTheParallelAdapter) {
    std::uint32_t count = 0;
    ASSERT_EQ(vc.DeviceCount(count), kFtOk);
    ASSERT_EQ(count, 1u);
    std::string description, serial;
    EXPECT_EQ(vc.DeviceDescription(0, description), kFtOk);
    EXPECT_EQ(description, "USB <-> Parallel");
    EXPECT_EQ(vc.DeviceSerialNumber(0, serial), kFtOk);
    EXPECT_FALSE(serial.empty());
    EXPECT_NE(vc.DeviceDescription(1, description), kFtOk);
}

TEST_F(ConformanceTest, OpensOnlyByItsDescriptionAndOnlyOnce) {
    VirtualController other({.DemoDiskInDriveA = false});
    EXPECT_EQ(other.OpenByDescription("USB <-> Serial"), kFtDeviceNotFound);
    EXPECT_EQ(other.OpenByDescription("USB <-> Parallel"), kFtOk);
    EXPECT_NE(other.OpenByDescription("USB <-> Parallel"), kFtOk);
    EXPECT_EQ(other.Close(), kFtOk);
    std::uint32_t queued = 0;
    EXPECT_EQ(other.GetQueueStatus(queued), kFtInvalidHandle);
}

TEST_F(ConformanceTest, KeepsTheConfigurationTheHostApplied) {
    EXPECT_EQ(vc.SetUsbParameters(32768, 32768), kFtOk);
    EXPECT_EQ(vc.SetBaudRate(921600), kFtOk);
    EXPECT_EQ(vc.SetDataCharacteristics(8, 0, 0), kFtOk);
    EXPECT_EQ(vc.SetFlowControl(0, 0x11, 0x13), kFtOk);
    EXPECT_EQ(vc.SetChars(0, false, 0, false), kFtOk);
    EXPECT_EQ(vc.SetDivisor(1), kFtOk);
    EXPECT_EQ(vc.SetTimeouts(10, 10), kFtOk);
    EXPECT_EQ(vc.Purge(kFtPurgeRx), kFtOk);
    EXPECT_EQ(vc.Purge(kFtPurgeTx), kFtOk);
    EXPECT_EQ(vc.SetBitMode(0xFF, 0), kFtOk);
    const PortSettings s = vc.Settings();
    EXPECT_EQ(s.BaudRate, 921600u);
    EXPECT_EQ(s.InTransferSize, 32768u);
    EXPECT_EQ(s.Xon, 0x11);
    EXPECT_EQ(s.Xoff, 0x13);
    EXPECT_EQ(s.ReadTimeoutMs, 10u);
    EXPECT_EQ(s.BitMask, 0xFF);
}

TEST_F(ConformanceTest, IdentifiesWithZeroTerminatedText) {
    const Record r = One(ShortFrame(kIdentify));
    ASSERT_FALSE(r.Error);
    ASSERT_FALSE(r.Data.empty());
    EXPECT_EQ(r.Data.back(), 0);
    const std::string text(r.Data.begin(), r.Data.end() - 1);
    EXPECT_NE(text.find("virtual"), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(ConformanceTest, AnswerIsReadableRightAfterTheWrite) {
    ASSERT_EQ(host.Send(ShortFrame(kStatus)), kFtOk);
    std::uint32_t queued = 0;
    ASSERT_EQ(vc.GetQueueStatus(queued), kFtOk);
    EXPECT_GT(queued, 0u);
    std::uint32_t rx = 0, tx = 99, events = 0;
    ASSERT_EQ(vc.GetStatus(rx, tx, events), kFtOk);
    EXPECT_EQ(rx, queued);
    EXPECT_EQ(tx, 0u);
}

TEST_F(ConformanceTest, SectorListReadGivesOneAnswerPerSectorInListOrder) {
    SeekTo(3);
    Format(TrDosIds(1));
    const Bytes list{16, 1, 7, 7};
    const auto records = host.Exchange(BlockFrame(kReadSectors, list));
    ASSERT_EQ(records.size(), 4u);
    for (const Record& r : records) {
        EXPECT_FALSE(r.Error);
        EXPECT_EQ(r.Data, Bytes(256, 0x00));
    }
    const auto withMissing = host.Exchange(BlockFrame(kReadSectors, Bytes{2, 40, 3}));
    ASSERT_EQ(withMissing.size(), 3u);
    EXPECT_FALSE(withMissing[0].Error);
    ASSERT_TRUE(withMissing[1].Error);
    EXPECT_EQ(withMissing[1].Status, (Bytes{0x10, 40}));
    EXPECT_FALSE(withMissing[2].Error);
}

TEST_F(ConformanceTest, CommandsArriveInPiecesAndBackToBack) {
    SeekTo(1);
    Format(TrDosIds(0));
    Bytes both = ShortFrame(kReadSector, {2});
    const Bytes second = ShortFrame(kStatus);
    both.insert(both.end(), second.begin(), second.end());
    for (std::uint8_t b : both)
        host.Send(Bytes{b});
    host.Drain();
    ASSERT_EQ(host.decoder.Records.size(), 1u + 2u + 2u);  // seek, format, read, status
    const auto frames = vc.ReceivedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].Code, kReadSector);
    EXPECT_EQ(frames[2].Payload, Bytes{2});
}

TEST_F(ConformanceTest, UnknownCodeIsLoggedButNotAnswered) {
    EXPECT_TRUE(host.Exchange(ShortFrame(0x77)).empty());
    const auto frames = vc.ReceivedFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].Known);
    EXPECT_EQ(One(ShortFrame(kStatus)).Error, false);
}

TEST_F(ConformanceTest, PurgeDropsBytesNotYetRead) {
    host.Send(ShortFrame(kStatus));
    EXPECT_EQ(vc.Purge(kFtPurgeRx), kFtOk);
    std::uint32_t queued = 1;
    EXPECT_EQ(vc.GetQueueStatus(queued), kFtOk);
    EXPECT_EQ(queued, 0u);
}

TEST_F(ConformanceTest, CallbackFiresWhenAnAnswerArrives) {
    int calls = 0;
    vc.SetDataArrivedCallback([&] { ++calls; });
    host.Send(ShortFrame(kStatus));
    EXPECT_EQ(calls, 1);
    host.Send(ShortFrame(0x77));  // no answer, no call
    EXPECT_EQ(calls, 1);
    vc.SetDataArrivedCallback({});
    host.Send(ShortFrame(kStatus));
    EXPECT_EQ(calls, 1);
}

TEST_F(ConformanceTest, ReopeningDropsAnswersOfTheEarlierSession) {
    host.Send(ShortFrame(kStatus));
    ASSERT_EQ(vc.Close(), kFtOk);
    ASSERT_EQ(host.Open(), kFtOk);
    std::uint32_t queued = 1;
    ASSERT_EQ(vc.GetQueueStatus(queued), kFtOk);
    EXPECT_EQ(queued, 0u);
}

TEST_F(ConformanceTest, FrameLogKeepsTheRecentFrames) {
    for (int i = 0; i < 5000; ++i)
        host.Send(ShortFrame(kReadRegister, {static_cast<std::uint8_t>(i)}));
    const auto frames = vc.ReceivedFrames();
    EXPECT_LE(frames.size(), 4096u);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().Payload, Bytes{static_cast<std::uint8_t>(4999)});
    vc.ClearReceivedFrames();
    EXPECT_TRUE(vc.ReceivedFrames().empty());
}

TEST_F(ConformanceTest, DiskWrittenThroughTheDriveSavesAsUdiAndLoadsBack) {
    SeekTo(1);
    std::vector<SectorId> ids;
    for (std::uint8_t r = 1; r <= 5; ++r)
        ids.push_back({4, 1, static_cast<std::uint8_t>(r * 2), 3});
    Format(ids);
    const Bytes data = Pattern(1024, 0x90);
    Bytes block{6};
    block.insert(block.end(), data.begin(), data.end());
    ASSERT_EQ(host.Exchange(BlockFrame(kWriteSector, block)).size(), 2u);

    auto image = std::make_unique<DiskImage>();
    ASSERT_TRUE(vc.SaveImage(Drive::A, *image));
    EXPECT_EQ(image->CountTracks(), 1);
    const Track* saved = image->GetTrack(1);
    ASSERT_GE(saved->SectorCount, 5);
    EXPECT_EQ(saved->Slots[2].Sector, 6);
    EXPECT_EQ(saved->Slots[2].Head, 1);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), saved->Slots[2].Data.begin()));
    EXPECT_EQ(saved->Slots[2].DataGood, kDataGood);

    // One present track: the UDI writer stores the first cylinder, which holds it.
    Bytes udi;
    ASSERT_TRUE(WriteUdi(*image, udi));
    auto loaded = std::make_unique<DiskImage>();
    ASSERT_TRUE(ReadUdi(udi, *loaded)) << loaded->LastError;
    vc.LoadImage(Drive::B, *loaded);
    One(ShortFrame(kWriteRegister, {0x28, 0x01}));
    SeekTo(1);
    EXPECT_EQ(One(ShortFrame(kReadSector, {6})).Data, data);
    EXPECT_EQ(One(ShortFrame(kReadSector, {2})).Data, Bytes(1024, 0x00));
    EXPECT_TRUE(One(ShortFrame(kReadSector, {1})).Error);
}

TEST_F(ConformanceTest, SurvivesRandomFramesAndNoise) {
    // Any frame the host could send, well formed or not: the device keeps answering in
    // well-formed records and never reads or writes out of bounds (checked by the
    // sanitizer build).
    std::mt19937 random(1793);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::uint8_t codes[] = {0x00, 0x02, 0x04, 0x05, 0x10, 0x20, 0x21, 0x23, 0x24, 0x30, 0x31};
    for (int i = 0; i < 300; ++i) {
        const std::uint8_t code = codes[static_cast<std::size_t>(byte(random)) % std::size(codes)];
        Bytes payload(static_cast<std::size_t>(byte(random)) % 40);
        for (auto& b : payload)
            b = static_cast<std::uint8_t>(byte(random));
        if (code == 0x04) payload = {0x28, static_cast<std::uint8_t>(byte(random) & 1)};
        Bytes frame = (code == 0x24 || code == 0x30 || code == 0x31)
                          ? BlockFrame(code, payload)
                          : ShortFrame(code, {static_cast<std::uint8_t>(byte(random)),
                                              static_cast<std::uint8_t>(byte(random))});
        host.Send(frame);
        Bytes noise(static_cast<std::size_t>(byte(random)) % 8);
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(byte(random) | 0x80);
        host.Send(noise);
    }
    host.Drain();
    EXPECT_GT(host.decoder.Records.size(), 100u);
    for (const Record& r : host.decoder.Records) {
        if (r.Error) {
            EXPECT_EQ(r.Status.size(), 2u);
        }
    }
}

TEST_F(ConformanceTest, SavingAnEmptyDriveLeavesTheImageAlone) {
    vc.EjectDisk(Drive::A);
    auto image = std::make_unique<DiskImage>();
    image->GetTrack(3)->Present = kPresent;
    EXPECT_FALSE(vc.SaveImage(Drive::A, *image));
    EXPECT_EQ(image->GetTrack(3)->Present, kPresent);
}

}  // namespace
}  // namespace morvane::virt
