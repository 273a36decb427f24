// One running operation: its hold on the controller, a watch on the link, and the small
// things every operation does (wait and classify, log a line, show an error box).
#pragma once

#include <QMetaObject>
#include <QString>

#include <cstdint>
#include <string>

#include "controller/LinkClaim.h"
#include "operations/OperationContext.h"

namespace morvane {

class TTrack;
struct AnswerRecord;
struct ErrorRecord;

inline constexpr const char* kCaptionError = "Ошибка!";
inline constexpr const char* kTextControllerBusy = "Контроллер занят другой командой!";
inline constexpr const char* kTextLinkLost = "Связь с контроллером потеряна! Считанное сохранено.";

class OperationSession {
  public:
    explicit OperationSession(OperationContext& ctx);
    ~OperationSession();
    OperationSession(const OperationSession&) = delete;
    OperationSession& operator=(const OperationSession&) = delete;

    // False when another command holds the controller; the refusal was shown.
    bool Start();

    OperationContext& Ctx() { return ctx_; }
    ControllerProtocol& Protocol() { return ctx_.protocol; }
    TZX_Disk& Disk() { return ctx_.disk; }
    OperationHost& Host() { return ctx_.host; }

    // wrAnswer, wrError, wrTimeout or wrLinkLost. A time-out after the device reported a
    // failure, or with the link down, counts as link lost.
    int Wait();
    // The link went away during this operation.
    bool LinkLost() const;
    // Takes the record the last wait announced.
    const AnswerRecord& TakeAnswer();
    const ErrorRecord& TakeError();

    void Log(const QString& line);
    // Appends to the track log, and with alsoLog to the operation log.
    void TrackLog(TTrack& track, const QString& line, bool alsoLog);
    void ShowError(const QString& text);
    // The link-lost box; returns LinkLost for the caller to hand on.
    OperationOutcome ReportLinkLost();

  private:
    OperationContext& ctx_;
    LinkClaim claim_;
    QMetaObject::Connection deviceErrors_;
    bool deviceFailed_ = false;
    bool linkUpAtStart_ = false;
};

// Two upper-case hexadecimal digits.
QString Hex2(std::uint8_t v);

}  // namespace morvane
