// Guards of a whole-disk run: the long answer time-out while it lasts, and the host's
// progress window closed however the run ends.
#pragma once

#include <QString>

#include "controller/ControllerProtocol.h"
#include "operations/OperationHost.h"

namespace morvane {

class RunAnswerTimeout {
  public:
    RunAnswerTimeout(ControllerProtocol& protocol, int ms)
        : protocol_(protocol), previous_(protocol.TimeoutInterval()) {
        protocol_.SetTimeoutInterval(ms);
    }
    ~RunAnswerTimeout() { protocol_.SetTimeoutInterval(previous_); }
    RunAnswerTimeout(const RunAnswerTimeout&) = delete;
    RunAnswerTimeout& operator=(const RunAnswerTimeout&) = delete;

  private:
    ControllerProtocol& protocol_;
    int previous_;
};

class RunProgressWindow {
  public:
    RunProgressWindow(OperationHost& host, const QString& caption, int maximum) : host_(host) {
        host_.BeginRun(caption, maximum);
    }
    ~RunProgressWindow() { host_.EndRun(); }
    RunProgressWindow(const RunProgressWindow&) = delete;
    RunProgressWindow& operator=(const RunProgressWindow&) = delete;

  private:
    OperationHost& host_;
};

}  // namespace morvane
