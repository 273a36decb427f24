// UsbPort: the link to the floppy controller's FTDI chip. It lists and opens the device
// by its description, applies the fixed configuration, writes frames from its send buffer
// and decodes the received byte stream into queued answer and error records.
//
// Everything runs on the thread that owns the port. A driver that reports arriving bytes
// gets a Poll at once (posted to this thread), so an answer is decoded as soon as it is
// there; a driver that reports every arrival and every failure needs nothing more. For any
// other driver a timer of PollingTime ms paces Poll, and only while the link is open: a
// program without a link does not wake up. Poll and the queue operations never run at the
// same time.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "DeviceErrorText.h"
#include "FtdiDriver.h"
#include "RxDecoder.h"
#include "RxRecords.h"

namespace morvane {

inline constexpr std::size_t kSendBufferSize = 32768;
inline constexpr std::size_t kReceiveChunkSize = 32768;
inline constexpr std::size_t kMaxListedDevices = 30;
inline constexpr std::size_t kDeviceTextLength = 49;
inline constexpr int kDefaultPollingTime = 10;

// The device configuration applied after every open.
inline constexpr std::uint32_t kUsbTransferSize = 32768;
inline constexpr std::uint32_t kBaudRate = 921600;
inline constexpr std::uint16_t kBaudDivisor = 1;
inline constexpr std::uint8_t kWordLength8 = 8;
inline constexpr std::uint8_t kStopBits1 = 0;
inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint16_t kFlowNone = 0;
inline constexpr std::uint8_t kXon = 0x11;
inline constexpr std::uint8_t kXoff = 0x13;
inline constexpr std::uint32_t kReadTimeoutMs = 10;
inline constexpr std::uint32_t kWriteTimeoutMs = 10;
inline constexpr std::uint8_t kBitModeMask = 0xFF;
inline constexpr std::uint8_t kBitModeReset = 0;

// One listed device. A text whose query failed reads "Error - " and the status code.
struct DeviceEntry {
    std::string description;
    std::uint32_t index = 0;  // 1-based
    std::string serialNumber;
    bool accessDenied = false;  // the driver knows this user may not open it
};

// Keeps at most the first 49 characters of a listed text.
std::string CutDeviceText(const std::string& text);

class UsbPort : public QObject, private RxRecordSink {
    Q_OBJECT
    Q_PROPERTY(int PollingTime READ PollingTime WRITE SetPollingTime)
    Q_PROPERTY(QString DeviceName READ DeviceName WRITE SetDeviceName)
    Q_PROPERTY(bool DeviceActive READ DeviceActive WRITE SetDeviceActive)
    Q_PROPERTY(bool EnableMessage READ EnableMessage WRITE SetEnableMessage)

  public:
    explicit UsbPort(std::unique_ptr<FtdiDriver> driver, QObject* parent = nullptr);
    ~UsbPort() override;

    UsbPort(const UsbPort&) = delete;
    UsbPort& operator=(const UsbPort&) = delete;

    // The driver in use. SetDriver closes the open device, forgets every frame in progress
    // and every queued record, installs the new driver (inactive) and hands the old back.
    FtdiDriver* Driver() const { return driver_.get(); }
    std::unique_ptr<FtdiDriver> SetDriver(std::unique_ptr<FtdiDriver> driver);

    int PollingTime() const { return pollingTime_; }
    void SetPollingTime(int ms);
    QString DeviceName() const { return deviceName_; }
    void SetDeviceName(const QString& name) { deviceName_ = name; }
    bool DeviceActive() const { return active_; }
    void SetDeviceActive(bool active);
    bool EnableMessage() const { return enableMessage_; }
    void SetEnableMessage(bool enable) { enableMessage_ = enable; }
    // Counts every end of the link: closing, switching the driver, a device that failed.
    // A wait that sees it change knows its answer can no longer come.
    std::uint64_t LinkGeneration() const { return linkGeneration_; }
    // Why the last SetDeviceActive(true) left the link closed.
    StartFailure LastStartFailure() const { return startFailure_; }
    // Whether the polling timer runs (only while the link is open over a driver that does
    // not report its arrivals).
    bool PollTimerRunning() const { return pollTimer_.isActive(); }

    // Up to 30 devices; failing queries are reported and leave "Error - N" in the text.
    std::vector<DeviceEntry> ListDevices();

    // The caller writes a frame here and calls Send with its length.
    std::span<std::uint8_t> SendBuffer() { return sendBuffer_; }
    // Writes the first n bytes of the send buffer (at most its size); bytes accepted.
    std::uint32_t Send(std::size_t n);
    // Copies the bytes into the send buffer (at most its size) and sends them.
    std::uint32_t Send(std::span<const std::uint8_t> bytes);
    // Bytes still to transmit; 0 when the query fails, so no drain loop waits on a device
    // that cannot answer.
    std::uint32_t PendingTx();
    FtStatus PurgeRx();
    FtStatus PurgeTx();
    FtStatus LastStatus() const { return lastStatus_; }

    void ResetFlags();
    void ClearAnswers();
    void ClearErrors();
    // Move the oldest record into the current one; nullptr when the queue is empty.
    const AnswerRecord* TakeAnswer();
    const ErrorRecord* TakeError();
    const AnswerRecord& CurrentAnswer() const { return currentAnswer_; }
    const ErrorRecord& CurrentError() const { return currentError_; }
    bool AnswerReady() const { return answerReady_; }
    bool ErrorReady() const { return errorReady_; }
    // Records decoded since the port was made, whether taken, queued or cleared since.
    std::uint64_t RecordsArrived() const { return arrivals_; }
    std::size_t AnswerCount() const { return answers_.size(); }
    std::size_t ErrorCount() const { return errors_.size(); }
    // With both kinds queued: whether the oldest error record arrived before the oldest
    // answer, so a caller that expects several records (a sector list) takes them in the
    // order the controller sent them.
    bool OldestRecordIsError() const;

  public slots:
    // Reads what the device holds and decodes it into the queues.
    void Poll();

  signals:
    void onDeviceError(quint32 status, const QString& text);
    void AnswersArrived(int answersQueued);
    void onRXErrMessage(int errorsQueued);
    // The link ended: closed, switched, or (failed = true) the device failed under it, in
    // which case the port closed it and reason names the failing call.
    void onLinkDown(bool failed, const QString& reason);

  private:
    void OnAnswer(AnswerRecord&& answer) override;
    void OnError(ErrorRecord&& error) override;

    // Reports a failing call; returns true when the status is success.
    bool Check(const char* operation, FtStatus status);
    // Calls on a closed device fail as the vendor library does for a closed handle.
    bool RequireOpen(const char* operation);
    void Open();
    void Close();
    // A data call failed on an open device: the device is gone or its reader died. The
    // link is closed so that "start" opens it afresh.
    void DropLink(const char* operation, FtStatus status);
    void EndLink(bool failed, const QString& reason);
    bool OpenByName(const std::string& name);
    void Configure();
    void AttachDriver();
    void DetachDriver();
    void SchedulePoll();
    // Starts the polling timer while it is needed, stops it when not.
    void UpdatePollTimer();
    StartFailure WhyNotListed(const std::vector<DeviceEntry>& entries) const;

    std::unique_ptr<FtdiDriver> driver_;
    QTimer pollTimer_;
    std::atomic<bool> pollPosted_{false};
    bool polling_ = false;
    bool pollAgain_ = false;

    int pollingTime_ = kDefaultPollingTime;
    QString deviceName_;
    bool active_ = false;
    std::uint64_t linkGeneration_ = 0;
    StartFailure startFailure_ = StartFailure::None;
    bool enableMessage_ = false;
    FtStatus lastStatus_ = kFtOk;

    std::vector<std::uint8_t> sendBuffer_;
    std::vector<std::uint8_t> receiveChunk_;
    RxDecoder decoder_;
    template <typename Record>
    struct Queued {
        std::uint64_t arrival;
        Record record;
    };
    std::uint64_t arrivals_ = 0;
    std::deque<Queued<AnswerRecord>> answers_;
    std::deque<Queued<ErrorRecord>> errors_;
    bool answerReady_ = false;
    bool errorReady_ = false;
    AnswerRecord currentAnswer_;
    ErrorRecord currentError_;
};

}  // namespace morvane
