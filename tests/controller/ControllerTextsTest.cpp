// Frames, status texts and device error texts: the pure parts of the controller link.
#include <gtest/gtest.h>

#include <vector>

#include "controller/ControllerCommands.h"
#include "controller/DeviceErrorText.h"
#include "controller/StatusText.h"

namespace morvane {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

TEST(CommandFrames, SeekFrameIsSixBytes) {
    const std::uint8_t args[] = {5};
    EXPECT_EQ(BuildShortFrame(CommandCode::Seek, args),
              (Bytes8{0x00, 0x00, 0x0A, 0x5A, 0x10, 0x05}));
}

TEST(CommandFrames, ShortFrameHasFiveToSevenBytes) {
    EXPECT_EQ(BuildShortFrame(CommandCode::Status, {})->size(), 5u);
    const std::uint8_t two[] = {0x28, 0x3D};
    EXPECT_EQ(BuildShortFrame(CommandCode::WriteRegister, two),
              (Bytes8{0x00, 0x00, 0x0A, 0x5A, 0x04, 0x28, 0x3D}));
    const std::uint8_t three[] = {1, 2, 3};
    EXPECT_FALSE(BuildShortFrame(CommandCode::Status, three).has_value());
}

TEST(CommandFrames, BlockFrameCarriesLittleEndianLength) {
    const std::uint8_t block[] = {1, 2, 3};
    EXPECT_EQ(BuildBlockFrame(CommandCode::ReadSectors, block),
              (Bytes8{0x00, 0x00, 0x0A, 0x5A, 0x24, 0x03, 0x00, 0x01, 0x02, 0x03}));
    const Bytes8 sector(1025, 0xE5);
    const auto frame = BuildBlockFrame(CommandCode::WriteSector, sector);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->size(), 1032u);
    EXPECT_EQ((*frame)[5], 0x01);
    EXPECT_EQ((*frame)[6], 0x04);
}

TEST(CommandFrames, RefusesBlockLongerThanSixteenBits) {
    const Bytes8 huge(0x10000, 0);
    EXPECT_FALSE(BuildBlockFrame(CommandCode::WriteTrack, huge).has_value());
    const Bytes8 largest(0xFFFF, 0);
    EXPECT_TRUE(BuildBlockFrame(CommandCode::WriteTrack, largest).has_value());
}

TEST(CommandFrames, DriveControlKeepsBitsTwoToFive) {
    EXPECT_EQ(DriveControlValue(0xFF, Drive::A), 0x3C);
    EXPECT_EQ(DriveControlValue(0xFF, Drive::B), 0x3D);
    EXPECT_EQ(DriveControlValue(0x43, Drive::B), 0x01);
    EXPECT_EQ(DriveControlValue(0x14, Drive::A), 0x14);
}

TEST(DecodeStatus, BusyAndNotReadyForSeek) {
    EXPECT_EQ(DecodeStatus(0, 0x81), "Контроллер занят Дисковод не готов ");
}

TEST(DecodeStatus, TrackZeroHasNoTrailingSpace) {
    EXPECT_EQ(DecodeStatus(0, 0x04), "Трэк 0");
    EXPECT_EQ(DecodeStatus(0, 0x06), "Импульсный индекс Трэк 0");
}

TEST(DecodeStatus, BitWithoutTextForTypeIsSkipped) {
    EXPECT_EQ(DecodeStatus(3, 0x20), "");
    EXPECT_EQ(DecodeStatus(5, 0x78), "");
    EXPECT_EQ(DecodeStatus(2, 0x40), "");
}

TEST(DecodeStatus, TextsPerCommandType) {
    EXPECT_EQ(DecodeStatus(0, 0x78),
              "Ошибка в контрольном коде Ошибка поиска Загрузка магнитной головки "
              "Защита записи ");
    EXPECT_EQ(DecodeStatus(1, 0x7E),
              "Запрос данных Потеря данных Ошибка в контрольном коде Сектор не найден "
              "Ошибка записи Защита записи ");
    EXPECT_EQ(DecodeStatus(2, 0x38),
              "Ошибка в контрольном коде Сектор не найден Удаленные данные ");
    EXPECT_EQ(DecodeStatus(4, 0xFF),
              "Контроллер занят Запрос данных Потеря данных Ошибка записи Защита записи "
              "Дисковод не готов ");
    EXPECT_EQ(DecodeStatus(5, 0x85), "Контроллер занят Потеря данных Дисковод не готов ");
}

TEST(DecodeStatus, TypeOutsideRangeIsEmpty) {
    EXPECT_EQ(DecodeStatus(6, 0xFF), "");
    EXPECT_EQ(DecodeStatus(-1, 0xFF), "");
    EXPECT_EQ(DecodeStatus(2, 0x00), "");
}

TEST(DeviceErrorText, NamePlusSuffix) {
    EXPECT_EQ(DeviceErrorText("FT_Write", kFtInvalidHandle), "FT_Write - Invalid Handle...");
    EXPECT_EQ(DeviceErrorText("FT_Close", kFtDeviceNotFound), "FT_Close - Device Not Found....");
    EXPECT_EQ(DeviceErrorText("FT_Read", kFtDeviceNotOpenedForErase),
              "FT_Read Device not opened for erase  ...");
    EXPECT_EQ(DeviceErrorText("FT_SetUSBParameters ", kFtOtherError),
              "FT_SetUSBParameters  - other error  ...");
    EXPECT_EQ(DeviceErrorText("X", kFtInvalidArgs), "X - invalid Arguments ...");
}

TEST(DeviceErrorText, UnknownAndSuccessCodesGiveEmptyText) {
    EXPECT_EQ(DeviceErrorText("FT_Write", kFtOk), "");
    EXPECT_EQ(DeviceErrorText("FT_Write", 18), "");
    EXPECT_EQ(DeviceErrorText("FT_Write", 0xFFFFFFFFu), "");
}

}  // namespace
}  // namespace morvane
