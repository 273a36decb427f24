// One running operation: its hold on the controller, a watch on the link, and the small
// things every operation does (wait and classify, log a line, show an error box).
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "controller/ControllerCommands.h"
#include "controller/LinkClaim.h"
#include "model/UserQuestion.h"
#include "operations/OperationContext.h"

namespace morvane {

class Track;
struct AnswerRecord;
struct ErrorRecord;

// Follows the controller's link-lost text when what was read stays in the image.
inline constexpr const char* kTextReadKept = "Считанное сохранено.";

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
    DiskImage& Disk() { return ctx_.disk; }
    OperationHost& Host() { return ctx_.host; }

    // The operation keeps what it read in the image: its link-lost box says so.
    void SetKeepsWhatWasRead() { keepsRead_ = true; }

    // The controller's outcome: WaitResult::Answer, WaitResult::Error, WaitResult::Timeout,
    // WaitResult::LinkLost or WaitResult::Refused.
    WaitResult Wait();
    // The outcome of a wait that ended without a record for want of the link, or because
    // another exchange holds the controller: its box is shown. Nothing for the others.
    std::optional<OperationOutcome> Interrupted(WaitResult waitResult);
    // The same for a status query.
    std::optional<OperationOutcome> Interrupted(StatusOutcome status);
    // Takes the record the last wait announced.
    const AnswerRecord& TakeAnswer();
    const ErrorRecord& TakeError();

    void Log(const QString& line);
    // Appends to the track log, and with alsoLog to the operation log.
    void TrackLog(Track& track, const QString& line, bool alsoLog);
    void ShowError(const QString& text);
    // The read-error question: "Ошибка - XX", Abort, Retry or Ignore.
    Answer AskReadError(std::uint8_t status);

  private:
    OperationContext& ctx_;
    LinkClaim claim_;
    bool linkUpAtStart_ = false;
    bool keepsRead_ = false;
};

// Two upper-case hexadecimal digits.
QString Hex2(std::uint8_t v);

}  // namespace morvane
