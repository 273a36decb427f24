// The WD1793 core of the emulated controller, through real command frames: the status
// register per command, seeks, formats, sector reads and writes, the deleted data mark,
// write protect, a missing disk and the drive register.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "WireFixture.h"
#include "model/Checksums.h"
#include "model/Track.h"

namespace morvane::virt {
namespace {

using test::BlockFrame;
using test::Pattern;
using test::Record;
using test::SectorId;
using test::ShortFrame;
using test::TrDosIds;

constexpr std::uint8_t kSeek = 0x10, kStatus = 0x02, kReadAddresses = 0x20, kReadSector = 0x21,
                       kReadTrack = 0x23, kReadSectors = 0x24, kWriteTrack = 0x30,
                       kWriteSector = 0x31, kWriteRegister = 0x04, kReadRegister = 0x05;

class Wd1793Test : public test::BlankDiskWireTest {};

TEST_F(Wd1793Test, StatusReportsTrackZeroHeadLoadedAndWriteProtect) {
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

TEST_F(Wd1793Test, EveryDiskCommandWithoutDiskGivesNotReady) {
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

TEST_F(Wd1793Test, SeekAnswersStatusAndTrackIndex) {
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

TEST_F(Wd1793Test, FormattedTrackReadsBackWithItsIdsAndCrcs) {
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

TEST_F(Wd1793Test, WrittenSectorReadsBackAndRawTrackDecodesToTheSameSectors) {
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
    auto track = std::make_unique<Track>();
    std::copy(raw.Data.begin(), raw.Data.end(), track->Raw.begin());
    track->RawLength = static_cast<std::uint16_t>(raw.Data.size());
    track->ParseRaw();
    ASSERT_EQ(track->SectorCount, 16);
    for (std::uint8_t i = 0; i < 16; ++i) {
        const SectorSlot& slot = track->Slots[i];
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

TEST_F(Wd1793Test, FormatHonoursSizeCodesAndCountZeroAs256) {
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

TEST_F(Wd1793Test, WriteSectorToMissingSectorGivesRecordNotFound) {
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

TEST_F(Wd1793Test, ShortWriteBlockFillsWithZerosAndReportsLostData) {
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

TEST_F(Wd1793Test, WriteProtectedDiskRefusesWritesAfterTheFirstAnswer) {
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

TEST_F(Wd1793Test, DeletedDataMarkReadsBackAsErrorWithData) {
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

TEST_F(Wd1793Test, UnformattedTrackHasNoAddresses) {
    SeekTo(50);
    const Record r = One(ShortFrame(kReadAddresses));
    ASSERT_TRUE(r.Error);
    EXPECT_EQ(r.Status, (Bytes{0x10, 0}));
    EXPECT_TRUE(r.Data.empty());
    const Record sector = One(ShortFrame(kReadSector, {1}));
    EXPECT_EQ(sector.Status, (Bytes{0x10, 1}));
}

TEST_F(Wd1793Test, DriveRegisterSelectsDriveB) {
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

}  // namespace
}  // namespace morvane::virt
