// What every disk operation works on: the controller protocol, the image container and
// the host that shows what happens. All three outlive the operation.
#pragma once

#include <cstdint>

namespace morvane {

class ControllerProtocol;
class TZX_Disk;
class OperationHost;

struct OperationContext {
    ControllerProtocol& protocol;
    TZX_Disk& disk;
    OperationHost& host;
};

// The disk-map cell on which the context menu was last opened: row = track index,
// column 0 = the track's own cell, column c >= 1 = slot c - 1.
struct MapCell {
    std::uint8_t track = 0;
    int column = 0;
};

// How an operation ended, for callers that go on (the command-line tool, tests).
enum class OperationOutcome {
    Done,       // ran to its end (read errors included)
    Refused,    // nothing sent: another command holds the controller, or a check failed
    Stopped,    // a missing disk, a time-out, a seek failure: the message was shown
    Cancelled,  // the user aborted or cancelled
    LinkLost,   // the link went away during a wait; what was read before stays
};

}  // namespace morvane
