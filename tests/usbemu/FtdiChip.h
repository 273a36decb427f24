// The emulated FTDI chip as the USB bus sees it: its descriptors, the vendor requests the
// FTDI libraries send, and the two bulk endpoints. Bytes from the host's bulk-out go to
// whatever sits behind the chip (the backend, the emulated floppy controller); what the
// backend sends waits in the chip's receive buffer and goes up in 64-byte packets, each
// beginning with the chip's two modem-status bytes.
//
// When the host reads and nothing waits, the chip answers once its latency timer runs
// out, with a packet of the two status bytes alone; a transfer whose own time-out is
// shorter than that times out with nothing. All calls may come from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "FaultPlan.h"
#include "controller/FtdiDriver.h"
#include "model/Bytes.h"

namespace morvane::usbemu {

inline constexpr std::uint16_t kFtdiVendor = 0x0403;
inline constexpr std::uint16_t kFt232rProduct = 0x6001;
inline constexpr std::uint16_t kFt232rRelease = 0x0600;  // bcdDevice of the R series
inline constexpr std::size_t kPacketSize = 64;
inline constexpr std::size_t kStatusBytes = 2;
inline constexpr std::uint8_t kBulkInEndpoint = 0x81;
inline constexpr std::uint8_t kBulkOutEndpoint = 0x02;
inline constexpr std::uint8_t kDefaultLatencyMs = 16;
// The modem-status bytes at the head of every packet: CTS and DSR low, transmitter empty.
inline constexpr std::uint8_t kModemStatus0 = 0x01;
inline constexpr std::uint8_t kModemStatus1 = 0x60;

// USB request codes the chip answers (bmRequestType, bRequest).
inline constexpr std::uint8_t kVendorOut = 0x40;
inline constexpr std::uint8_t kVendorIn = 0xC0;
inline constexpr std::uint8_t kStandardIn = 0x80;
inline constexpr std::uint8_t kStandardOut = 0x00;
inline constexpr std::uint8_t kGetDescriptor = 0x06;
inline constexpr std::uint8_t kGetStatus = 0x00;
inline constexpr std::uint8_t kSetConfiguration = 0x09;
inline constexpr std::uint8_t kDescriptorDevice = 1;
inline constexpr std::uint8_t kDescriptorConfig = 2;
inline constexpr std::uint8_t kDescriptorString = 3;
inline constexpr std::uint16_t kLanguageEnglishUs = 0x0409;

enum class FtdiRequest : std::uint8_t {
    Reset = 0x00,
    ModemControl = 0x01,
    FlowControl = 0x02,
    BaudRate = 0x03,
    LineProperty = 0x04,
    ModemStatus = 0x05,
    EventChar = 0x06,
    ErrorChar = 0x07,
    SetLatency = 0x09,
    GetLatency = 0x0A,
    BitMode = 0x0B,
    ReadPins = 0x0C,
};
// wValue of the reset request.
inline constexpr std::uint16_t kResetChip = 0;
inline constexpr std::uint16_t kPurgeHostToChip = 1;  // libftdi's tcoflush
inline constexpr std::uint16_t kPurgeChipToHost = 2;  // libftdi's tciflush

struct ChipIdentity {
    std::uint16_t vendor = kFtdiVendor;
    std::uint16_t product = kFt232rProduct;
    std::uint16_t release = kFt232rRelease;
    std::string manufacturer = "FTDI";
    std::string description;
    std::string serial;
};

// What the host set, for the log and the tests.
struct ChipState {
    std::uint16_t baudValue = 0, baudIndex = 0;  // the divisor as sent
    std::uint32_t baudRate = 0;                  // decoded from it
    std::uint16_t lineProperty = 0;              // bits | parity << 8 | stop << 11 | break << 14
    std::uint8_t flowMode = 0;                   // high byte of wIndex: 0, 1, 2 or 4
    std::uint8_t xon = 0, xoff = 0;
    std::uint16_t eventChar = 0, errorChar = 0;  // char | enabled << 8
    std::uint8_t latencyMs = kDefaultLatencyMs;
    std::uint8_t bitMask = 0, bitMode = 0;
    std::uint16_t modemControl = 0;
    int resets = 0, chipToHostPurges = 0, hostToChipPurges = 0;
};

// The result of a bulk transfer: 0 or a libusb error code, and the bytes moved.
struct BulkResult {
    int status = 0;
    std::size_t moved = 0;
};

// The baud rate the R series runs at for a divisor as libftdi sends it (wValue, wIndex);
// 0 for a divisor the chip does not take.
std::uint32_t BaudFromDivisor(std::uint16_t value, std::uint16_t index);

// Descriptors as the device sends them.
Bytes DeviceDescriptor(const ChipIdentity& id);
Bytes ConfigurationDescriptor();
// String descriptor index 0 lists the languages; 1, 2, 3 are manufacturer, description,
// serial. Empty for any other index.
Bytes StringDescriptor(const ChipIdentity& id, std::uint8_t index);

class FtdiChip {
  public:
    // backend may be null: a chip with nothing behind it swallows what it is sent.
    FtdiChip(ChipIdentity identity, std::shared_ptr<FtdiDriver> backend,
             std::shared_ptr<FaultPlan> faults);
    ~FtdiChip();
    FtdiChip(const FtdiChip&) = delete;
    FtdiChip& operator=(const FtdiChip&) = delete;

    const ChipIdentity& Identity() const { return identity_; }
    ChipState State() const;

    // A control transfer; data is the data stage (wLength bytes). Bytes moved, or a
    // libusb error code (a stall for a request the chip does not know).
    int Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                std::uint16_t index, std::span<std::uint8_t> data);
    // timeoutMs 0 waits without end, as libusb's does.
    BulkResult BulkOut(std::span<const std::uint8_t> bytes, unsigned timeoutMs);
    BulkResult BulkIn(std::span<std::uint8_t> buffer, unsigned timeoutMs);

    // Only one handle at a time may claim the interface.
    int Claim(const void* owner, int interfaceNumber);
    int Release(const void* owner, int interfaceNumber);
    bool ClaimedBy(const void* owner) const;

    // Pulled out: every waiting and later transfer ends with LIBUSB_ERROR_NO_DEVICE.
    void Unplug();
    bool Plugged() const;

  private:
    using Clock = std::chrono::steady_clock;

    static Clock::time_point Deadline(Clock::time_point start, unsigned timeoutMs);

    int VendorOut(std::uint8_t request, std::uint16_t value, std::uint16_t index);
    int VendorIn(std::uint8_t request, std::span<std::uint8_t> data);
    int StandardIn(std::uint8_t request, std::uint16_t value, std::span<std::uint8_t> data);
    void PullFromBackend();  // with mutex_ held
    void OnBackendData();
    // Waits out a transfer's time-out unless the chip is pulled out first; mutex_ held.
    BulkResult TimeOut(std::unique_lock<std::mutex>& lock, Clock::time_point deadline);
    std::size_t Packetise(std::span<std::uint8_t> buffer, std::size_t payloadLimit);

    const ChipIdentity identity_;
    const std::shared_ptr<FtdiDriver> backend_;
    const std::shared_ptr<FaultPlan> faults_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint8_t> fifo_;  // from the backend, not yet read by the host
    ChipState state_;
    const void* claimedBy_ = nullptr;
    bool plugged_ = true;
    bool listening_ = false;       // the backend's data-arrived call is ours
    std::size_t answerBytes_ = 0;  // payload gone up since the host last sent something
};

}  // namespace morvane::usbemu
