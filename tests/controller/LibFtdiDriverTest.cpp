// The libftdi1 driver without hardware: what can be checked is that it refuses work on a
// closed device the way the vendor library does, and that the port stays inactive when
// the controller is not attached.
#include "controller/LibFtdiDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "controller/UsbPort.h"

namespace morvane {
namespace {

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
    TUSB_Port port(std::move(driver));
    for (const DeviceEntry& e : port.ListDevices()) {
        if (e.description == "USB <-> Parallel") {
            GTEST_SKIP() << "a real controller is attached";
        }
    }
    port.SetDeviceName(QStringLiteral("USB <-> Parallel"));
    port.SetDeviceActive(true);
    EXPECT_FALSE(port.DeviceActive());
}

}  // namespace
}  // namespace morvane
