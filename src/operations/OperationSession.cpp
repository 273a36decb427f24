#include "operations/OperationSession.h"

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "model/Track.h"
#include "operations/OperationHost.h"

namespace morvane {

OperationSession::OperationSession(OperationContext& ctx) : ctx_(ctx) {}

OperationSession::~OperationSession() = default;

bool OperationSession::Start() {
    claim_ = ctx_.protocol.Claim();
    if (!claim_) {
        ShowError(QString::fromUtf8(kControllerBusyText));
        return false;
    }
    // A link that was never up gives the plain time-out messages: the controller was not
    // found rather than lost.
    linkUpAtStart_ = ctx_.protocol.Port().DeviceActive();
    return true;
}

WaitResult OperationSession::Wait() {
    return ctx_.protocol.WaitAnswer();
}

std::optional<OperationOutcome> OperationSession::Interrupted(WaitResult waitResult) {
    if (waitResult == WaitResult::Refused) {
        ShowError(QString::fromUtf8(kControllerBusyText));
        return OperationOutcome::Refused;
    }
    if (waitResult != WaitResult::LinkLost || !linkUpAtStart_) return std::nullopt;
    QString text = QString::fromUtf8(kLinkLostText);
    if (keepsRead_) text += QLatin1Char(' ') + QString::fromUtf8(kTextReadKept);
    const QString& reason = ctx_.protocol.LinkLossReason();
    if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
    ShowError(text);
    return OperationOutcome::LinkLost;
}

std::optional<OperationOutcome> OperationSession::Interrupted(StatusOutcome status) {
    if (status == StatusOutcome::LinkLost) return Interrupted(WaitResult::LinkLost);
    if (status == StatusOutcome::Refused) return Interrupted(WaitResult::Refused);
    return std::nullopt;
}

const AnswerRecord& OperationSession::TakeAnswer() {
    ctx_.protocol.Port().TakeAnswer();
    return ctx_.protocol.CurrentAnswer();
}

const ErrorRecord& OperationSession::TakeError() {
    ctx_.protocol.Port().TakeError();
    return ctx_.protocol.CurrentError();
}

void OperationSession::Log(const QString& line) {
    ctx_.host.AppendLog(line);
}

void OperationSession::TrackLog(Track& track, const QString& line, bool alsoLog) {
    track.Log.push_back(line.toStdString());
    if (alsoLog) Log(line);
}

Answer OperationSession::AskReadError(std::uint8_t status) {
    return ctx_.host.Ask({.caption = kCaptionReadError,
                          .text = (QStringLiteral("Ошибка - ") + Hex2(status)).toStdString(),
                          .buttons = Buttons::AbortRetryIgnore});
}

void OperationSession::ShowError(const QString& text) {
    ctx_.host.Ask({.caption = kCaptionError, .text = text.toStdString()});
}

QString Hex2(std::uint8_t v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace morvane
