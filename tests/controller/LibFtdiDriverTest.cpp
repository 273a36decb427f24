// The libftdi1 driver without hardware: what can be checked is that it refuses work on a
// closed device the way the vendor library does, that the port stays inactive when the
// controller is not attached, and how a bulk read's packets give up their data. (Reading
// through the chip, unplugs included, is tested over the emulated chip: tests/usbemu.)
#include "controller/LibFtdiDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "controller/UsbPort.h"
#include "support/CaseName.h"

namespace morvane {
namespace {

using test::CaseName;

TEST(LibFtdiDriver, EveryCallOnClosedDeviceIsInvalidHandle) {
    LibFtdiDriver d;
    std::uint32_t a = 7, b = 7, c = 7;
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(d.SetUsbParameters(32768, 32768), kFtInvalidHandle);
    EXPECT_EQ(d.SetBaudRate(921600), kFtInvalidHandle);
    EXPECT_EQ(d.SetDataCharacteristics(8, 0, 0), kFtInvalidHandle);
    EXPECT_EQ(d.SetFlowControl(0, 0x11, 0x13), kFtInvalidHandle);
    EXPECT_EQ(d.SetChars(0, false, 0, false), kFtInvalidHandle);
    EXPECT_EQ(d.SetDivisor(1), kFtInvalidHandle);
    EXPECT_EQ(d.SetTimeouts(10, 10), kFtInvalidHandle);
    EXPECT_EQ(d.Purge(kFtPurgeRx), kFtInvalidHandle);
    EXPECT_EQ(d.SetBitMode(0xFF, 0), kFtInvalidHandle);
    EXPECT_EQ(d.GetQueueStatus(a), kFtInvalidHandle);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(d.GetStatus(a, b, c), kFtInvalidHandle);
    EXPECT_EQ(d.Read(buffer, a), kFtInvalidHandle);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(d.Write(buffer, a), kFtInvalidHandle);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(d.Close(), kFtInvalidHandle);
}

TEST(LibFtdiDriver, UnknownDescriptionOpensNothing) {
    LibFtdiDriver d;
    EXPECT_NE(d.OpenByDescription("no such device 7f3c9e"), kFtOk);
    std::uint32_t queued = 0;
    EXPECT_EQ(d.GetQueueStatus(queued), kFtInvalidHandle);
}

TEST(LibFtdiDriver, ListedIndexBeyondCountIsNotFound) {
    LibFtdiDriver d;
    std::uint32_t count = 0;
    const FtStatus status = d.DeviceCount(count);
    if (status != kFtOk) {
        EXPECT_EQ(count, 0u);
    }
    std::string text = "unchanged";
    EXPECT_EQ(d.DeviceDescription(count, text), kFtDeviceNotFound);
    EXPECT_EQ(d.DeviceSerialNumber(count + 5, text), kFtDeviceNotFound);
    EXPECT_EQ(text, "unchanged");
}

TEST(LibFtdiDriver, PortStaysInactiveWithoutController) {
    auto driver = std::make_unique<LibFtdiDriver>();
    UsbPort port(std::move(driver));
    for (const DeviceEntry& e : port.ListDevices()) {
        if (e.description == "USB <-> Parallel") {
            GTEST_SKIP() << "a real controller is attached";
        }
    }
    port.SetDeviceName(QStringLiteral("USB <-> Parallel"));
    port.SetDeviceActive(true);
    EXPECT_FALSE(port.DeviceActive());
}

// --- The data of one bulk read: each packet's two status bytes taken out.

struct PayloadCase {
    const char* name;
    std::vector<std::uint8_t> transfer;
    std::size_t packetSize;
    std::vector<std::uint8_t> payload;
};

class Payload : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(Payload, IsWhatFollowsEachPacketsStatusBytes) {
    std::vector<std::uint8_t> transfer = GetParam().transfer;
    const std::size_t n = TakeFtdiPayload(transfer, GetParam().packetSize);
    ASSERT_LE(n, transfer.size());
    EXPECT_EQ(std::vector<std::uint8_t>(transfer.begin(), transfer.begin() + n),
              GetParam().payload);
}

// Status bytes are 0xA0 and 0xA1 here, data 1 up.
INSTANTIATE_TEST_SUITE_P(
    Cases, Payload,
    ::testing::Values(
        PayloadCase{"Nothing", {}, 4, {}}, PayloadCase{"StatusAlone", {0xA0, 0xA1}, 4, {}},
        PayloadCase{"OneShortPacket", {0xA0, 0xA1, 1}, 4, {1}},
        PayloadCase{"OneWholePacket", {0xA0, 0xA1, 1, 2}, 4, {1, 2}},
        PayloadCase{"TwoPacketsTheLastShort", {0xA0, 0xA1, 1, 2, 0xA0, 0xA1, 3}, 4, {1, 2, 3}},
        PayloadCase{"ThreeWholePackets",
                    {0xA0, 0xA1, 1, 2, 0xA0, 0xA1, 3, 4, 0xA0, 0xA1, 5, 6},
                    4,
                    {1, 2, 3, 4, 5, 6}},
        PayloadCase{"PacketsWithNothingCarryNothing", {0xA0, 0xA1, 1, 2, 0xA0, 0xA1}, 4, {1, 2}},
        PayloadCase{"NoRoomForDataInAPacket", {0xA0, 0xA1, 1}, 2, {}}),
    CaseName());

}  // namespace
}  // namespace morvane
