// The driver under the USB port: the handful of calls the port makes on an FTDI-style
// device. The real hardware (libftdi1) and the emulated controller both implement it, so
// this header stays plain C++ with no Qt.
//
// Every call returns a status code with the values of the FTDI vendor library (FT_STATUS),
// so the port can report "operation name + suffix" for the failing call. The port makes
// all calls from one thread (the main thread) and in the order of the vendor library:
// count, per index serial number and description, open by description, then the
// configuration calls one by one, and later queue status, read, write, purge, close.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace morvane {

using FtStatus = std::uint32_t;

// FT_STATUS values. Codes 1..17 have a text suffix in the port's error reports.
inline constexpr FtStatus kFtOk = 0;
inline constexpr FtStatus kFtInvalidHandle = 1;
inline constexpr FtStatus kFtDeviceNotFound = 2;
inline constexpr FtStatus kFtDeviceNotOpened = 3;
inline constexpr FtStatus kFtIoError = 4;
inline constexpr FtStatus kFtInsufficientResources = 5;
inline constexpr FtStatus kFtInvalidParameter = 6;
inline constexpr FtStatus kFtInvalidBaudRate = 7;
inline constexpr FtStatus kFtDeviceNotOpenedForErase = 8;
inline constexpr FtStatus kFtDeviceNotOpenedForWrite = 9;
inline constexpr FtStatus kFtFailedToWriteDevice = 10;
inline constexpr FtStatus kFtEepromReadFailed = 11;
inline constexpr FtStatus kFtEepromWriteFailed = 12;
inline constexpr FtStatus kFtEepromEraseFailed = 13;
inline constexpr FtStatus kFtEepromNotPresent = 14;
inline constexpr FtStatus kFtEepromNotProgrammed = 15;
inline constexpr FtStatus kFtInvalidArgs = 16;
inline constexpr FtStatus kFtOtherError = 17;

// Purge masks (FT_PURGE_RX, FT_PURGE_TX).
inline constexpr std::uint32_t kFtPurgeRx = 1;
inline constexpr std::uint32_t kFtPurgeTx = 2;

class FtdiDriver {
  public:
    virtual ~FtdiDriver() = default;

    // --- Listing (FT_ListDevices). Indices are 0-based. The texts are returned whole;
    // the port keeps at most 30 devices and the first 49 characters of each text.
    virtual FtStatus DeviceCount(std::uint32_t& count) = 0;
    virtual FtStatus DeviceSerialNumber(std::uint32_t index, std::string& serial) = 0;
    virtual FtStatus DeviceDescription(std::uint32_t index, std::string& description) = 0;

    // --- Open and close (FT_OpenEx by description, FT_Close).
    virtual FtStatus OpenByDescription(const std::string& description) = 0;
    virtual FtStatus Close() = 0;

    // --- Configuration, applied by the port in this order after a successful open.
    virtual FtStatus SetUsbParameters(std::uint32_t inTransferSize,
                                      std::uint32_t outTransferSize) = 0;
    virtual FtStatus SetBaudRate(std::uint32_t baud) = 0;
    // wordLength 8 (bits), stopBits 0 (one stop bit), parity 0 (none).
    virtual FtStatus SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                            std::uint8_t parity) = 0;
    // flowControl 0 = none.
    virtual FtStatus SetFlowControl(std::uint16_t flowControl, std::uint8_t xon,
                                    std::uint8_t xoff) = 0;
    virtual FtStatus SetChars(std::uint8_t eventChar, bool eventCharEnabled, std::uint8_t errorChar,
                              bool errorCharEnabled) = 0;
    virtual FtStatus SetDivisor(std::uint16_t divisor) = 0;
    virtual FtStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual FtStatus Purge(std::uint32_t mask) = 0;  // kFtPurgeRx | kFtPurgeTx
    virtual FtStatus SetBitMode(std::uint8_t mask, std::uint8_t mode) = 0;

    // --- Data.
    // Bytes received and not yet read (FT_GetQueueStatus).
    virtual FtStatus GetQueueStatus(std::uint32_t& queued) = 0;
    // Receive count, bytes still to transmit, event flags (FT_GetStatus).
    virtual FtStatus GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                               std::uint32_t& events) = 0;
    // Reads up to buffer.size() bytes; got says how many were stored (FT_Read).
    virtual FtStatus Read(std::span<std::uint8_t> buffer, std::uint32_t& got) = 0;
    // Writes the bytes; written says how many the device accepted (FT_Write).
    virtual FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) = 0;

    // Optional: the driver calls this whenever new bytes became readable, so the port can
    // poll at once instead of at its next tick. It may be called from any thread, and also
    // from inside Write (an instant controller answers there); the receiver only schedules
    // a poll and never calls back into the driver from it. Passing an empty function
    // removes the callback; once this call returns, the previous callback is not called
    // any more (a driver with its own thread guards it). Drivers without this ability
    // ignore it.
    virtual void SetDataArrivedCallback(std::function<void()> callback) { (void)callback; }
    // Whether the callback above comes for every arrival and also when the device fails
    // under the driver, so the port finds both without polling. It may change while the
    // driver lives (an emulated device on a test's clock stops announcing); the port asks
    // again whenever it sends.
    virtual bool ReportsArrivals() const { return false; }

    // A device of the last listing whose texts could not be read because this user may
    // not open it (no udev rule, not in the group). Drivers that cannot tell say false.
    virtual bool DeviceAccessDenied(std::uint32_t index) const {
        (void)index;
        return false;
    }
};

}  // namespace morvane
