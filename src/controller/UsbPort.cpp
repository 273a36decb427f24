#include "UsbPort.h"

#include <QMetaObject>

#include <algorithm>
#include <utility>

#include "DeviceErrorText.h"

namespace morvane {

std::string CutDeviceText(const std::string& text) {
    return text.substr(0, std::min(text.size(), kDeviceTextLength));
}

UsbPort::UsbPort(std::unique_ptr<FtdiDriver> driver, QObject* parent)
    : QObject(parent),
      driver_(std::move(driver)),
      pollTimer_(this),
      sendBuffer_(kSendBufferSize, 0),
      receiveChunk_(kReceiveChunkSize, 0) {
    setObjectName(QStringLiteral("USBPort"));
    pollTimer_.setInterval(pollingTime_);
    connect(&pollTimer_, &QTimer::timeout, this, &UsbPort::Poll);
    AttachDriver();
}

UsbPort::~UsbPort() {
    pollTimer_.stop();
    DetachDriver();
    if (active_) Close();
    enableMessage_ = false;
}

void UsbPort::AttachDriver() {
    if (!driver_) return;
    driver_->SetDataArrivedCallback([this] { SchedulePoll(); });
}

void UsbPort::DetachDriver() {
    if (driver_) driver_->SetDataArrivedCallback({});
}

std::unique_ptr<FtdiDriver> UsbPort::SetDriver(std::unique_ptr<FtdiDriver> driver) {
    const bool wasActive = active_;
    if (active_) Close();
    DetachDriver();
    std::unique_ptr<FtdiDriver> old = std::exchange(driver_, std::move(driver));
    decoder_.Reset();
    ResetFlags();
    answers_.clear();
    errors_.clear();
    AttachDriver();
    // Closing said so when the link was up; an idle link still changes hands.
    if (!wasActive) EndLink(false, {});
    return old;
}

void UsbPort::UpdatePollTimer() {
    const bool wanted = active_ && driver_ && !driver_->ReportsArrivals();
    if (wanted && !pollTimer_.isActive())
        pollTimer_.start();
    else if (!wanted && pollTimer_.isActive())
        pollTimer_.stop();
}

// May run on the driver's thread: only posts a Poll to the port's thread, once.
void UsbPort::SchedulePoll() {
    if (pollPosted_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pollPosted_ = false;
            Poll();
        },
        Qt::QueuedConnection);
}

void UsbPort::SetPollingTime(int ms) {
    pollingTime_ = std::max(ms, 1);
    pollTimer_.setInterval(pollingTime_);
}

bool UsbPort::Check(const char* operation, FtStatus status) {
    if (status == kFtOk) return true;
    emit onDeviceError(status, QString::fromStdString(DeviceErrorText(operation, status)));
    return false;
}

bool UsbPort::RequireOpen(const char* operation) {
    if (active_ && driver_) return true;
    lastStatus_ = kFtInvalidHandle;
    Check(operation, kFtInvalidHandle);
    return false;
}

std::vector<DeviceEntry> UsbPort::ListDevices() {
    std::vector<DeviceEntry> entries;
    if (!driver_) return entries;
    std::uint32_t count = 0;
    if (!Check("GetFTDeviceCount", driver_->DeviceCount(count))) return entries;
    const std::uint32_t listed = std::min(count, static_cast<std::uint32_t>(kMaxListedDevices));
    for (std::uint32_t i = 0; i < listed; ++i) {
        DeviceEntry entry;
        entry.index = i + 1;
        std::string text;
        FtStatus status = driver_->DeviceSerialNumber(i, text);
        if (!Check("GetFTDeviceSerialNo", status)) text = "Error - " + std::to_string(status);
        entry.serialNumber = CutDeviceText(text);
        text.clear();
        status = driver_->DeviceDescription(i, text);
        if (!Check("GetFTDeviceDescription", status)) text = "Error - " + std::to_string(status);
        entry.description = CutDeviceText(text);
        entry.accessDenied = driver_->DeviceAccessDenied(i);
        entries.push_back(std::move(entry));
    }
    return entries;
}

void UsbPort::SetDeviceActive(bool active) {
    if (active)
        Open();
    else if (active_)
        Close();
}

void UsbPort::Open() {
    if (!driver_) return;
    if (active_) {
        // Asking an open port to open again checks that the device is still there.
        std::uint32_t queued = 0;
        if (!Check("FT_GetQueueStatus", driver_->GetQueueStatus(queued))) Close();
        return;
    }
    startFailure_ = StartFailure::None;
    const std::string name = deviceName_.toStdString();
    if (name.empty()) return;
    const std::vector<DeviceEntry> entries = ListDevices();
    for (const DeviceEntry& entry : entries) {
        if (entry.description != name) continue;
        if (OpenByName(name)) {
            Configure();
            active_ = true;
            UpdatePollTimer();
        } else {
            startFailure_ = StartFailure::OpenFailed;
        }
        return;
    }
    startFailure_ = WhyNotListed(entries);
}

// A device this user may not open shows no description, so the controller can be one
// of them: that is the likelier reason.
StartFailure UsbPort::WhyNotListed(const std::vector<DeviceEntry>& entries) const {
    if (entries.empty()) return StartFailure::NoDevice;
    const bool denied = std::any_of(entries.begin(), entries.end(),
                                    [](const DeviceEntry& e) { return e.accessDenied; });
    return denied ? StartFailure::NoPermission : StartFailure::NotListed;
}

bool UsbPort::OpenByName(const std::string& name) {
    if (driver_->OpenByDescription(CutDeviceText(name)) != kFtOk) return false;
    std::uint32_t queued = 0;
    if (Check("FT_GetQueueStatus", driver_->GetQueueStatus(queued))) return true;
    // Opened but not usable: release it rather than leave a handle nobody closes.
    driver_->Close();
    return false;
}

void UsbPort::Configure() {
    FtdiDriver& d = *driver_;
    Check("FT_SetUSBParameters ", d.SetUsbParameters(kUsbTransferSize, kUsbTransferSize));
    Check("FT_SetBaudRate", d.SetBaudRate(kBaudRate));
    Check("FT_SetDataCharacteristics",
          d.SetDataCharacteristics(kWordLength8, kStopBits1, kParityNone));
    Check("FT_SetFlowControl", d.SetFlowControl(kFlowNone, kXon, kXoff));
    Check("FT_SetChars", d.SetChars(0, false, 0, false));
    Check("FT_SetBaudRate", d.SetDivisor(kBaudDivisor));
    Check("FT_SetTimeouts", d.SetTimeouts(kReadTimeoutMs, kWriteTimeoutMs));
    Check("FT_Purge RX", d.Purge(kFtPurgeRx));
    Check("FT_Purge TX", d.Purge(kFtPurgeTx));
    d.SetBitMode(kBitModeMask, kBitModeReset);
}

void UsbPort::Close() {
    if (driver_) Check("FT_Close", driver_->Close());
    active_ = false;
    EndLink(false, {});
}

void UsbPort::EndLink(bool failed, const QString& reason) {
    UpdatePollTimer();
    ++linkGeneration_;
    emit onLinkDown(failed, reason);
}

void UsbPort::DropLink(const char* operation, FtStatus status) {
    if (!active_) return;
    // The failing call was reported already; closing a device that is gone only fails
    // again, so that is not reported twice.
    if (driver_) driver_->Close();
    active_ = false;
    EndLink(true, QString::fromStdString(DeviceErrorText(operation, status)));
}

std::uint32_t UsbPort::Send(std::size_t n) {
    if (!RequireOpen("FT_Write")) return 0;
    UpdatePollTimer();  // an answer is due: make sure something will fetch it
    n = std::min(n, sendBuffer_.size());
    std::uint32_t written = 0;
    lastStatus_ = driver_->Write(std::span<const std::uint8_t>(sendBuffer_.data(), n), written);
    if (!Check("FT_Write", lastStatus_)) {
        DropLink("FT_Write", lastStatus_);
        return 0;
    }
    return std::min(written, static_cast<std::uint32_t>(n));
}

std::uint32_t UsbPort::Send(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), sendBuffer_.size());
    std::copy_n(bytes.begin(), n, sendBuffer_.begin());
    return Send(n);
}

std::uint32_t UsbPort::PendingTx() {
    if (!RequireOpen("FT_GetStatus")) return 0;
    std::uint32_t rx = 0;
    std::uint32_t tx = 0;
    std::uint32_t events = 0;
    if (!Check("FT_GetStatus", driver_->GetStatus(rx, tx, events))) return 0;
    return tx;
}

FtStatus UsbPort::PurgeRx() {
    if (!RequireOpen("FT_Purge RX")) return kFtInvalidHandle;
    const FtStatus status = driver_->Purge(kFtPurgeRx);
    Check("FT_Purge RX", status);
    return status;
}

FtStatus UsbPort::PurgeTx() {
    if (!RequireOpen("FT_Purge TX")) return kFtInvalidHandle;
    const FtStatus status = driver_->Purge(kFtPurgeTx);
    Check("FT_Purge TX", status);
    return status;
}

void UsbPort::ResetFlags() {
    decoder_.Reset();
    answerReady_ = false;
    errorReady_ = false;
}

void UsbPort::ClearAnswers() {
    answers_.clear();
}

void UsbPort::ClearErrors() {
    errors_.clear();
}

const AnswerRecord* UsbPort::TakeAnswer() {
    if (answers_.empty()) {
        answerReady_ = false;
        return nullptr;
    }
    currentAnswer_ = std::move(answers_.front().record);
    answers_.pop_front();
    answerReady_ = !answers_.empty();
    return &currentAnswer_;
}

const ErrorRecord* UsbPort::TakeError() {
    if (errors_.empty()) {
        errorReady_ = false;
        return nullptr;
    }
    currentError_ = std::move(errors_.front().record);
    errors_.pop_front();
    errorReady_ = !errors_.empty();
    return &currentError_;
}

bool UsbPort::OldestRecordIsError() const {
    if (errors_.empty()) return false;
    if (answers_.empty()) return true;
    return errors_.front().arrival < answers_.front().arrival;
}

void UsbPort::OnAnswer(AnswerRecord&& answer) {
    answers_.push_back({arrivals_++, std::move(answer)});
    answerReady_ = true;
    emit AnswersArrived(static_cast<int>(answers_.size()));
}

void UsbPort::OnError(ErrorRecord&& error) {
    errors_.push_back({arrivals_++, std::move(error)});
    errorReady_ = true;
    emit onRXErrMessage(static_cast<int>(errors_.size()));
}

void UsbPort::Poll() {
    // A slot of our own signals may process events (a message box, a wait); a nested
    // Poll would interleave two chunks in the decoder, so it is deferred until this one
    // ends.
    if (polling_) {
        pollAgain_ = true;
        return;
    }
    if (!enableMessage_ || !active_ || !driver_) return;
    polling_ = true;
    std::uint32_t queued = 0;
    const FtStatus queueStatus = driver_->GetQueueStatus(queued);
    if (!Check("FT_GetQueueStatus", queueStatus)) {
        DropLink("FT_GetQueueStatus", queueStatus);
    } else if (queued > 0) {
        const std::uint32_t want =
            std::min(queued, static_cast<std::uint32_t>(receiveChunk_.size()));
        std::uint32_t got = 0;
        const FtStatus status =
            driver_->Read(std::span<std::uint8_t>(receiveChunk_.data(), want), got);
        got = std::min(got, want);
        decoder_.Feed(std::span<const std::uint8_t>(receiveChunk_.data(), got), *this);
        if (!Check("FT_Read", status))
            DropLink("FT_Read", status);
        else if (queued > want || (active_ && driver_ && driver_->ReportsArrivals()))
            // A driver that failed right behind its last bytes says so only once they are
            // read, and its announcement may have been folded into this poll: one more
            // finds the failure, so the link ends now instead of a wait running into its
            // time-out.
            pollAgain_ = true;
    }
    polling_ = false;
    if (pollAgain_) {
        pollAgain_ = false;
        SchedulePoll();
    }
}

}  // namespace morvane
