#include "FtdiChip.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace morvane::usbemu {

namespace {

constexpr std::uint32_t kBaseClock = 3000000;  // the R series' baud clock
constexpr std::uint32_t kDivisorOneBaud = 2000000;
// Fraction codes of the divisor (bits 14, 15 of wValue, bit 0 of wIndex) in eighths.
constexpr std::array<std::uint32_t, 8> kEighths = {0, 4, 2, 1, 3, 5, 6, 7};

constexpr std::uint16_t kUsb2 = 0x0200;
constexpr std::uint8_t kControlPacketSize = 8;
constexpr std::uint8_t kConfigurationValue = 1;
constexpr std::uint8_t kBusPoweredRemoteWakeup = 0xA0;
constexpr std::uint8_t kMaxPower90mA = 45;  // in 2 mA units
constexpr std::uint8_t kVendorClass = 0xFF;
constexpr std::uint8_t kBulk = 0x02;

void PutString(Bytes& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(2 + 2 * text.size()));
    out.push_back(kDescriptorString);
    for (char c : text)
        PutLe16(out, static_cast<std::uint8_t>(c));
}

}  // namespace

std::uint32_t BaudFromDivisor(std::uint16_t value, std::uint16_t index) {
    const std::uint32_t whole = value & 0x3FFF;
    const std::uint32_t code = ((value >> 14) & 0x3) | ((index & 0x1) << 2);
    const std::uint32_t eighths = kEighths[code];
    if (whole == 0 && eighths == 0) return kBaseClock;
    if (whole == 1 && eighths == 0) return kDivisorOneBaud;
    if (whole < 2) return 0;  // fractions below 2 are not defined
    return static_cast<std::uint32_t>((std::uint64_t{kBaseClock} * 8 + (whole * 8 + eighths) / 2) /
                                      (whole * 8 + eighths));
}

Bytes DeviceDescriptor(const ChipIdentity& id) {
    Bytes d;
    d.push_back(18);
    d.push_back(kDescriptorDevice);
    PutLe16(d, kUsb2);
    d.push_back(0);  // class, subclass and protocol per interface
    d.push_back(0);
    d.push_back(0);
    d.push_back(kControlPacketSize);
    PutLe16(d, id.vendor);
    PutLe16(d, id.product);
    PutLe16(d, id.release);
    d.push_back(1);  // iManufacturer
    d.push_back(2);  // iProduct
    d.push_back(3);  // iSerialNumber
    d.push_back(1);  // one configuration
    return d;
}

Bytes ConfigurationDescriptor() {
    Bytes d;
    d.push_back(9);
    d.push_back(kDescriptorConfig);
    PutLe16(d, 9 + 9 + 7 + 7);
    d.push_back(1);  // one interface
    d.push_back(kConfigurationValue);
    d.push_back(0);
    d.push_back(kBusPoweredRemoteWakeup);
    d.push_back(kMaxPower90mA);
    // The interface: vendor-specific, two bulk endpoints.
    d.push_back(9);
    d.push_back(LIBUSB_DT_INTERFACE);
    d.push_back(0);  // number
    d.push_back(0);  // alternate setting
    d.push_back(2);
    d.push_back(kVendorClass);
    d.push_back(kVendorClass);
    d.push_back(kVendorClass);
    d.push_back(2);  // iInterface: the description
    for (std::uint8_t endpoint : {kBulkInEndpoint, kBulkOutEndpoint}) {
        d.push_back(7);
        d.push_back(LIBUSB_DT_ENDPOINT);
        d.push_back(endpoint);
        d.push_back(kBulk);
        PutLe16(d, kPacketSize);
        d.push_back(0);
    }
    return d;
}

Bytes StringDescriptor(const ChipIdentity& id, std::uint8_t index) {
    Bytes d;
    switch (index) {
        case 0:
            d.push_back(4);
            d.push_back(kDescriptorString);
            PutLe16(d, kLanguageEnglishUs);
            break;
        case 1:
            PutString(d, id.manufacturer);
            break;
        case 2:
            PutString(d, id.description);
            break;
        case 3:
            PutString(d, id.serial);
            break;
        default:
            break;
    }
    return d;
}

FtdiChip::FtdiChip(ChipIdentity identity, std::shared_ptr<FtdiDriver> backend,
                   std::shared_ptr<FaultPlan> faults)
    : identity_(std::move(identity)), backend_(std::move(backend)), faults_(std::move(faults)) {
    if (backend_) {
        backend_->SetDataArrivedCallback([this] { OnBackendData(); });
        listening_ = true;
    }
}

FtdiChip::~FtdiChip() {
    if (listening_) backend_->SetDataArrivedCallback({});
}

void FtdiChip::OnBackendData() {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

ChipState FtdiChip::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool FtdiChip::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

void FtdiChip::Unplug() {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) return;
        plugged_ = false;
        fifo_.clear();
        claimedBy_ = nullptr;
        changed_.notify_all();
    }
    // The backend's call takes its own lock and then ours: never both from here.
    if (listening_) {
        backend_->SetDataArrivedCallback({});
        listening_ = false;
    }
}

int FtdiChip::Claim(const void* owner, int interfaceNumber) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return LIBUSB_ERROR_NO_DEVICE;
    if (interfaceNumber != 0) return LIBUSB_ERROR_NOT_FOUND;
    if (claimedBy_ != nullptr && claimedBy_ != owner) return LIBUSB_ERROR_BUSY;
    claimedBy_ = owner;
    return LIBUSB_SUCCESS;
}

int FtdiChip::Release(const void* owner, int interfaceNumber) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return LIBUSB_ERROR_NO_DEVICE;
    if (interfaceNumber != 0 || claimedBy_ != owner) return LIBUSB_ERROR_NOT_FOUND;
    claimedBy_ = nullptr;
    return LIBUSB_SUCCESS;
}

bool FtdiChip::ClaimedBy(const void* owner) const {
    std::lock_guard lock(mutex_);
    return claimedBy_ == owner;
}

int FtdiChip::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                      std::uint16_t index, std::span<std::uint8_t> data) {
    std::lock_guard lock(mutex_);
    if (!plugged_) return LIBUSB_ERROR_NO_DEVICE;
    switch (requestType) {
        case kVendorOut:
            return VendorOut(request, value, index);
        case kVendorIn:
            return VendorIn(request, data);
        case kStandardIn:
            return StandardIn(request, value, data);
        case kStandardOut:
            return request == kSetConfiguration && value == kConfigurationValue ? LIBUSB_SUCCESS
                                                                                : LIBUSB_ERROR_PIPE;
        default:
            return LIBUSB_ERROR_PIPE;
    }
}

int FtdiChip::VendorOut(std::uint8_t request, std::uint16_t value, std::uint16_t index) {
    switch (static_cast<FtdiRequest>(request)) {
        case FtdiRequest::Reset:
            if (value == kResetChip) {
                ++state_.resets;
                fifo_.clear();
                if (backend_) backend_->Purge(kFtPurgeRx | kFtPurgeTx);
            } else if (value == kPurgeChipToHost) {
                ++state_.chipToHostPurges;
                fifo_.clear();
                if (backend_) backend_->Purge(kFtPurgeRx);
            } else if (value == kPurgeHostToChip) {
                ++state_.hostToChipPurges;  // bytes go through at once: nothing waits
            } else {
                return LIBUSB_ERROR_PIPE;
            }
            return LIBUSB_SUCCESS;
        case FtdiRequest::ModemControl:
            state_.modemControl = value;
            return LIBUSB_SUCCESS;
        case FtdiRequest::FlowControl:
            state_.flowMode = static_cast<std::uint8_t>(index >> 8);
            state_.xon = static_cast<std::uint8_t>(value);
            state_.xoff = static_cast<std::uint8_t>(value >> 8);
            return LIBUSB_SUCCESS;
        case FtdiRequest::BaudRate: {
            const std::uint32_t baud = BaudFromDivisor(value, index);
            if (baud == 0) return LIBUSB_ERROR_PIPE;
            state_.baudValue = value;
            state_.baudIndex = index;
            state_.baudRate = baud;
            return LIBUSB_SUCCESS;
        }
        case FtdiRequest::LineProperty:
            state_.lineProperty = value;
            return LIBUSB_SUCCESS;
        case FtdiRequest::EventChar:
            state_.eventChar = value;
            return LIBUSB_SUCCESS;
        case FtdiRequest::ErrorChar:
            state_.errorChar = value;
            return LIBUSB_SUCCESS;
        case FtdiRequest::SetLatency:
            if (value < 1 || value > 255) return LIBUSB_ERROR_PIPE;
            state_.latencyMs = static_cast<std::uint8_t>(value);
            return LIBUSB_SUCCESS;
        case FtdiRequest::BitMode:
            state_.bitMask = static_cast<std::uint8_t>(value);
            state_.bitMode = static_cast<std::uint8_t>(value >> 8);
            return LIBUSB_SUCCESS;
        default:
            return LIBUSB_ERROR_PIPE;
    }
}

int FtdiChip::VendorIn(std::uint8_t request, std::span<std::uint8_t> data) {
    Bytes answer;
    switch (static_cast<FtdiRequest>(request)) {
        case FtdiRequest::ModemStatus:
            answer = {kModemStatus0, kModemStatus1};
            break;
        case FtdiRequest::GetLatency:
            answer = {state_.latencyMs};
            break;
        case FtdiRequest::ReadPins:
            answer = {0xFF};
            break;
        default:
            return LIBUSB_ERROR_PIPE;
    }
    const std::size_t n = std::min(answer.size(), data.size());
    std::copy_n(answer.begin(), n, data.begin());
    return static_cast<int>(n);
}

int FtdiChip::StandardIn(std::uint8_t request, std::uint16_t value, std::span<std::uint8_t> data) {
    Bytes answer;
    if (request == kGetStatus) {
        answer = {0, 0};
    } else if (request == kGetDescriptor) {
        const auto type = static_cast<std::uint8_t>(value >> 8);
        const auto index = static_cast<std::uint8_t>(value);
        if (type == kDescriptorDevice && index == 0)
            answer = DeviceDescriptor(identity_);
        else if (type == kDescriptorConfig && index == 0)
            answer = ConfigurationDescriptor();
        else if (type == kDescriptorString)
            answer = StringDescriptor(identity_, index);
        if (answer.empty()) return LIBUSB_ERROR_PIPE;
    } else {
        return LIBUSB_ERROR_PIPE;
    }
    const std::size_t n = std::min(answer.size(), data.size());
    std::copy_n(answer.begin(), n, data.begin());
    return static_cast<int>(n);
}

void FtdiChip::PullFromBackend() {
    if (!backend_) return;
    std::uint32_t queued = 0;
    if (backend_->GetQueueStatus(queued) != kFtOk || queued == 0) return;
    std::vector<std::uint8_t> bytes(queued);
    std::uint32_t got = 0;
    if (backend_->Read(bytes, got) != kFtOk) return;
    fifo_.insert(fifo_.end(), bytes.begin(), bytes.begin() + std::min<std::uint32_t>(got, queued));
}

BulkResult FtdiChip::TimeOut(std::unique_lock<std::mutex>& lock, Clock::time_point deadline) {
    changed_.wait_until(lock, deadline, [this] { return !plugged_; });
    if (!plugged_) return {LIBUSB_ERROR_NO_DEVICE, 0};
    return {LIBUSB_ERROR_TIMEOUT, 0};
}

FtdiChip::Clock::time_point FtdiChip::Deadline(Clock::time_point start, unsigned timeoutMs) {
    // libusb's 0 waits without end; a day stands for it and keeps the clocks' sums small.
    constexpr auto kNoEnd = std::chrono::hours(24);
    return timeoutMs == 0 ? start + kNoEnd : start + std::chrono::milliseconds(timeoutMs);
}

BulkResult FtdiChip::BulkOut(std::span<const std::uint8_t> bytes, unsigned timeoutMs) {
    const Clock::time_point deadline = Deadline(Clock::now(), timeoutMs);
    std::size_t n = bytes.size();
    {
        std::unique_lock lock(mutex_);
        if (!plugged_) return {LIBUSB_ERROR_NO_DEVICE, 0};
        if (bytes.empty()) return {LIBUSB_SUCCESS, 0};
        answerBytes_ = 0;  // what goes up from now on answers these bytes
        switch (faults_->Count()) {
            case TransferFate::TimeOut:
                return TimeOut(lock, deadline);
            case TransferFate::Short:
                n = std::max<std::size_t>(1, n / 2);
                break;
            case TransferFate::Normal:
                break;
        }
    }
    // The backend may answer inside Write and call OnBackendData: our lock is let go.
    if (backend_) {
        std::uint32_t written = 0;
        backend_->Write(bytes.first(n), written);
    }
    return {LIBUSB_SUCCESS, n};
}

// Whole packets while the data lasts and the buffer has room. A transfer ends on a short
// packet (at the latest the status bytes alone, as the latency timer would send them)
// unless the buffer is full.
std::size_t FtdiChip::Packetise(std::span<std::uint8_t> buffer, std::size_t payloadLimit) {
    std::size_t at = 0;
    std::size_t payload = 0;
    while (buffer.size() - at >= kStatusBytes) {
        const std::size_t room = std::min(kPacketSize, buffer.size() - at) - kStatusBytes;
        const std::size_t n = std::min({room, fifo_.size(), payloadLimit - payload});
        buffer[at++] = kModemStatus0;
        buffer[at++] = kModemStatus1;
        std::copy_n(fifo_.begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(at));
        fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(n));
        at += n;
        payload += n;
        if (n + kStatusBytes < kPacketSize) break;
    }
    return at;
}

BulkResult FtdiChip::BulkIn(std::span<std::uint8_t> buffer, unsigned timeoutMs) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = Deadline(start, timeoutMs);
    std::unique_lock lock(mutex_);
    const Clock::time_point latency = start + std::chrono::milliseconds(state_.latencyMs);
    for (;;) {
        if (!plugged_) return {LIBUSB_ERROR_NO_DEVICE, 0};
        PullFromBackend();
        if (!fifo_.empty()) break;
        const Clock::time_point wake = std::min(latency, deadline);
        if (Clock::now() >= wake) break;
        changed_.wait_until(lock, wake);
    }
    if (buffer.size() < kStatusBytes) return {LIBUSB_ERROR_OVERFLOW, 0};
    if (fifo_.empty()) {
        if (deadline < latency) return {LIBUSB_ERROR_TIMEOUT, 0};
        buffer[0] = kModemStatus0;  // the latency timer ran out: status alone
        buffer[1] = kModemStatus1;
        return {LIBUSB_SUCCESS, kStatusBytes};
    }
    std::size_t limit = fifo_.size();
    switch (faults_->Count()) {
        case TransferFate::TimeOut:
            return TimeOut(lock, deadline);  // what waits stays for the next read
        case TransferFate::Short:
            limit =
                std::max<std::size_t>(1, std::min(fifo_.size(), kPacketSize - kStatusBytes) / 2);
            break;
        case TransferFate::Normal:
            break;
    }
    const std::size_t waiting = fifo_.size();
    const std::size_t moved = Packetise(buffer, limit);
    answerBytes_ += waiting - fifo_.size();
    PullFromBackend();
    if (fifo_.empty()) faults_->AnswerUp(answerBytes_);
    return {LIBUSB_SUCCESS, moved};
}

}  // namespace morvane::usbemu
