// Sector write and track format: the blocks they build, and the exchanges against the
// emulated controller.
#include <gtest/gtest.h>

#include "OperationsFixture.h"
#include "controller/virtual/TrackScan.h"
#include "operations/SectorWrite.h"

namespace morvane {
namespace {

using test::CaseName;
using test::OperationsFixture;

constexpr std::uint8_t kWriteSector = 0x31, kWriteTrack = 0x30;

struct BlockCase {
    const char* name;
    std::uint8_t sizeCode;
    std::uint16_t dataLength;
    std::size_t blockSize;  // 0: refused
    bool cut;
};

class SectorBlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(SectorBlock, CutsOrPadsToTheSectorSize) {
    const BlockCase& c = GetParam();
    SectorSlot slot;
    slot.Sector = 7;
    slot.SizeCode = c.sizeCode;
    slot.DataLength = c.dataLength;
    slot.Data.fill(0xAA);
    bool cut = false;
    const std::optional<Bytes> block = BuildSectorWriteBlock(slot, &cut);
    if (c.blockSize == 0) {
        EXPECT_FALSE(block);
        return;
    }
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), c.blockSize);
    EXPECT_EQ(cut, c.cut);
    EXPECT_EQ((*block)[0], 7);
    const std::size_t kept = std::min<std::size_t>(c.dataLength, c.blockSize - 1);
    EXPECT_EQ(std::count(block->begin() + 1, block->end(), 0xAA), static_cast<long>(kept));
    EXPECT_EQ(std::count(block->begin() + 1, block->end(), 0x00),
              static_cast<long>(c.blockSize - 1 - kept));
}

INSTANTIATE_TEST_SUITE_P(Cases, SectorBlock,
                         ::testing::Values(BlockCase{"Oversized", 1, 300, 257, true},
                                           BlockCase{"Undersized", 1, 100, 257, false},
                                           BlockCase{"Exact128", 0, 128, 129, false},
                                           BlockCase{"NonStandard", 4, 100, 0, false}),
                         CaseName());

Track TrackOfSlots(int occupied, std::uint8_t sizeCode) {
    Track track;
    for (int i = 0; i < occupied; ++i) {
        SectorSlot& s = track.Slots[static_cast<std::size_t>(i)];
        s.Present = kPresent;
        s.Cylinder = 3;
        s.Sector = static_cast<std::uint8_t>(i + 1);
        s.SizeCode = sizeCode;
    }
    return track;
}

TEST(FormatTable, SixteenSectorsOf256Bytes) {
    const std::optional<Bytes> table = BuildFormatTable(TrackOfSlots(16, 1));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 493u);
    EXPECT_EQ((*table)[0], 246);
    EXPECT_EQ(Bytes(table->begin() + 1, table->begin() + 11),
              (Bytes{80, 0x4E, 12, 0x00, 3, 0xF6, 1, 0xFC, 50, 0x4E}));
    // First sector group: sync, ID mark, C H R N, CRC, gap, sync, data mark, data, CRC.
    EXPECT_EQ(Bytes(table->begin() + 11, table->begin() + 41),
              (Bytes{12, 0x00, 3,  0xF5, 1, 0xFE, 1, 3,    1, 0,    1, 1,    1,  1,   1, 0xF7,
                     22, 0x4E, 12, 0x00, 3, 0xF5, 1, 0xFB, 0, 0x00, 1, 0xF7, 54, 0x4E}));
    EXPECT_EQ(Bytes(table->end() - 4, table->end()), (Bytes{0, 0x4E, 0, 0x4E}));
}

TEST(FormatTable, EmptySlotsGiveZeroIdsAnd128ByteFields) {
    const std::optional<Bytes> table = BuildFormatTable(TrackOfSlots(9, 1));
    ASSERT_TRUE(table);
    // 9 groups of 15 pairs and 7 of 15 pairs (a 128-byte field is one pair too).
    EXPECT_EQ((*table)[0], 246);
    std::size_t ids = 0, fields128 = 0;
    for (std::size_t i = 1; i + 1 < table->size(); i += 2) {
        if ((*table)[i] == 1 && (*table)[i + 1] == 0xFE) ++ids;
        if ((*table)[i] == 128 && (*table)[i + 1] == 0x00) ++fields128;
    }
    EXPECT_EQ(ids, 16u);
    EXPECT_EQ(fields128, 7u);
}

TEST(FormatTable, TooManyPairsForTheCountByteAreRefused) {
    EXPECT_FALSE(BuildFormatTable(TrackOfSlots(16, 2)));
    EXPECT_FALSE(BuildFormatTable(TrackOfSlots(16, 3)));
}

class SectorWriteTest : public OperationsFixture {
  protected:
    void SetUp() override {
        OperationsFixture::SetUp();
        Track& track = *disk->GetTrack(10);
        track = TrackOfSlots(16, 1);
        track.Number = 10;
        track.Present = kPresent;
        for (SectorSlot& s : track.Slots)
            s.Cylinder = 5;
        SectorSlot& slot = track.Slots[2];
        slot.DataLength = 256;
        for (std::size_t i = 0; i < 256; ++i)
            slot.Data[i] = static_cast<std::uint8_t>(255 - i);
    }
    Bytes ReadBack(std::uint8_t r) {
        protocol->SendCommand(CommandCode::ReadSector, r);
        if (protocol->WaitAnswer() != WaitResult::Answer) return {};
        return port->TakeAnswer()->data;
    }
};

TEST_F(SectorWriteTest, WrittenSectorReadsBack) {
    auto ctx = Ctx();
    EXPECT_EQ(WriteSelectedSector(ctx, {10, 3}), OperationOutcome::Done);
    EXPECT_EQ(host.log, (std::vector<std::string>{"Запись сектора - 3 / Размер - 256 bytes.",
                                                  "Пердача - 257 bytes",
                                                  "Запись сектора успешно завершена!"}));
    EXPECT_EQ(SeekTargets(), (std::vector<int>{160, 10}));
    const SectorSlot& slot = *disk->GetSlot(10, 2);
    EXPECT_EQ(ReadBack(3), Bytes(slot.Data.begin(), slot.Data.begin() + 256));
}

struct WriteRefusalCase {
    const char* name;
    int column;
    int slotChange;  // 0 none, 1 switched off, 2 size code 5, 3 write protected disk
    const char* message;
    bool seeks;
};

class WriteRefusals : public SectorWriteTest,
                      public ::testing::WithParamInterface<WriteRefusalCase> {};

TEST_P(WriteRefusals, ShowItsMessageAndWriteNothing) {
    const WriteRefusalCase& c = GetParam();
    SectorSlot& slot = *disk->GetSlot(10, 2);
    if (c.slotChange == 1) slot.Present = 0;
    if (c.slotChange == 2) slot.SizeCode = 5;
    if (c.slotChange == 3) device->SetWriteProtected(virt::Drive::A, true);
    auto ctx = Ctx();
    EXPECT_NE(WriteSelectedSector(ctx, {10, c.column}), OperationOutcome::Done);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(Frames(kWriteSector).empty());
    EXPECT_TRUE(SeekTargets().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRefusals,
    ::testing::Values(
        WriteRefusalCase{"TrackColumn", 0, 0, "Сектор для записи не выбран!", false},
        WriteRefusalCase{"SwitchedOff", 3, 1, "Сектор в карте диска выключен!", false},
        WriteRefusalCase{"NonStandardSize", 3, 2, "Не стандартный размер сектора в памяти!", false},
        WriteRefusalCase{"WriteProtected", 3, 3, "Диск защищен от записи!", false}),
    CaseName());

TEST_F(SectorWriteTest, DeviceFailureIsLoggedPerStatusBit) {
    device->Faults().AddIdCrcError(virt::Drive::A, 10, 3);  // record not found + CRC: 0x18
    auto ctx = Ctx();
    EXPECT_EQ(WriteSelectedSector(ctx, {10, 3}), OperationOutcome::Done);
    EXPECT_EQ(std::vector<std::string>(host.log.end() - 2, host.log.end()),
              (std::vector<std::string>{"Ошибка записи - \"Сектор не найден!\"",
                                        "Ошибка записи - \"Ошибка CRC!\""}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SectorWriteTest, FormattedTrackCarriesTheSlotIds) {
    auto ctx = Ctx();
    EXPECT_EQ(FormatSelectedTrack(ctx, {10, 0}), OperationOutcome::Done);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"Передача таблицы форматирования - 246 элементов.",
                                        "Таблица форматирования передана - 246 элементов.",
                                        "Форматирование дорожки завершено!"}));
    EXPECT_EQ(host.shownBytes.size(), 493u);
    ASSERT_EQ(Frames(kWriteTrack).size(), 1u);
    const auto ids = virt::ReadIdFields(*device->Fdc().Disk(virt::Drive::A)->Track(10));
    ASSERT_EQ(ids.size(), 16u);
    EXPECT_EQ(ids[0].C, 5);
    EXPECT_EQ(ids[15].R, 16);
    EXPECT_EQ(port->AnswerCount() + port->ErrorCount(), 0u);
}

struct LayoutCase {
    const char* name;
    int occupied;
    std::uint8_t sizeCode;
};

class FormatLayouts : public SectorWriteTest, public ::testing::WithParamInterface<LayoutCase> {};

// A track the sixteen-sector template cannot lay down (its table passes 255 pairs, or its
// sectors pass one revolution) is formatted after its own layout, as "Записать дорожку"
// formats it: its sectors and no others.
TEST_P(FormatLayouts, TrackOutsideTheTemplateIsFormattedAfterItsOwnLayout) {
    const LayoutCase& c = GetParam();
    Track& track = *disk->GetTrack(10);
    track = TrackOfSlots(c.occupied, c.sizeCode);
    track.Number = 10;
    track.Present = kPresent;
    EXPECT_FALSE(BuildFormatTable(track));
    auto ctx = Ctx();
    EXPECT_EQ(FormatSelectedTrack(ctx, {10, 0}), OperationOutcome::Done);
    EXPECT_TRUE(host.messages.empty());
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log.back(), "Форматирование дорожки завершено!");
    const auto ids = virt::ReadIdFields(*device->Fdc().Disk(virt::Drive::A)->Track(10));
    ASSERT_EQ(ids.size(), static_cast<std::size_t>(c.occupied));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(ids[i].R, i + 1);
        EXPECT_EQ(ids[i].N, c.sizeCode);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatLayouts,
                         ::testing::Values(LayoutCase{"CpmFiveOf1024", 5, 3},
                                           LayoutCase{"NineOf512", 9, 2}),
                         CaseName());

TEST_F(SectorWriteTest, TrackThatFitsNoTableIsRefusedWithTheReason) {
    Track& track = *disk->GetTrack(10);
    track = TrackOfSlots(16, 3);
    track.Number = 10;
    track.Present = kPresent;
    auto ctx = Ctx();
    EXPECT_EQ(FormatSelectedTrack(ctx, {10, 0}), OperationOutcome::Refused);
    ASSERT_EQ(host.MessageTexts().size(), 1u);
    EXPECT_NE(host.MessageTexts()[0].find("не помещаются на дорожку"), std::string::npos);
    EXPECT_TRUE(Frames(kWriteTrack).empty());
}

TEST_F(SectorWriteTest, FormatOnWriteProtectedDiskIsRefused) {
    device->SetWriteProtected(virt::Drive::A, true);
    auto ctx = Ctx();
    EXPECT_EQ(FormatSelectedTrack(ctx, {10, 0}), OperationOutcome::Stopped);
    EXPECT_EQ(host.MessageTexts(), std::vector<std::string>{"Диск защищен от записи!"});
    EXPECT_TRUE(Frames(kWriteTrack).empty());
}

}  // namespace
}  // namespace morvane
