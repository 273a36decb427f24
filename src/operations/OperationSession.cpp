#include "operations/OperationSession.h"

#include "controller/ControllerProtocol.h"
#include "controller/UsbPort.h"
#include "model/Track.h"
#include "operations/OperationHost.h"

namespace morvane {

OperationSession::OperationSession(OperationContext& ctx) : ctx_(ctx) {}

OperationSession::~OperationSession() {
    QObject::disconnect(deviceErrors_);
}

bool OperationSession::Start() {
    claim_ = ctx_.protocol.Claim();
    if (!claim_) {
        ShowError(QString::fromUtf8(kTextControllerBusy));
        return false;
    }
    // A driver call that fails during the operation means the device is gone; a wait
    // that then runs out is the lost link, not a slow controller. A link that was never
    // up gives the plain time-out messages.
    linkUpAtStart_ = ctx_.protocol.Port().DeviceActive();
    deviceErrors_ = QObject::connect(&ctx_.protocol.Port(), &TUSB_Port::onDeviceError,
                                     [this](quint32, const QString&) { deviceFailed_ = true; });
    return true;
}

bool OperationSession::LinkLost() const {
    return linkUpAtStart_ && (deviceFailed_ || !ctx_.protocol.Port().DeviceActive());
}

int OperationSession::Wait() {
    const int result = ctx_.protocol.WaitAnswer();
    if (result == wrTimeout && LinkLost()) return wrLinkLost;
    return result;
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

void OperationSession::TrackLog(TTrack& track, const QString& line, bool alsoLog) {
    track.Log.push_back(line.toStdString());
    if (alsoLog) Log(line);
}

void OperationSession::ShowError(const QString& text) {
    ctx_.host.ShowMessage(text, QString::fromUtf8(kCaptionError));
}

OperationOutcome OperationSession::ReportLinkLost() {
    ShowError(QString::fromUtf8(kTextLinkLost));
    return OperationOutcome::LinkLost;
}

QString Hex2(std::uint8_t v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace morvane
