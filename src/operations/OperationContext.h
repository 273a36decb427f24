// What every disk operation works on: the controller protocol, the image container and
// the host that shows what happens. All three outlive the operation.
#pragma once

#include <cstdint>

#include "model/ImageEditing.h"  // MapCell: the cell the map's context menu opened on

namespace morvane {

class ControllerProtocol;
class DiskImage;
class OperationHost;

struct OperationContext {
    ControllerProtocol& protocol;
    DiskImage& disk;
    OperationHost& host;
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
