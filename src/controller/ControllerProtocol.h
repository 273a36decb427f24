// The command exchanges with the floppy controller: send a frame, wait for its answer,
// error record or time-out, and the exchanges built on them (status, seek, drive choice,
// reset, first contact). Owned by the main window; runs on its thread. A wait runs a
// local event loop, so the window stays live and nothing sleeps.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ControllerCommands.h"
#include "LinkClaim.h"
#include "RxRecords.h"

namespace morvane {

class UsbPort;
class ProtocolHost;

inline constexpr int kTimeoutSingleMs = 2000;  // one exchange
inline constexpr int kTimeoutRunMs = 30000;    // during a whole-disk run
inline constexpr std::size_t kReplyBufferSize = 32768;

// A command refused because another exchange or operation holds the controller.
inline constexpr const char* kControllerBusyText =
    "Контроллер занят: дождитесь конца текущей операции.";
// A wait ended because its link ended; the failing call's text follows on a new line
// when the device failed (LinkLossReason).
inline constexpr const char* kLinkLostText = "Связь с контроллером потеряна.";

enum class ContactResult {
    NoLink,              // the USB link is not active; nothing was sent
    ControllerNotFound,  // a wait timed out; the message was shown
    Done,
    Interrupted,  // the link ended, or another exchange was running; the message was shown
};

class ControllerProtocol : public QObject {
    Q_OBJECT

  public:
    // The port must outlive the protocol. host may be null (nothing is shown).
    explicit ControllerProtocol(UsbPort& port, ProtocolHost* host = nullptr,
                                QObject* parent = nullptr);

    void SetHost(ProtocolHost* host) { host_ = host; }

    // An operation or a wait holds the controller; no other command may start.
    bool Busy() const { return claims_ > 0 || waiting_; }
    // A wait is running (its event loop may be what is calling now).
    bool Waiting() const { return waiting_; }
    // The hold of one operation for its whole length; not held when Busy().
    LinkClaim Claim() { return Busy() ? LinkClaim() : LinkClaim(claims_); }
    UsbPort& Port() { return port_; }

    // Short frame of 5, 6 or 7 bytes. Refused (false, nothing sent, no record touched)
    // while a wait is running: its event loop must not start a second exchange.
    bool SendCommand(CommandCode code);
    bool SendCommand(CommandCode code, std::uint8_t arg1);
    bool SendCommand(CommandCode code, std::uint8_t arg1, std::uint8_t arg2);
    // Block frame, sent in pieces of at most 1000 bytes; bytes the driver accepted.
    // A block longer than 65535 bytes cannot be framed: nothing is sent, 0 returned.
    // Refused like SendCommand while a wait is running (0 returned).
    std::uint32_t SendCommandBlock(CommandCode code, std::span<const std::uint8_t> block);

    // WaitResult::Answer, WaitResult::Error, WaitResult::Timeout, WaitResult::LinkLost or
    // WaitResult::Refused. The link ending (stopped, switched, device failed, program quitting)
    // ends the wait at once with WaitResult::LinkLost, and so does a wait begun on a link that is
    // not up. A wait begun inside another wait is refused. A time-out wins over a record that came
    // in the same pass; with both kinds queued, the older record decides. The records a timed-out
    // exchange still owes are not handed to the next one: the next send first lets them come, for
    // as long as the device keeps sending them with gaps shorter than one time-out interval, and
    // drops them.
    WaitResult WaitAnswer();
    // The outcome of the last wait, WaitResult::Refused after a refused send: tells why an exchange
    // that reports only success or failure (SeekTrack) failed.
    WaitResult LastWaitResult() const { return lastWaitResult_; }
    // Status byte, kStatusErrorRecord (254) or kStatusTimedOut (255); outcome, when
    // given, tells a lost link, an answer without a data byte (254) or a refusal apart.
    std::uint8_t QueryStatus(StatusOutcome* outcome = nullptr);
    // Puts the head on track index 0..165, with up to 10 tries.
    bool SeekTrack(std::uint8_t track);
    // Rewrites the drive bit of register 0x28; only while the link is active.
    bool SelectDrive(Drive drive);
    void ResetController();
    // Start-up: identification, then register 0x28 with the drive bit of `drive`.
    ContactResult FirstContact(Drive drive);

    // The time-out timer of every wait, 2000 ms unless a whole-disk run raises it.
    QTimer& AnswerTimer() { return answerTimer_; }
    int TimeoutInterval() const { return answerTimer_.interval(); }
    void SetTimeoutInterval(int ms) { answerTimer_.setInterval(ms); }
    bool TimedOut() const { return timedOut_; }
    // Why the link last failed under the program ("FT_Read - General IO Error..."); empty
    // when it was stopped or switched on purpose.
    const QString& LinkLossReason() const { return linkLossReason_; }
    // The program is quitting: every wait ends now, and every later one at once.
    void AbandonWaits();

    const AnswerRecord& CurrentAnswer() const;
    const ErrorRecord& CurrentError() const;

    std::span<std::uint8_t> ReplyBuffer() { return replyBuffer_; }
    std::span<const std::uint8_t> ReplyBuffer() const { return replyBuffer_; }

  signals:
    // AbandonWaits was called; the running wait ends.
    void waitsAbandoned();

  private:
    bool SendFrame(std::span<const std::uint8_t> frame, std::size_t records);
    // The link a wait started on has ended, or the program is quitting.
    bool LinkGone(std::uint64_t generation) const;
    // Drops whatever the device sent before; records names how many the new exchange
    // brings (LetLateRecordsCome counts on it).
    void StartExchange(std::size_t records);
    // After a time-out: lets the records the device still owes come, to be dropped.
    void LetLateRecordsCome();
    void DrainTx();
    void OnTimeout();
    WaitResult WaitFor(QTimer& timer, bool& expired);
    void Show(const char* text);
    void ShowLinkLost();
    // The message for a wait that ended without a record; false for
    // WaitResult::Answer/WaitResult::Error.
    bool ShowWaitFailure(WaitResult result, const char* timeoutText);
    void OnLinkDown(bool failed, const QString& reason);
    // Identification answer into the reply buffer; its text up to the first zero byte.
    QString TakeIdentification();

    UsbPort& port_;
    ProtocolHost* host_;
    QTimer answerTimer_;
    bool timedOut_ = false;
    bool waiting_ = false;
    bool quitting_ = false;
    bool lossReported_ = false;
    int claims_ = 0;
    WaitResult lastWaitResult_ = WaitResult::Answer;
    // The exchange last started: the records the device sends for it, the port's count of
    // records when it started, its link, and whether a wait for it ran into the time-out.
    struct Exchange {
        std::size_t records = 0;
        std::uint64_t arrivedBefore = 0;
        std::uint64_t link = 0;
        bool timedOut = false;
    };
    Exchange exchange_;
    QString linkLossReason_;
    std::vector<std::uint8_t> replyBuffer_;
};

}  // namespace morvane
