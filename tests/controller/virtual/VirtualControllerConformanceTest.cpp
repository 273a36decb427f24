// The emulated controller driven through the driver calls with real command frames, its
// byte stream decoded as the program decodes it.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "HostSide.h"
#include "controller/virtual/VirtualController.h"
#include "formats/udi/Udi.h"
#include "model/Checksums.h"
#include "model/Track.h"
#include "model/ZxDisk.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Host;
using test::Record;
using test::SectorId;
using test::ShortFrame;

constexpr std::uint8_t kSeek = 0x10, kStatus = 0x02, kIdentify = 0x00, kReadAddresses = 0x20,
                       kReadSector = 0x21, kReadTrack = 0x23, kReadSectors = 0x24,
                       kWriteTrack = 0x30, kWriteSector = 0x31, kWriteRegister = 0x04,
                       kReadRegister = 0x05;

std::vector<SectorId> TrDosIds(std::uint8_t c, std::uint8_t n = 1) {
    std::vector<SectorId> ids;
    for (std::uint8_t r = 1; r <= 16; ++r)
        ids.push_back({c, 0, r, n});
    return ids;
}

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return data;
}

class ConformanceTest : public ::testing::Test {
  protected:
    ConformanceTest() : vc({.DemoDiskInDriveA = false}), host(vc) {
        vc.InsertDisk(Drive::A, std::make_unique<VirtualDisk>());
        EXPECT_EQ(host.Open(), kFtOk);
    }

    Record One(const Bytes& frame) {
        const auto records = host.Exchange(frame);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? Record{} : records.front();
    }

    void SeekTo(std::uint8_t track) {
        const Record r = One(ShortFrame(kSeek, {track}));
        ASSERT_FALSE(r.Error);
        ASSERT_EQ(r.Data.size(), 2u);
        ASSERT_EQ(r.Data[1], track);
    }

    void Format(std::span<const SectorId> ids) {
        const Bytes table = test::FormatTableFor(ids);
        const auto records = host.Exchange(BlockFrame(kWriteTrack, table));
        ASSERT_EQ(records.size(), 2u);
        EXPECT_FALSE(records[0].Error);
        EXPECT_EQ(records[0].Data, Bytes{table[0]});
        EXPECT_FALSE(records[1].Error);
        EXPECT_TRUE(records[1].Data.empty());
    }

    VirtualController vc;
    Host host;
};

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

TEST_F(ConformanceTest, StatusReportsTrackZeroHeadLoadedAndWriteProtect) {
    SeekTo(0);
    Record r = One(ShortFrame(kStatus));
    ASSERT_FALSE(r.Error);
    ASSERT_EQ(r.Data.size(), 1u);
    EXPECT_TRUE(r.Data[0] & 0x04);   // track 0
    EXPECT_TRUE(r.Data[0] & 0x20);   // head loaded
    EXPECT_FALSE(r.Data[0] & 0x40);  // not protected
    EXPECT_FALSE(r.Data[0] & 0x80);

    SeekTo(11);
    vc.SetWriteProtected(Drive::A, true);
    r = One(ShortFrame(kStatus));
    EXPECT_FALSE(r.Data[0] & 0x04);
    EXPECT_TRUE(r.Data[0] & 0x40);
}

TEST_F(ConformanceTest, EveryDiskCommandWithoutDiskGivesNotReady) {
    vc.EjectDisk(Drive::A);
    for (const Bytes& frame :
         {ShortFrame(kStatus), ShortFrame(kSeek, {4}), ShortFrame(kReadAddresses),
          ShortFrame(kReadTrack), ShortFrame(kReadSector, {3})}) {
        const Record r = One(frame);
        EXPECT_TRUE(r.Error) << int{frame[4]};
        ASSERT_FALSE(r.Status.empty());
        EXPECT_EQ(r.Status[0], 0x80) << int{frame[4]};
        EXPECT_TRUE(r.Data.empty());
    }
}

TEST_F(ConformanceTest, SeekAnswersStatusAndTrackIndex) {
    const Record r = One(ShortFrame(kSeek, {165}));
    ASSERT_FALSE(r.Error);
    ASSERT_EQ(r.Data.size(), 2u);
    EXPECT_EQ(r.Data[1], 165);
    EXPECT_EQ(vc.Fdc().Cylinder(Drive::A), 82);
    EXPECT_EQ(vc.Fdc().Side(), 1);
    const Record beyond = One(ShortFrame(kSeek, {166}));
    ASSERT_TRUE(beyond.Error);
    EXPECT_EQ(beyond.Status[0], 0x10);
}

TEST_F(ConformanceTest, FormattedTrackReadsBackWithItsIdsAndCrcs) {
    SeekTo(21);
    const auto ids = TrDosIds(10);
    Format(ids);
    const Record addresses = One(ShortFrame(kReadAddresses));
    ASSERT_FALSE(addresses.Error);
    ASSERT_EQ(addresses.Data.size(), 16u * 6);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t* id = &addresses.Data[i * 6];
        EXPECT_EQ(id[0], 10);
        EXPECT_EQ(id[1], 0);
        EXPECT_EQ(id[2], i + 1);
        EXPECT_EQ(id[3], 1);
        EXPECT_EQ(id[4] << 8 | id[5], IdFieldCrc(10, 0, static_cast<std::uint8_t>(i + 1), 1));
    }
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

TEST_F(ConformanceTest, WrittenSectorReadsBackAndRawTrackDecodesToTheSameSectors) {
    SeekTo(7);
    Format(TrDosIds(3));
    const Bytes data = Pattern(256, 0x11);
    Bytes block{5};
    block.insert(block.end(), data.begin(), data.end());
    const auto written = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].Data, (Bytes{0x01, 0x01}));  // 257 bytes received
    EXPECT_FALSE(written[1].Error);
    EXPECT_TRUE(written[1].Data.empty());

    const Record read = One(ShortFrame(kReadSector, {5}));
    ASSERT_FALSE(read.Error);
    EXPECT_EQ(read.Data, data);
    EXPECT_EQ(One(ShortFrame(kReadSector, {6})).Data, Bytes(256, 0x00));

    const Record raw = One(ShortFrame(kReadTrack));
    ASSERT_FALSE(raw.Error);
    ASSERT_EQ(raw.Data.size(), 6250u);
    auto track = std::make_unique<TTrack>();
    std::copy(raw.Data.begin(), raw.Data.end(), track->Raw.begin());
    track->RawLength = static_cast<std::uint16_t>(raw.Data.size());
    track->ParseRaw();
    ASSERT_EQ(track->SectorCount, 16);
    for (std::uint8_t i = 0; i < 16; ++i) {
        const TSectorSlot& slot = track->Slots[i];
        EXPECT_EQ(slot.Cylinder, 3);
        EXPECT_EQ(slot.Sector, i + 1);
        EXPECT_EQ(slot.HeaderCrc, IdFieldCrc(3, 0, static_cast<std::uint8_t>(i + 1), 1));
        const Bytes expected = i + 1 == 5 ? data : Bytes(256, 0x00);
        const Bytes inRaw(raw.Data.begin() + slot.DataPosition,
                          raw.Data.begin() + slot.DataPosition + 256);
        EXPECT_EQ(inRaw, expected) << "sector " << i + 1;
        const std::size_t crcAt = slot.DataPosition + 256u;
        EXPECT_EQ(raw.Data[crcAt] << 8 | raw.Data[crcAt + 1], DataFieldCrc(0xFB, expected));
    }
}

TEST_F(ConformanceTest, FormatHonoursSizeCodesAndCountZeroAs256) {
    SeekTo(40);
    std::vector<SectorId> ids{{20, 0, 1, 0}, {20, 0, 2, 2}, {20, 0, 3, 3}};
    Format(ids);
    EXPECT_EQ(One(ShortFrame(kReadSector, {1})).Data.size(), 128u);
    EXPECT_EQ(One(ShortFrame(kReadSector, {2})).Data.size(), 512u);
    EXPECT_EQ(One(ShortFrame(kReadSector, {3})).Data.size(), 1024u);
    // The template still lays down sixteen IDs; the unused slots give ID 0 0 0 0.
    const Record addresses = One(ShortFrame(kReadAddresses));
    EXPECT_GE(addresses.Data.size(), 4u * 6);
    const Bytes data = Pattern(1024, 0x3C);
    Bytes block{3};
    block.insert(block.end(), data.begin(), data.end());
    ASSERT_EQ(host.Exchange(BlockFrame(kWriteSector, block)).size(), 2u);
    EXPECT_EQ(One(ShortFrame(kReadSector, {3})).Data, data);
}

TEST_F(ConformanceTest, WriteSectorToMissingSectorGivesRecordNotFound) {
    SeekTo(2);
    Format(TrDosIds(1));
    Bytes block{33};
    block.resize(257, 0xE5);
    const auto records = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Data, (Bytes{0x01, 0x01}));
    ASSERT_TRUE(records[1].Error);
    EXPECT_EQ(records[1].Status, (Bytes{0x10, 33}));
}

TEST_F(ConformanceTest, ShortWriteBlockFillsWithZerosAndReportsLostData) {
    SeekTo(2);
    Format(TrDosIds(1));
    Bytes block{4, 0xAB, 0xCD};
    const auto records = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Data, (Bytes{3, 0}));
    ASSERT_TRUE(records[1].Error);
    EXPECT_EQ(records[1].Status, (Bytes{0x04, 4}));
    Bytes expected(256, 0);
    expected[0] = 0xAB;
    expected[1] = 0xCD;
    EXPECT_EQ(One(ShortFrame(kReadSector, {4})).Data, expected);
}

TEST_F(ConformanceTest, WriteProtectedDiskRefusesWritesAfterTheFirstAnswer) {
    SeekTo(2);
    Format(TrDosIds(1));
    vc.SetWriteProtected(Drive::A, true);
    Bytes block{1};
    block.resize(257, 0x77);
    auto records = host.Exchange(BlockFrame(kWriteSector, block));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_FALSE(records[0].Error);
    ASSERT_TRUE(records[1].Error);
    EXPECT_EQ(records[1].Status, (Bytes{0x40, 1}));
    records = host.Exchange(BlockFrame(kWriteTrack, test::FormatTableFor(TrDosIds(1))));
    ASSERT_EQ(records.size(), 2u);
    ASSERT_TRUE(records[1].Error);
    EXPECT_EQ(records[1].Status[0], 0x40);
    EXPECT_EQ(One(ShortFrame(kReadSector, {1})).Data, Bytes(256, 0x00));
}

TEST_F(ConformanceTest, DeletedDataMarkReadsBackAsErrorWithData) {
    SeekTo(6);
    Bytes table = test::FormatTableFor(TrDosIds(3));
    // The first sector's data mark: the 13th pair (index 12) of the first sector group.
    const std::size_t markPair = 5 + 11;
    ASSERT_EQ(table[1 + 2 * markPair + 1], 0xFB);
    table[1 + 2 * markPair + 1] = 0xF8;
    ASSERT_EQ(host.Exchange(BlockFrame(kWriteTrack, table)).size(), 2u);
    const Record r = One(ShortFrame(kReadSector, {1}));
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Status, (Bytes{0x20, 1}));
    EXPECT_EQ(r.Data, Bytes(256, 0x00));
    // The sector list reports it the same way, and its neighbours as plain answers.
    const auto list = host.Exchange(BlockFrame(kReadSectors, Bytes{2, 1, 3}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_FALSE(list[0].Error);
    ASSERT_TRUE(list[1].Error);
    EXPECT_EQ(list[1].Status, (Bytes{0x20, 1}));
    EXPECT_EQ(list[1].Data.size(), 256u);
    EXPECT_FALSE(list[2].Error);
    // A bad CRC on top of the mark sets both bits.
    vc.Faults().AddDataCrcError(Drive::A, 6, 1);
    EXPECT_EQ(One(ShortFrame(kReadSector, {1})).Status, (Bytes{0x28, 1}));
}

TEST_F(ConformanceTest, UnformattedTrackHasNoAddresses) {
    SeekTo(50);
    const Record r = One(ShortFrame(kReadAddresses));
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Status, (Bytes{0x10, 0}));
    EXPECT_TRUE(r.Data.empty());
    const Record sector = One(ShortFrame(kReadSector, {1}));
    EXPECT_EQ(sector.Status, (Bytes{0x10, 1}));
}

TEST_F(ConformanceTest, DriveRegisterSelectsDriveB) {
    EXPECT_EQ(One(ShortFrame(kReadRegister, {0x28})).Data, Bytes{0x00});
    const Record w = One(ShortFrame(kWriteRegister, {0x28, 0x01}));
    EXPECT_FALSE(w.Error);
    EXPECT_TRUE(w.Data.empty());
    EXPECT_EQ(One(ShortFrame(kReadRegister, {0x28})).Data, Bytes{0x01});
    EXPECT_EQ(vc.Fdc().SelectedDrive(), Drive::B);
    EXPECT_EQ(One(ShortFrame(kStatus)).Status[0], 0x80);  // drive B is empty
    vc.InsertDemoDisk(Drive::B);
    EXPECT_FALSE(One(ShortFrame(kStatus)).Error);
    One(ShortFrame(kWriteRegister, {0x28, 0x3C}));
    EXPECT_EQ(vc.Fdc().SelectedDrive(), Drive::A);
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

    auto image = std::make_unique<TZX_Disk>();
    ASSERT_TRUE(vc.SaveImage(Drive::A, *image));
    EXPECT_EQ(image->CountTracks(), 1);
    const TTrack* saved = image->GetTrack(1);
    ASSERT_GE(saved->SectorCount, 5);
    EXPECT_EQ(saved->Slots[2].Sector, 6);
    EXPECT_EQ(saved->Slots[2].Head, 1);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), saved->Slots[2].Data.begin()));
    EXPECT_EQ(saved->Slots[2].DataGood, kDataGood);

    // One present track: the UDI writer stores the first cylinder, which holds it.
    Bytes udi;
    ASSERT_TRUE(WriteUdi(*image, udi));
    auto loaded = std::make_unique<TZX_Disk>();
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
    auto image = std::make_unique<TZX_Disk>();
    image->GetTrack(3)->Present = kPresent;
    EXPECT_FALSE(vc.SaveImage(Drive::A, *image));
    EXPECT_EQ(image->GetTrack(3)->Present, kPresent);
}

}  // namespace
}  // namespace morvane::virt
