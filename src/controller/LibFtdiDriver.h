// The real controller: an FTDI chip driven through libftdi1 (Linux, libusb).
//
// libftdi reads synchronously and keeps no receive count, so a reader thread (UsbReader)
// reads the chip continuously into a receive buffer of our own; the queue status is that
// buffer's size, and every arrival is announced through the data-arrived callback. A
// failed read ends the thread, is announced the same way, and makes every later data call
// fail once the bytes that came before it are read, so the port closes the link and says
// why; the port needs no timer of its own. The chip's latency timer is set to 2 ms so
// short answers come up quickly.
//
// The reads are bulk transfers of our own on the handle libftdi opened: libftdi's read
// keeps what a transfer brought beyond the caller's buffer and reads on, and when a later
// transfer fails (the controller unplugged) it reports the error and what it held is
// gone. One transfer a read, its bytes handed on even when it failed part way, loses
// nothing that reached the computer.
//
// libftdi says only that a device could not be opened; whether the user lacks the
// permission (no udev rule) is asked of libusb directly when a listing fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "FtdiDriver.h"
#include "UsbReader.h"

struct ftdi_context;

namespace morvane {

inline constexpr std::uint8_t kFtdiLatencyMs = 2;
// libusb times out a whole synchronous transfer, unlike the vendor driver's buffered
// calls; a 10 ms limit would drop a long answer mid-stream, so transfers get at least
// this long.
inline constexpr int kFtdiMinTransferTimeoutMs = 1000;
// Every packet an FTDI chip sends up begins with its two modem-status bytes.
inline constexpr std::size_t kFtdiStatusBytes = 2;

// The data of one bulk read: moves what follows the status bytes of each packet of
// packetSize bytes (the last may be shorter) to the front of transfer; how many bytes.
std::size_t TakeFtdiPayload(std::span<std::uint8_t> transfer, std::size_t packetSize);

class LibFtdiDriver final : public FtdiDriver {
  public:
    LibFtdiDriver();
    ~LibFtdiDriver() override;

    LibFtdiDriver(const LibFtdiDriver&) = delete;
    LibFtdiDriver& operator=(const LibFtdiDriver&) = delete;

    FtStatus DeviceCount(std::uint32_t& count) override;
    FtStatus DeviceSerialNumber(std::uint32_t index, std::string& serial) override;
    FtStatus DeviceDescription(std::uint32_t index, std::string& description) override;

    FtStatus OpenByDescription(const std::string& description) override;
    FtStatus Close() override;

    FtStatus SetUsbParameters(std::uint32_t inTransferSize, std::uint32_t outTransferSize) override;
    FtStatus SetBaudRate(std::uint32_t baud) override;
    FtStatus SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity) override;
    FtStatus SetFlowControl(std::uint16_t flowControl, std::uint8_t xon,
                            std::uint8_t xoff) override;
    FtStatus SetChars(std::uint8_t eventChar, bool eventCharEnabled, std::uint8_t errorChar,
                      bool errorCharEnabled) override;
    FtStatus SetDivisor(std::uint16_t divisor) override;
    FtStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    FtStatus Purge(std::uint32_t mask) override;
    FtStatus SetBitMode(std::uint8_t mask, std::uint8_t mode) override;

    FtStatus GetQueueStatus(std::uint32_t& queued) override;
    FtStatus GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                       std::uint32_t& events) override;
    FtStatus Read(std::span<std::uint8_t> buffer, std::uint32_t& got) override;
    FtStatus Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) override;

    void SetDataArrivedCallback(std::function<void()> callback) override;
    bool ReportsArrivals() const override { return true; }
    bool DeviceAccessDenied(std::uint32_t index) const override;

  private:
    struct Listed {
        std::string description;
        std::string serial;
        FtStatus descriptionStatus = kFtOk;
        FtStatus serialStatus = kFtOk;
        bool accessDenied = false;
    };
    struct ContextDeleter {
        void operator()(ftdi_context* ctx) const;
    };
    using Context = std::unique_ptr<ftdi_context, ContextDeleter>;

    bool IsOpen() const { return open_; }
    // Status for a call on a closed device, or for a reader that lost the device.
    FtStatus ClosedOrLost() const;
    FtStatus Control(int result, FtStatus onFailure = kFtIoError) const;
    Context ctx_;
    bool open_ = false;
    std::vector<Listed> listing_;
    UsbReader reader_;
};

}  // namespace morvane
