#include "ControllerProtocol.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>

#include "ProtocolHost.h"
#include "UsbPort.h"

namespace morvane {

namespace {

constexpr const char* kTextTimeout = "Время ожидания вышло...";
constexpr const char* kTextDriveChangeError = "Ошибка смены дисковода";
constexpr const char* kTextNoDisk = "Нет диска в дисководе...";
constexpr const char* kTextControllerNotFound = "ZX контроллер не найден...";

// Records the device sends for a command: one per listed sector for the list read, two
// for the writes (received, then done), one for every other command.
std::size_t RecordsFor(CommandCode code, std::size_t blockLength = 0) {
    if (code == CommandCode::ReadSectors) return blockLength;
    if (code == CommandCode::WriteSector || code == CommandCode::WriteTrack) return 2;
    return 1;
}

}  // namespace

ControllerProtocol::ControllerProtocol(UsbPort& port, ProtocolHost* host, QObject* parent)
    : QObject(parent), port_(port), host_(host), answerTimer_(this), replyBuffer_(kReplyBufferSize, 0) {
    answerTimer_.setObjectName(QStringLiteral("TO1"));
    answerTimer_.setInterval(kTimeoutSingleMs);
    answerTimer_.setTimerType(Qt::PreciseTimer);
    connect(&answerTimer_, &QTimer::timeout, this, &ControllerProtocol::OnTimeout);
    connect(&port_, &UsbPort::onLinkDown, this, &ControllerProtocol::OnLinkDown);
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ControllerProtocol::AbandonWaits);
}

void ControllerProtocol::AbandonWaits() {
    quitting_ = true;
    emit waitsAbandoned();
}

void ControllerProtocol::OnLinkDown(bool failed, const QString& reason) {
    if (!failed) {
        if (!quitting_) linkLossReason_.clear();
        return;
    }
    linkLossReason_ = reason;
    lossReported_ = false;
    if (host_) host_->LinkFailed(reason);
    // A running exchange ends with WaitResult::LinkLost and its caller says so; a failure found
    // between exchanges (a reader that died) would otherwise go unnoticed. A send that
    // failed is followed by its wait, which reports it, hence the check comes later.
    if (Busy()) return;
    QTimer::singleShot(0, this, [this] {
        if (!lossReported_ && !Busy()) ShowLinkLost();
    });
}

const AnswerRecord& ControllerProtocol::CurrentAnswer() const {
    return port_.CurrentAnswer();
}

const ErrorRecord& ControllerProtocol::CurrentError() const {
    return port_.CurrentError();
}

void ControllerProtocol::OnTimeout() {
    timedOut_ = true;
    answerTimer_.stop();
}

void ControllerProtocol::Show(const char* text) {
    if (host_) host_->Ask({.caption = kCaptionError, .text = text});
}

void ControllerProtocol::ShowLinkLost() {
    lossReported_ = true;
    if (!host_) return;
    QString text = QString::fromUtf8(kLinkLostText);
    if (!linkLossReason_.isEmpty()) text += QLatin1Char('\n') + linkLossReason_;
    host_->Ask({.caption = kCaptionError, .text = text.toStdString()});
}

bool ControllerProtocol::ShowWaitFailure(WaitResult result, const char* timeoutText) {
    switch (result) {
        case WaitResult::LinkLost:
            ShowLinkLost();
            return true;
        case WaitResult::Refused:
            Show(kControllerBusyText);
            return true;
        case WaitResult::Timeout:
            Show(timeoutText);
            return true;
        default:
            return false;
    }
}

// Whatever the device sent before belongs to an earlier exchange.
void ControllerProtocol::StartExchange(std::size_t records) {
    LetLateRecordsCome();
    port_.PurgeRx();
    port_.ResetFlags();
    port_.ClearAnswers();
    port_.ClearErrors();
    exchange_ = {records, port_.RecordsArrived(), port_.LinkGeneration(), false};
}

// The device carries out one command after the other: an answer that missed its time-out
// comes before anything the device sends for the next command, which would take it for
// its own. Answers carry nothing that names their command, so they are counted: what the
// timed-out exchange still owes is let come and dropped before the next command goes
// out. A device that sends nothing for a whole time-out interval has lost them (a silent
// command); the next command then goes out after that interval.
void ControllerProtocol::LetLateRecordsCome() {
    if (!exchange_.timedOut) return;
    exchange_.timedOut = false;
    const auto owed = [this] {
        return port_.RecordsArrived() - exchange_.arrivedBefore < exchange_.records;
    };
    if (!owed() || LinkGone(exchange_.link)) return;
    waiting_ = true;  // the loop below keeps the window live; no command may start in it
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setInterval(answerTimer_.interval());
    bool silent = false;
    QEventLoop loop;
    const auto arrived = [&quiet, &loop] {
        quiet.start();
        loop.quit();
    };
    connect(&port_, &UsbPort::AnswersArrived, &loop, arrived);
    connect(&port_, &UsbPort::onRXErrMessage, &loop, arrived);
    connect(&port_, &UsbPort::onLinkDown, &loop, &QEventLoop::quit);
    connect(this, &ControllerProtocol::waitsAbandoned, &loop, &QEventLoop::quit);
    connect(&quiet, &QTimer::timeout, &loop, [&silent, &loop] {
        silent = true;
        loop.quit();
    });
    quiet.start();
    while (owed() && !silent && !LinkGone(exchange_.link)) {
        if (loop.exec() != 0) break;
    }
    waiting_ = false;
}

// Waits for the driver's transmit queue to empty, keeping the window live. A device that
// never drains is given up after one time-out interval; the wait that follows then times
// out too, so nothing hangs. A write that failed has closed the link: nothing is left to
// drain, and asking a closed port would only report a second failure.
void ControllerProtocol::DrainTx() {
    QElapsedTimer elapsed;
    elapsed.start();
    while (port_.DeviceActive() && port_.PendingTx() > 0) {
        if (elapsed.elapsed() >= answerTimer_.interval()) break;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

bool ControllerProtocol::SendFrame(std::span<const std::uint8_t> frame, std::size_t records) {
    if (waiting_) {
        lastWaitResult_ = WaitResult::Refused;
        return false;
    }
    StartExchange(records);
    port_.Send(frame);
    DrainTx();
    return true;
}

bool ControllerProtocol::SendCommand(CommandCode code) {
    return SendFrame(*BuildShortFrame(code, {}), RecordsFor(code));
}

bool ControllerProtocol::SendCommand(CommandCode code, std::uint8_t arg1) {
    const std::uint8_t args[] = {arg1};
    return SendFrame(*BuildShortFrame(code, args), RecordsFor(code));
}

bool ControllerProtocol::SendCommand(CommandCode code, std::uint8_t arg1, std::uint8_t arg2) {
    const std::uint8_t args[] = {arg1, arg2};
    return SendFrame(*BuildShortFrame(code, args), RecordsFor(code));
}

std::uint32_t ControllerProtocol::SendCommandBlock(CommandCode code,
                                                   std::span<const std::uint8_t> block) {
    if (waiting_) {
        lastWaitResult_ = WaitResult::Refused;
        return 0;
    }
    const std::optional<Bytes> frame = BuildBlockFrame(code, block);
    if (!frame) return 0;
    StartExchange(RecordsFor(code, block.size()));
    std::uint32_t total = 0;
    const std::span<const std::uint8_t> bytes(*frame);
    for (std::size_t at = 0; at < bytes.size() && port_.DeviceActive(); at += kSendPieceSize) {
        const std::size_t n = std::min(kSendPieceSize, bytes.size() - at);
        total += port_.Send(bytes.subspan(at, n));
        DrainTx();
    }
    return total;
}

WaitResult ControllerProtocol::WaitAnswer() {
    // The window stays live during a wait; a command started from its event loop would
    // purge this exchange's records, so a wait inside a wait is refused.
    if (waiting_) return lastWaitResult_ = WaitResult::Refused;
    waiting_ = true;
    const WaitResult result = WaitFor(answerTimer_, timedOut_);
    waiting_ = false;
    lastWaitResult_ = result;
    if (result == WaitResult::Timeout) exchange_.timedOut = true;
    return result;
}

bool ControllerProtocol::LinkGone(std::uint64_t generation) const {
    return quitting_ || port_.LinkGeneration() != generation || !port_.DeviceActive();
}

WaitResult ControllerProtocol::WaitFor(QTimer& timer, bool& expired) {
    expired = false;
    const std::uint64_t generation = port_.LinkGeneration();
    const auto recordReady = [this] { return port_.AnswerReady() || port_.ErrorReady(); };
    // Records that came before the link ended are still this exchange's.
    if (!recordReady() && LinkGone(generation)) return WaitResult::LinkLost;
    timer.start();
    bool lost = false;
    if (!recordReady()) {
        QEventLoop loop;
        connect(&port_, &UsbPort::AnswersArrived, &loop, &QEventLoop::quit);
        connect(&port_, &UsbPort::onRXErrMessage, &loop, &QEventLoop::quit);
        connect(&port_, &UsbPort::onLinkDown, &loop, &QEventLoop::quit);
        connect(this, &ControllerProtocol::waitsAbandoned, &loop, &QEventLoop::quit);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        while (!recordReady() && !expired) {
            if (LinkGone(generation)) {
                lost = true;
                break;
            }
            // A loop refused by a quitting application must not spin here.
            if (loop.exec() != 0) {
                lost = true;
                break;
            }
        }
    }
    timer.stop();
    if (!recordReady() && (lost || LinkGone(generation))) return WaitResult::LinkLost;
    if (expired) return WaitResult::Timeout;
    const bool answer = port_.AnswerReady();
    const bool error = port_.ErrorReady();
    // Both kinds queued happens when one command brings several records at once; they
    // are handed out in the order they came, so no record is taken for another.
    if (answer && error)
        return port_.OldestRecordIsError() ? WaitResult::Error : WaitResult::Answer;
    if (error) return WaitResult::Error;
    if (answer) return WaitResult::Answer;
    return WaitResult::Timeout;
}

std::uint8_t ControllerProtocol::QueryStatus(StatusOutcome* outcome) {
    StatusOutcome unused = StatusOutcome::TimedOut;
    StatusOutcome& out = outcome ? *outcome : unused;
    const WaitResult result = SendCommand(CommandCode::Status) ? WaitAnswer() : WaitResult::Refused;
    switch (result) {
        case WaitResult::Answer: {
            const AnswerRecord* answer = port_.TakeAnswer();
            // An answer without its data byte says nothing about the drive: reading it as
            // 0 would pass for "ready, not write-protected".
            if (!answer || answer->Length() == 0) {
                out = StatusOutcome::EmptyAnswer;
                return kStatusErrorRecord;
            }
            out = StatusOutcome::Status;
            return answer->Byte(0);
        }
        case WaitResult::Error:
            port_.TakeError();
            out = StatusOutcome::ErrorRecord;
            return kStatusErrorRecord;
        case WaitResult::LinkLost:
            out = StatusOutcome::LinkLost;
            return kStatusTimedOut;
        case WaitResult::Refused:
            out = StatusOutcome::Refused;
            return kStatusTimedOut;
        default:
            out = StatusOutcome::TimedOut;
            return kStatusTimedOut;
    }
}

bool ControllerProtocol::SeekTrack(std::uint8_t track) {
    if (track > kLastTrackIndex) return false;
    for (int attempt = 0; attempt < kSeekTries; ++attempt) {
        const WaitResult result =
            SendCommand(CommandCode::Seek, track) ? WaitAnswer() : WaitResult::Refused;
        if (result == WaitResult::Answer) {
            const AnswerRecord* answer = port_.TakeAnswer();
            // Byte 1 is the track reached; an answer too short to hold it is no success.
            if (answer && answer->Length() > 1 && answer->Byte(1) == track) return true;
        } else if (result == WaitResult::Error) {
            port_.TakeError();
        } else {
            return false;  // time-out, lost link or refusal: no try can follow
        }
        const std::uint8_t status = QueryStatus();
        if (status == kStatusErrorRecord || status == kStatusTimedOut) return false;
    }
    return false;
}

bool ControllerProtocol::SelectDrive(Drive drive) {
    if (!port_.DeviceActive()) return false;
    WaitResult result = SendCommand(CommandCode::ReadRegister, kDriveControlRegister)
                            ? WaitAnswer()
                            : WaitResult::Refused;
    if (result == WaitResult::Answer) {
        const AnswerRecord* answer = port_.TakeAnswer();
        // Without the register's bits there is nothing to keep: writing would clear them.
        if (!answer || answer->Length() == 0) {
            Show(kTextDriveChangeError);
            return false;
        }
        const std::uint8_t value = DriveControlValue(answer->Byte(0), drive);
        result = SendCommand(CommandCode::WriteRegister, kDriveControlRegister, value)
                     ? WaitAnswer()
                     : WaitResult::Refused;
        if (result == WaitResult::Answer) {
            port_.TakeAnswer();
            if (host_) {
                host_->SetDriveMarks(drive == Drive::A, drive == Drive::B);
                host_->StoreDriveSetting(drive);
            }
            return true;
        }
    }
    if (result == WaitResult::Error) {
        port_.TakeError();
        Show(kTextDriveChangeError);
    } else {
        ShowWaitFailure(result, kTextTimeout);
    }
    return false;
}

void ControllerProtocol::ResetController() {
    const WaitResult result = SendCommand(CommandCode::Status) ? WaitAnswer() : WaitResult::Refused;
    switch (result) {
        case WaitResult::Answer:
            port_.TakeAnswer();
            break;
        case WaitResult::Error:
            port_.TakeError();
            Show(kTextNoDisk);
            break;
        case WaitResult::Refused:
            // The queues belong to the exchange that is running.
            Show(kControllerBusyText);
            return;
        default:
            ShowWaitFailure(result, kTextTimeout);
            break;
    }
    port_.ResetFlags();
    port_.ClearAnswers();
    port_.ClearErrors();
}

QString ControllerProtocol::TakeIdentification() {
    const AnswerRecord* answer = port_.TakeAnswer();
    if (!answer) return {};
    const std::size_t n = std::min(answer->data.size(), replyBuffer_.size());
    std::copy_n(answer->data.begin(), n, replyBuffer_.begin());
    // The text ends at the first zero byte, and never past what the controller sent.
    const auto end = std::find(answer->data.begin(), answer->data.begin() + n, 0);
    const auto length = static_cast<qsizetype>(end - answer->data.begin());
    return QString::fromLatin1(QByteArrayView(answer->data.data(), length));
}

ContactResult ControllerProtocol::FirstContact(Drive drive) {
    if (!port_.DeviceActive()) return ContactResult::NoLink;

    WaitResult result = SendCommand(CommandCode::Identify) ? WaitAnswer() : WaitResult::Refused;
    switch (result) {
        case WaitResult::Answer: {
            const QString text = TakeIdentification();
            if (host_) host_->ShowIdentification(text);
            break;
        }
        case WaitResult::Error:
            port_.TakeError();
            break;
        case WaitResult::Timeout:
            Show(kTextControllerNotFound);
            return ContactResult::ControllerNotFound;
        default:
            ShowWaitFailure(result, kTextControllerNotFound);
            return ContactResult::Interrupted;
    }

    result = SendCommand(CommandCode::ReadRegister, kDriveControlRegister) ? WaitAnswer()
                                                                           : WaitResult::Refused;
    if (result == WaitResult::Answer) {
        const AnswerRecord* answer = port_.TakeAnswer();
        // Without the register's bits there is nothing to keep: writing would clear them.
        if (!answer || answer->Length() == 0) return ContactResult::Done;
        const std::uint8_t value = DriveControlValue(answer->Byte(0), drive);
        result = SendCommand(CommandCode::WriteRegister, kDriveControlRegister, value)
                     ? WaitAnswer()
                     : WaitResult::Refused;
        if (result == WaitResult::Answer) {
            port_.TakeAnswer();
            if (host_) host_->SetDriveMarks(drive == Drive::A, drive == Drive::B);
            return ContactResult::Done;
        }
        if (result == WaitResult::Timeout) {
            Show(kTextControllerNotFound);
            if (host_) host_->SetDriveMarks(false, false);
            return ContactResult::ControllerNotFound;
        }
    }
    if (result == WaitResult::Error) {
        port_.TakeError();
        return ContactResult::Done;
    }
    if (result == WaitResult::Timeout) {
        Show(kTextControllerNotFound);
        return ContactResult::ControllerNotFound;
    }
    ShowWaitFailure(result, kTextControllerNotFound);
    return ContactResult::Interrupted;
}

}  // namespace morvane
