#include "LibFtdiDriver.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

namespace morvane {

namespace {

constexpr int kStringBufferSize = 256;  // larger than any USB string descriptor text

// Flow-control codes of the vendor library.
constexpr std::uint16_t kFlowRtsCts = 0x0100;
constexpr std::uint16_t kFlowDtrDsr = 0x0200;
constexpr std::uint16_t kFlowXonXoff = 0x0400;

// Stop-bit codes of the vendor library.
constexpr std::uint8_t kVendorStopBits1 = 0;
constexpr std::uint8_t kVendorStopBits2 = 2;

// The chip's base clock for the raw divisor; 0 and 1 are the chip's special cases.
constexpr int kDivisorClock = 3000000;
constexpr int kDivisorOneBaud = 2000000;

struct DeviceList {
    ftdi_device_list* head = nullptr;
    ~DeviceList() {
        if (head) ftdi_list_free(&head);
    }
};

// One string of a device, each query on its own, so one failing text spares the other.
FtStatus QueryString(ftdi_context* ctx, libusb_device* dev, bool description, std::string& out) {
    std::array<char, kStringBufferSize> text{};
    const int rc = description ? ftdi_usb_get_strings(ctx, dev, nullptr, 0, text.data(),
                                                      kStringBufferSize, nullptr, 0)
                               : ftdi_usb_get_strings(ctx, dev, nullptr, 0, nullptr, 0, text.data(),
                                                      kStringBufferSize);
    if (rc == -4) return kFtDeviceNotOpened;  // no permission, or the device went away
    if (rc < 0) return kFtIoError;
    text.back() = '\0';
    out = text.data();
    return kFtOk;
}

// libftdi reports every failed open alike; libusb tells a refused permission apart.
bool OpenIsRefused(libusb_device* dev) {
    libusb_device_handle* handle = nullptr;
    const int rc = libusb_open(dev, &handle);
    if (rc == LIBUSB_SUCCESS) libusb_close(handle);
    return rc == LIBUSB_ERROR_ACCESS;
}

// One bulk read of the chip in whole packets, no longer than the transfer size set, the
// status bytes taken out.
UsbReader::Piece ReadChip(ftdi_context* ctx, std::span<std::uint8_t> buffer) {
    const std::size_t packet = ctx->max_packet_size;
    const std::size_t most = std::min<std::size_t>(buffer.size(), ctx->readbuffer_chunksize);
    const std::size_t length = packet == 0 ? 0 : most / packet * packet;
    if (length == 0 || ctx->usb_dev == nullptr) return {0, LIBUSB_ERROR_INVALID_PARAM};
    int moved = 0;
    const int rc = libusb_bulk_transfer(ctx->usb_dev, static_cast<unsigned char>(ctx->out_ep),
                                        buffer.data(), static_cast<int>(length), &moved,
                                        static_cast<unsigned int>(ctx->usb_read_timeout));
    const std::size_t came = std::min(static_cast<std::size_t>(std::max(moved, 0)), length);
    return {TakeFtdiPayload(buffer.first(came), packet), rc < 0 ? rc : 0};
}

}  // namespace

std::size_t TakeFtdiPayload(std::span<std::uint8_t> transfer, std::size_t packetSize) {
    if (packetSize <= kFtdiStatusBytes) return 0;
    std::size_t payload = 0;
    for (std::size_t at = 0; at < transfer.size(); at += packetSize) {
        const std::size_t packet = std::min(packetSize, transfer.size() - at);
        if (packet <= kFtdiStatusBytes) break;
        const auto from = transfer.begin() + static_cast<std::ptrdiff_t>(at + kFtdiStatusBytes);
        std::copy(from, from + static_cast<std::ptrdiff_t>(packet - kFtdiStatusBytes),
                  transfer.begin() + static_cast<std::ptrdiff_t>(payload));
        payload += packet - kFtdiStatusBytes;
    }
    return payload;
}

void LibFtdiDriver::ContextDeleter::operator()(ftdi_context* ctx) const {
    ftdi_free(ctx);
}

LibFtdiDriver::LibFtdiDriver() : ctx_(ftdi_new()) {}

LibFtdiDriver::~LibFtdiDriver() {
    if (open_) Close();
}

FtStatus LibFtdiDriver::ClosedOrLost() const {
    if (!open_ || !ctx_) return kFtInvalidHandle;
    return reader_.Failed() ? kFtIoError : kFtOk;
}

FtStatus LibFtdiDriver::Control(int result, FtStatus onFailure) const {
    return result < 0 ? onFailure : kFtOk;
}

FtStatus LibFtdiDriver::DeviceCount(std::uint32_t& count) {
    count = 0;
    listing_.clear();
    Context list(ftdi_new());
    if (!list) return kFtInsufficientResources;
    DeviceList devices;
    // Vendor 0 / product 0: every FTDI chip type libftdi knows (vendor 0403).
    const int found = ftdi_usb_find_all(list.get(), &devices.head, 0, 0);
    if (found < 0) return kFtIoError;
    for (ftdi_device_list* d = devices.head; d; d = d->next) {
        Listed entry;
        entry.descriptionStatus = QueryString(list.get(), d->dev, true, entry.description);
        entry.serialStatus = QueryString(list.get(), d->dev, false, entry.serial);
        if (entry.descriptionStatus == kFtDeviceNotOpened ||
            entry.serialStatus == kFtDeviceNotOpened)
            entry.accessDenied = OpenIsRefused(d->dev);
        listing_.push_back(std::move(entry));
    }
    count = static_cast<std::uint32_t>(listing_.size());
    return kFtOk;
}

FtStatus LibFtdiDriver::DeviceSerialNumber(std::uint32_t index, std::string& serial) {
    if (index >= listing_.size()) return kFtDeviceNotFound;
    serial = listing_[index].serial;
    return listing_[index].serialStatus;
}

bool LibFtdiDriver::DeviceAccessDenied(std::uint32_t index) const {
    return index < listing_.size() && listing_[index].accessDenied;
}

FtStatus LibFtdiDriver::DeviceDescription(std::uint32_t index, std::string& description) {
    if (index >= listing_.size()) return kFtDeviceNotFound;
    description = listing_[index].description;
    return listing_[index].descriptionStatus;
}

FtStatus LibFtdiDriver::OpenByDescription(const std::string& description) {
    if (!ctx_) return kFtInsufficientResources;
    if (open_) return kFtDeviceNotOpened;  // one device per driver, as one handle
    Context list(ftdi_new());
    if (!list) return kFtInsufficientResources;
    DeviceList devices;
    if (ftdi_usb_find_all(list.get(), &devices.head, 0, 0) < 0) return kFtIoError;
    for (ftdi_device_list* d = devices.head; d; d = d->next) {
        std::string text;
        if (QueryString(list.get(), d->dev, true, text) != kFtOk || text != description) continue;
        if (ftdi_usb_open_dev(ctx_.get(), d->dev) < 0) return kFtDeviceNotOpened;
        ftdi_set_latency_timer(ctx_.get(), kFtdiLatencyMs);
        ctx_->usb_read_timeout = std::max(ctx_->usb_read_timeout, kFtdiMinTransferTimeoutMs);
        ctx_->usb_write_timeout = std::max(ctx_->usb_write_timeout, kFtdiMinTransferTimeoutMs);
        open_ = true;
        ftdi_context* ctx = ctx_.get();
        reader_.Start([ctx](std::span<std::uint8_t> piece) { return ReadChip(ctx, piece); });
        return kFtOk;
    }
    return kFtDeviceNotFound;
}

FtStatus LibFtdiDriver::Close() {
    if (!open_) return kFtInvalidHandle;
    reader_.Stop();
    open_ = false;
    reader_.Clear();
    return Control(ftdi_usb_close(ctx_.get()));
}

FtStatus LibFtdiDriver::SetUsbParameters(std::uint32_t inTransferSize,
                                         std::uint32_t outTransferSize) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    if (ftdi_read_data_set_chunksize(ctx_.get(), inTransferSize) < 0) return kFtIoError;
    return Control(ftdi_write_data_set_chunksize(ctx_.get(), outTransferSize));
}

FtStatus LibFtdiDriver::SetBaudRate(std::uint32_t baud) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    return Control(ftdi_set_baudrate(ctx_.get(), static_cast<int>(baud)), kFtInvalidBaudRate);
}

FtStatus LibFtdiDriver::SetDivisor(std::uint16_t divisor) {
    if (!open_) return kFtInvalidHandle;
    const int baud = divisor == 0   ? kDivisorClock
                     : divisor == 1 ? kDivisorOneBaud
                                    : kDivisorClock / divisor;
    UsbReader::Hold lock(reader_);
    return Control(ftdi_set_baudrate(ctx_.get(), baud), kFtInvalidBaudRate);
}

FtStatus LibFtdiDriver::SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                               std::uint8_t parity) {
    if (!open_) return kFtInvalidHandle;
    if ((wordLength != 7 && wordLength != 8) ||
        (stopBits != kVendorStopBits1 && stopBits != kVendorStopBits2) || parity > SPACE)
        return kFtInvalidParameter;
    UsbReader::Hold lock(reader_);
    return Control(ftdi_set_line_property(ctx_.get(), wordLength == 7 ? BITS_7 : BITS_8,
                                          stopBits == kVendorStopBits2 ? STOP_BIT_2 : STOP_BIT_1,
                                          static_cast<ftdi_parity_type>(parity)));
}

FtStatus LibFtdiDriver::SetFlowControl(std::uint16_t flowControl, std::uint8_t xon,
                                       std::uint8_t xoff) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    switch (flowControl) {
        case 0:
            return Control(ftdi_setflowctrl(ctx_.get(), SIO_DISABLE_FLOW_CTRL));
        case kFlowRtsCts:
            return Control(ftdi_setflowctrl(ctx_.get(), SIO_RTS_CTS_HS));
        case kFlowDtrDsr:
            return Control(ftdi_setflowctrl(ctx_.get(), SIO_DTR_DSR_HS));
        case kFlowXonXoff:
            return Control(ftdi_setflowctrl_xonxoff(ctx_.get(), xon, xoff));
        default:
            return kFtInvalidParameter;
    }
}

FtStatus LibFtdiDriver::SetChars(std::uint8_t eventChar, bool eventCharEnabled,
                                 std::uint8_t errorChar, bool errorCharEnabled) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    if (ftdi_set_event_char(ctx_.get(), eventChar, eventCharEnabled ? 1 : 0) < 0) return kFtIoError;
    return Control(ftdi_set_error_char(ctx_.get(), errorChar, errorCharEnabled ? 1 : 0));
}

FtStatus LibFtdiDriver::SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    ctx_->usb_read_timeout = std::max(static_cast<int>(readMs), kFtdiMinTransferTimeoutMs);
    ctx_->usb_write_timeout = std::max(static_cast<int>(writeMs), kFtdiMinTransferTimeoutMs);
    return kFtOk;
}

FtStatus LibFtdiDriver::Purge(std::uint32_t mask) {
    if (!open_) return kFtInvalidHandle;
    if ((mask & (kFtPurgeRx | kFtPurgeTx)) == 0) return kFtInvalidParameter;
    UsbReader::Hold lock(reader_);
    if (mask & kFtPurgeRx) {
        if (ftdi_tciflush(ctx_.get()) < 0) return kFtIoError;
        reader_.Clear();
    }
    if (mask & kFtPurgeTx) return Control(ftdi_tcoflush(ctx_.get()));
    return kFtOk;
}

FtStatus LibFtdiDriver::SetBitMode(std::uint8_t mask, std::uint8_t mode) {
    if (!open_) return kFtInvalidHandle;
    UsbReader::Hold lock(reader_);
    return Control(ftdi_set_bitmode(ctx_.get(), mask, mode));
}

FtStatus LibFtdiDriver::GetQueueStatus(std::uint32_t& queued) {
    queued = 0;
    if (!open_) return kFtInvalidHandle;
    queued = static_cast<std::uint32_t>(reader_.Queued());
    // Bytes that came before the device was lost can still be read.
    if (queued == 0 && reader_.Failed()) return kFtIoError;
    return kFtOk;
}

FtStatus LibFtdiDriver::GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                                  std::uint32_t& events) {
    rxQueued = 0;
    txPending = 0;  // libftdi writes synchronously: nothing waits after Write returns
    events = 0;
    const FtStatus status = ClosedOrLost();
    if (status != kFtOk) return status;
    rxQueued = static_cast<std::uint32_t>(reader_.Queued());
    return kFtOk;
}

FtStatus LibFtdiDriver::Read(std::span<std::uint8_t> buffer, std::uint32_t& got) {
    got = 0;
    if (!open_) return kFtInvalidHandle;
    const std::size_t n = reader_.Take(buffer);
    got = static_cast<std::uint32_t>(n);
    if (n == 0 && reader_.Failed()) return kFtIoError;
    return kFtOk;
}

// Writing needs no IoLock: libftdi's write path shares nothing with the reader's read
// path, and libusb allows transfers on both endpoints from two threads.
FtStatus LibFtdiDriver::Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    written = 0;
    const FtStatus status = ClosedOrLost();
    if (status != kFtOk) return status;
    const int rc = ftdi_write_data(ctx_.get(), bytes.data(), static_cast<int>(bytes.size()));
    if (rc < 0) return kFtIoError;
    written = static_cast<std::uint32_t>(rc);
    return kFtOk;
}

void LibFtdiDriver::SetDataArrivedCallback(std::function<void()> callback) {
    reader_.SetDataArrivedCallback(std::move(callback));
}

}  // namespace morvane
