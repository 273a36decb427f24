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

constexpr const char* kCaptionError = "Ошибка!";
constexpr const char* kTextTimeout = "Время ожидания вышло...";
constexpr const char* kTextDriveChangeError = "Ошибка смены дисковода";
constexpr const char* kTextNoDisk = "Нет диска в дисководе...";
constexpr const char* kTextControllerNotFound = "ZX контроллер не найден...";

}  // namespace

ControllerProtocol::ControllerProtocol(TUSB_Port& port, ProtocolHost* host, QObject* parent)
    : QObject(parent), port_(port), host_(host), to1_(this), replyBuffer_(kReplyBufferSize, 0) {
    to1_.setObjectName(QStringLiteral("TO1"));
    to1_.setInterval(kTimeoutSingleMs);
    to1_.setTimerType(Qt::PreciseTimer);
    connect(&to1_, &QTimer::timeout, this, &ControllerProtocol::OnTimeout);
}

const AnswerRecord& ControllerProtocol::CurrentAnswer() const {
    return port_.CurrentAnswer();
}

const ErrorRecord& ControllerProtocol::CurrentError() const {
    return port_.CurrentError();
}

void ControllerProtocol::OnTimeout() {
    timedOut_ = true;
    to1_.stop();
}

void ControllerProtocol::Show(const char* text) {
    if (host_) host_->ShowMessage(QString::fromUtf8(text), QString::fromUtf8(kCaptionError));
}

// Whatever the device sent before belongs to an earlier exchange.
void ControllerProtocol::StartExchange() {
    port_.PurgeRx();
    port_.ResetFlags();
    port_.ClearAnswers();
    port_.ClearErrors();
}

// Waits for the driver's transmit queue to empty, keeping the window live. A device that
// never drains is given up after one time-out interval; the wait that follows then times
// out too, so nothing hangs.
void ControllerProtocol::DrainTx() {
    QElapsedTimer elapsed;
    elapsed.start();
    while (port_.PendingTx() > 0) {
        if (elapsed.elapsed() >= to1_.interval()) break;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void ControllerProtocol::SendFrame(std::span<const std::uint8_t> frame) {
    StartExchange();
    port_.Send(frame);
    DrainTx();
}

void ControllerProtocol::SendCommand(std::uint8_t code) {
    SendFrame(*BuildShortFrame(code, {}));
}

void ControllerProtocol::SendCommand(std::uint8_t code, std::uint8_t arg1) {
    const std::uint8_t args[] = {arg1};
    SendFrame(*BuildShortFrame(code, args));
}

void ControllerProtocol::SendCommand(std::uint8_t code, std::uint8_t arg1, std::uint8_t arg2) {
    const std::uint8_t args[] = {arg1, arg2};
    SendFrame(*BuildShortFrame(code, args));
}

std::uint32_t ControllerProtocol::SendCommandBlock(std::uint8_t code,
                                                   std::span<const std::uint8_t> block) {
    const std::optional<Bytes> frame = BuildBlockFrame(code, block);
    if (!frame) return 0;
    StartExchange();
    std::uint32_t total = 0;
    const std::span<const std::uint8_t> bytes(*frame);
    for (std::size_t at = 0; at < bytes.size(); at += kSendPieceSize) {
        const std::size_t n = std::min(kSendPieceSize, bytes.size() - at);
        total += port_.Send(bytes.subspan(at, n));
        DrainTx();
    }
    return total;
}

int ControllerProtocol::WaitAnswer() {
    if (waiting_) {
        // The window stays live during a wait, so a wait can start inside another. The
        // inner one gets a timer of its own: stopping TO1 would leave the outer one
        // without its time-out.
        QTimer own;
        own.setSingleShot(true);
        own.setTimerType(Qt::PreciseTimer);
        own.setInterval(to1_.interval());
        bool expired = false;
        connect(&own, &QTimer::timeout, this, [&expired] { expired = true; });
        return WaitFor(own, expired);
    }
    waiting_ = true;
    const int result = WaitFor(to1_, timedOut_);
    waiting_ = false;
    return result;
}

int ControllerProtocol::WaitFor(QTimer& timer, bool& expired) {
    expired = false;
    timer.start();
    if (!port_.AnswerReady() && !port_.ErrorReady()) {
        QEventLoop loop;
        connect(&port_, &TUSB_Port::onRXMessage, &loop, &QEventLoop::quit);
        connect(&port_, &TUSB_Port::onRXErrMessage, &loop, &QEventLoop::quit);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        while (!port_.AnswerReady() && !port_.ErrorReady() && !expired) {
            // A loop refused by a quitting application must not spin here.
            if (loop.exec() != 0) {
                expired = true;
                break;
            }
        }
    }
    timer.stop();
    if (expired) return wrTimeout;
    const bool answer = port_.AnswerReady();
    const bool error = port_.ErrorReady();
    // Both kinds queued happens when one command brings several records at once; they
    // are handed out in the order they came, so no record is taken for another.
    if (answer && error) return port_.OldestRecordIsError() ? wrError : wrAnswer;
    if (error) return wrError;
    if (answer) return wrAnswer;
    return wrTimeout;
}

std::uint8_t ControllerProtocol::QueryStatus() {
    SendCommand(cmdStatus);
    switch (WaitAnswer()) {
        case wrAnswer: {
            const AnswerRecord* answer = port_.TakeAnswer();
            return answer ? answer->Byte(0) : kStatusTimedOut;
        }
        case wrError:
            port_.TakeError();
            return kStatusErrorRecord;
        default:
            return kStatusTimedOut;
    }
}

bool ControllerProtocol::SeekTrack(std::uint8_t track) {
    if (track > kLastTrackIndex) return false;
    for (int attempt = 0; attempt < kSeekTries; ++attempt) {
        SendCommand(cmdSeek, track);
        const int result = WaitAnswer();
        if (result == wrTimeout) return false;
        if (result == wrAnswer) {
            const AnswerRecord* answer = port_.TakeAnswer();
            // Byte 1 is the track reached; an answer too short to hold it is no success.
            if (answer && answer->Length() > 1 && answer->Byte(1) == track) return true;
        } else {
            port_.TakeError();
        }
        const std::uint8_t status = QueryStatus();
        if (status == kStatusErrorRecord || status == kStatusTimedOut) return false;
    }
    return false;
}

bool ControllerProtocol::SelectDrive(Drive drive) {
    if (!port_.DeviceActive()) return false;
    SendCommand(cmdReadRegister, kDriveControlRegister);
    int result = WaitAnswer();
    if (result == wrAnswer) {
        const AnswerRecord* answer = port_.TakeAnswer();
        const std::uint8_t read = answer ? answer->Byte(0) : 0;
        SendCommand(cmdWriteRegister, kDriveControlRegister, DriveControlValue(read, drive));
        result = WaitAnswer();
        if (result == wrAnswer) {
            port_.TakeAnswer();
            if (host_) {
                host_->SetDriveMarks(drive == Drive::A, drive == Drive::B);
                host_->StoreDriveSetting(drive);
            }
            return true;
        }
    }
    if (result == wrError) {
        port_.TakeError();
        Show(kTextDriveChangeError);
    } else {
        Show(kTextTimeout);
    }
    return false;
}

void ControllerProtocol::ResetController() {
    SendCommand(cmdStatus);
    switch (WaitAnswer()) {
        case wrAnswer:
            port_.TakeAnswer();
            break;
        case wrError:
            port_.TakeError();
            Show(kTextNoDisk);
            break;
        default:
            Show(kTextTimeout);
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

    SendCommand(cmdIdentify);
    switch (WaitAnswer()) {
        case wrAnswer: {
            const QString text = TakeIdentification();
            if (host_) host_->ShowIdentification(text);
            break;
        }
        case wrError:
            port_.TakeError();
            break;
        default:
            Show(kTextControllerNotFound);
            return ContactResult::ControllerNotFound;
    }

    SendCommand(cmdReadRegister, kDriveControlRegister);
    int result = WaitAnswer();
    if (result == wrAnswer) {
        const AnswerRecord* answer = port_.TakeAnswer();
        const std::uint8_t read = answer ? answer->Byte(0) : 0;
        SendCommand(cmdWriteRegister, kDriveControlRegister, DriveControlValue(read, drive));
        result = WaitAnswer();
        if (result == wrAnswer) {
            port_.TakeAnswer();
            if (host_) host_->SetDriveMarks(drive == Drive::A, drive == Drive::B);
            return ContactResult::Done;
        }
        if (result == wrTimeout) {
            Show(kTextControllerNotFound);
            if (host_) host_->SetDriveMarks(false, false);
            return ContactResult::ControllerNotFound;
        }
    }
    if (result == wrError) {
        port_.TakeError();
        return ContactResult::Done;
    }
    Show(kTextControllerNotFound);
    return ContactResult::ControllerNotFound;
}

}  // namespace morvane
