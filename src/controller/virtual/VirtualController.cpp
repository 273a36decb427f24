#include "controller/virtual/VirtualController.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "controller/virtual/AnswerStream.h"
#include "controller/virtual/CommandDispatch.h"
#include "controller/virtual/DemoDisk.h"
#include "imagefiles/ImageFiles.h"

namespace morvane::virt {

namespace {

constexpr std::uint32_t kDeviceCount = 1;
constexpr std::size_t kFrameLogLimit = 4096;

Nanos SteadyNow() {
    return std::chrono::duration_cast<Nanos>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

VirtualController::VirtualController(VirtualControllerOptions options)
    : realTime_(options.RealTime), clock_(SteadyNow) {
    if (options.DemoDiskInDriveA) fdc_.InsertDisk(Drive::A, MakeDemoDisk());
    if (realTime_) offset_ = WallNow() - fdc_.Now();
    timer_ = std::jthread([this](std::stop_token stop) { TimerLoop(stop); });
}

VirtualController::~VirtualController() {
    timer_.request_stop();
    if (timer_.joinable()) timer_.join();
}

// Called with mutex_ held.
void VirtualController::WakeTimer() {
    ++timerGeneration_;
    timerWake_.notify_all();
}

void VirtualController::Announce() {
    std::lock_guard lock(callbackMutex_);
    if (dataArrived_) dataArrived_();
}

void VirtualController::TimerLoop(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        const std::uint64_t seen = timerGeneration_;
        const auto changed = [this, seen] { return timerGeneration_ != seen; };
        // A clock of the caller's own means the caller drives time; it finds the answers
        // by polling, and this thread stays out of the way of its clock.
        if (!realTime_ || customClock_ || pending_.empty() || !open_ || vanished_) {
            timerWake_.wait(lock, stop, changed);
            continue;
        }
        const Nanos due = pending_.front().ReadyAt + offset_;
        const Nanos now = WallNow();
        if (due > now) {
            timerWake_.wait_for(lock, stop, due - now, changed);
            continue;
        }
        ReleaseDue();
        lock.unlock();
        Announce();
        lock.lock();
    }
}

Nanos VirtualController::WallNow() const {
    return clock_();
}

FtStatus VirtualController::CheckOpen() const {
    if (vanished_) return kFtIoError;
    return open_ ? kFtOk : kFtInvalidHandle;
}

// --- Listing, open, close

FtStatus VirtualController::DeviceCount(std::uint32_t& count) {
    std::lock_guard lock(mutex_);
    count = 0;
    if (vanished_) return kFtDeviceNotFound;
    count = kDeviceCount;
    return kFtOk;
}

FtStatus VirtualController::DeviceSerialNumber(std::uint32_t index, std::string& serial) {
    std::lock_guard lock(mutex_);
    if (vanished_) return kFtDeviceNotFound;
    if (index >= kDeviceCount) return kFtDeviceNotFound;
    serial = kVirtualSerialNumber;
    return kFtOk;
}

FtStatus VirtualController::DeviceDescription(std::uint32_t index, std::string& description) {
    std::lock_guard lock(mutex_);
    if (vanished_) return kFtDeviceNotFound;
    if (index >= kDeviceCount) return kFtDeviceNotFound;
    description = kVirtualDescription;
    return kFtOk;
}

FtStatus VirtualController::OpenByDescription(const std::string& description) {
    std::lock_guard lock(mutex_);
    if (vanished_ || description != kVirtualDescription) return kFtDeviceNotFound;
    if (open_) return kFtDeviceNotOpened;  // the vendor library refuses a second open
    open_ = true;
    parser_.Reset();
    pending_.clear();
    readable_.clear();
    return kFtOk;
}

FtStatus VirtualController::Close() {
    std::lock_guard lock(mutex_);
    if (vanished_) {
        open_ = false;
        return kFtIoError;
    }
    if (!open_) return kFtInvalidHandle;
    open_ = false;
    return kFtOk;
}

// --- Configuration: remembered, otherwise without effect on the emulation.

FtStatus VirtualController::SetUsbParameters(std::uint32_t inTransferSize,
                                             std::uint32_t outTransferSize) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.InTransferSize = inTransferSize;
    settings_.OutTransferSize = outTransferSize;
    return kFtOk;
}

FtStatus VirtualController::SetBaudRate(std::uint32_t baud) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    if (baud == 0) return kFtInvalidBaudRate;
    settings_.BaudRate = baud;
    return kFtOk;
}

FtStatus VirtualController::SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                                   std::uint8_t parity) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.WordLength = wordLength;
    settings_.StopBits = stopBits;
    settings_.Parity = parity;
    return kFtOk;
}

FtStatus VirtualController::SetFlowControl(std::uint16_t flowControl, std::uint8_t xon,
                                           std::uint8_t xoff) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.FlowControl = flowControl;
    settings_.Xon = xon;
    settings_.Xoff = xoff;
    return kFtOk;
}

FtStatus VirtualController::SetChars(std::uint8_t eventChar, bool eventCharEnabled,
                                     std::uint8_t errorChar, bool errorCharEnabled) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.EventChar = eventChar;
    settings_.EventCharEnabled = eventCharEnabled;
    settings_.ErrorChar = errorChar;
    settings_.ErrorCharEnabled = errorCharEnabled;
    return kFtOk;
}

FtStatus VirtualController::SetDivisor(std::uint16_t divisor) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.Divisor = divisor;
    return kFtOk;
}

FtStatus VirtualController::SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.ReadTimeoutMs = readMs;
    settings_.WriteTimeoutMs = writeMs;
    return kFtOk;
}

FtStatus VirtualController::SetBitMode(std::uint8_t mask, std::uint8_t mode) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    settings_.BitMask = mask;
    settings_.BitMode = mode;
    return kFtOk;
}

// --- Data

FtStatus VirtualController::Purge(std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    // Only what has already arrived at the host is dropped; an answer the device is still
    // working on comes later, as it would from the hardware. Every written byte reached
    // the device at once, so there is nothing to purge on the transmit side.
    if ((mask & kFtPurgeRx) != 0) {
        ReleaseDue();
        readable_.clear();
    }
    return kFtOk;
}

void VirtualController::ReleaseDue() {
    const Nanos now = realTime_ ? WallNow() - offset_ : Nanos::max();
    while (!pending_.empty() && pending_.front().ReadyAt <= now) {
        readable_.insert(readable_.end(), pending_.front().Data.begin(),
                         pending_.front().Data.end());
        pending_.pop_front();
    }
}

FtStatus VirtualController::GetQueueStatus(std::uint32_t& queued) {
    std::lock_guard lock(mutex_);
    queued = 0;
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    ReleaseDue();
    queued = static_cast<std::uint32_t>(readable_.size());
    return kFtOk;
}

FtStatus VirtualController::GetStatus(std::uint32_t& rxQueued, std::uint32_t& txPending,
                                      std::uint32_t& events) {
    std::lock_guard lock(mutex_);
    rxQueued = txPending = events = 0;
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    ReleaseDue();
    rxQueued = static_cast<std::uint32_t>(readable_.size());
    return kFtOk;
}

FtStatus VirtualController::Read(std::span<std::uint8_t> buffer, std::uint32_t& got) {
    std::lock_guard lock(mutex_);
    got = 0;
    if (FtStatus s = CheckOpen(); s != kFtOk) return s;
    ReleaseDue();
    const std::size_t n = std::min(buffer.size(), readable_.size());
    std::copy_n(readable_.begin(), n, buffer.begin());
    readable_.erase(readable_.begin(), readable_.begin() + static_cast<std::ptrdiff_t>(n));
    got = static_cast<std::uint32_t>(n);
    return kFtOk;
}

FtStatus VirtualController::Write(std::span<const std::uint8_t> bytes, std::uint32_t& written) {
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        written = 0;
        if (FtStatus s = CheckOpen(); s != kFtOk) return s;
        written = static_cast<std::uint32_t>(bytes.size());
        std::vector<CommandFrame> frames;
        parser_.Feed(bytes, frames);
        const std::size_t before = readable_.size();
        for (const CommandFrame& frame : frames) {
            HandleFrame(frame);
            if (vanished_) break;
        }
        ReleaseDue();
        // What is readable now is announced here; what falls due later, by the timer. A
        // device that vanished is announced too: the port then finds every call failing.
        notify = vanished_ || readable_.size() != before;
        if (realTime_ && !pending_.empty()) WakeTimer();
    }
    if (notify) Announce();
    return kFtOk;
}

void VirtualController::SetDataArrivedCallback(std::function<void()> callback) {
    std::lock_guard lock(callbackMutex_);
    dataArrived_ = std::move(callback);
}

bool VirtualController::ReportsArrivals() const {
    std::lock_guard lock(mutex_);
    return !customClock_;
}

void VirtualController::HandleFrame(const CommandFrame& frame) {
    // A long session must not grow the log without end; the recent frames are what a
    // test or a look at the log wants.
    if (received_.size() >= kFrameLogLimit)
        received_.erase(received_.begin(), received_.begin() + kFrameLogLimit / 2);
    received_.push_back(frame);
    if (realTime_) fdc_.CatchUp(WallNow() - offset_);
    const Nanos start = fdc_.Now();
    const std::vector<WdReply> replies = ExecuteCommand(fdc_, frame);
    deviceTime_ += fdc_.Now() - start;
    const bool silent = silenceNext_ > 0 || std::find(silentCodes_.begin(), silentCodes_.end(),
                                                      frame.Code) != silentCodes_.end();
    if (silenceNext_ > 0) {
        --silenceNext_;
    } else if (silenceSkip_ > 0 && --silenceSkip_ == 0) {
        silenceNext_ = std::exchange(silenceLater_, 0);
    }
    if (!silent) {
        for (std::size_t i = 0; i < replies.size(); ++i) {
            if (!tamper_) {
                QueueReply(replies[i]);
                continue;
            }
            for (const WdReply& reply : tamper_(frame, i, replies[i]))
                QueueReply(reply);
        }
    }
    if (vanishAfter_ > 0 && --vanishAfter_ == 0) {
        vanished_ = true;
        vanishAfter_ = -1;
        pending_.clear();
        readable_.clear();
    }
}

void VirtualController::QueueReply(const WdReply& reply) {
    Bytes stream;
    if (garbage_ && garbageMax_ > 0) {
        std::uniform_int_distribution<std::size_t> count(1, garbageMax_);
        const std::size_t n = count(random_);
        switch (garbageKind_) {
            case GarbageKind::Noise:
                stream = MakeGarbage(random_, n);
                break;
            case GarbageKind::TornFrame:
                stream = MakeTornFrame(random_, n);
                break;
            case GarbageKind::StrayErrorMark:
                stream = MakeStrayErrorMark(random_, n);
                break;
        }
    }
    const Bytes frame =
        reply.Error
            ? EncodeError(reply.Data, std::array<std::uint8_t, 2>{reply.Status, reply.Sector})
            : EncodeAnswer(reply.Data);
    stream.insert(stream.end(), frame.begin(), frame.end());
    pending_.push_back({reply.ReadyAt, std::move(stream)});
}

// --- Drives and disks

void VirtualController::LoadImage(Drive drive, const DiskImage& image, ImageToDiskReport* report) {
    auto disk = DiskFromImage(image, report);
    std::lock_guard lock(mutex_);
    fdc_.InsertDisk(drive, std::move(disk));
}

bool VirtualController::LoadImageFile(Drive drive, const std::string& path, std::string* error,
                                      ImageToDiskReport* report) {
    auto image = std::make_unique<DiskImage>();
    if (!morvane::LoadImageFile(path, *image)) {
        if (error != nullptr) *error = image->LastError;
        return false;
    }
    LoadImage(drive, *image, report);
    return true;
}

bool VirtualController::SaveImage(Drive drive, DiskImage& image) const {
    std::lock_guard lock(mutex_);
    const VirtualDisk* disk = fdc_.Disk(drive);
    if (disk == nullptr) return false;
    DiskToImage(*disk, image);
    return true;
}

void VirtualController::InsertDisk(Drive drive, std::unique_ptr<VirtualDisk> disk) {
    std::lock_guard lock(mutex_);
    fdc_.InsertDisk(drive, std::move(disk));
}

void VirtualController::InsertDemoDisk(Drive drive) {
    InsertDisk(drive, MakeDemoDisk());
}

void VirtualController::EjectDisk(Drive drive) {
    std::lock_guard lock(mutex_);
    fdc_.EjectDisk(drive);
}

bool VirtualController::HasDisk(Drive drive) const {
    std::lock_guard lock(mutex_);
    return fdc_.Disk(drive) != nullptr;
}

void VirtualController::SetWriteProtected(Drive drive, bool on) {
    std::lock_guard lock(mutex_);
    if (VirtualDisk* disk = fdc_.Disk(drive)) disk->WriteProtected = on;
}

// --- Faults

MediaFaults& VirtualController::Faults() {
    return fdc_.Faults();
}

void VirtualController::SilenceNextCommands(int count) {
    std::lock_guard lock(mutex_);
    silenceNext_ = std::max(count, 0);
}

void VirtualController::SilenceCommandsAfter(int skip, int count) {
    std::lock_guard lock(mutex_);
    if (count <= 0) return;
    if (skip <= 0) {
        silenceNext_ = count;
        return;
    }
    silenceSkip_ = skip;
    silenceLater_ = count;
}

void VirtualController::SilenceCommand(std::uint8_t code, bool silent) {
    std::lock_guard lock(mutex_);
    std::erase(silentCodes_, code);
    if (silent) silentCodes_.push_back(code);
}

void VirtualController::SetGarbageBetweenFrames(bool on, std::size_t maxBytes, GarbageKind kind) {
    std::lock_guard lock(mutex_);
    garbage_ = on;
    garbageMax_ = maxBytes;
    garbageKind_ = kind;
}

void VirtualController::SetGarbageSeed(std::uint32_t seed) {
    std::lock_guard lock(mutex_);
    random_.seed(seed);
}

void VirtualController::SetReplyTamper(ReplyTamper tamper) {
    std::lock_guard lock(mutex_);
    tamper_ = std::move(tamper);
}

void VirtualController::Vanish() {
    {
        std::lock_guard lock(mutex_);
        vanished_ = true;
        pending_.clear();
        readable_.clear();
    }
    Announce();
}

void VirtualController::VanishAfterCommands(int count) {
    {
        std::lock_guard lock(mutex_);
        if (count > 0) {
            vanishAfter_ = count;
            return;
        }
        vanished_ = true;
        pending_.clear();
        readable_.clear();
    }
    Announce();
}

void VirtualController::Reappear() {
    std::lock_guard lock(mutex_);
    vanished_ = false;
    vanishAfter_ = -1;
    open_ = false;
    parser_.Reset();
    pending_.clear();
    readable_.clear();
}

bool VirtualController::Vanished() const {
    std::lock_guard lock(mutex_);
    return vanished_;
}

// --- Timing

void VirtualController::SetRealTime(bool on) {
    std::lock_guard lock(mutex_);
    if (on && !realTime_) offset_ = WallNow() - fdc_.Now();
    realTime_ = on;
    WakeTimer();
}

bool VirtualController::RealTime() const {
    std::lock_guard lock(mutex_);
    return realTime_;
}

void VirtualController::SetMechanics(const Mechanics& mechanics) {
    std::lock_guard lock(mutex_);
    fdc_.Timing() = mechanics;
}

void VirtualController::SetClock(std::function<Nanos()> clock) {
    std::lock_guard lock(mutex_);
    customClock_ = static_cast<bool>(clock);
    clock_ = clock ? std::move(clock) : std::function<Nanos()>(SteadyNow);
    offset_ = WallNow() - fdc_.Now();
    WakeTimer();
}

Nanos VirtualController::EmulatedNow() const {
    std::lock_guard lock(mutex_);
    return fdc_.Now();
}

Nanos VirtualController::DeviceTime() const {
    std::lock_guard lock(mutex_);
    return deviceTime_;
}

DriveTimes VirtualController::DeviceTimeSpent() const {
    std::lock_guard lock(mutex_);
    return fdc_.Spent();
}

void VirtualController::ResetDeviceTime() {
    std::lock_guard lock(mutex_);
    deviceTime_ = Nanos{};
    fdc_.ResetSpent();
}

// --- Inspection

bool VirtualController::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_ && !vanished_;
}

PortSettings VirtualController::Settings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

std::vector<CommandFrame> VirtualController::ReceivedFrames() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void VirtualController::ClearReceivedFrames() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

std::uint8_t VirtualController::Register(std::uint8_t number) const {
    std::lock_guard lock(mutex_);
    return fdc_.ReadRegister(number);
}

void VirtualController::SetRegister(std::uint8_t number, std::uint8_t value) {
    std::lock_guard lock(mutex_);
    fdc_.WriteRegister(number, value);
}

}  // namespace morvane::virt
