// "Перечитать сбойные сектора": every occupied slot (0..25) of a present track whose data
// is not good is read again from the disk; on a further failure the user chooses to
// retry, skip or stop.
#pragma once

#include "operations/OperationContext.h"

namespace morvane {

inline constexpr int kRereadSlots = 26;

struct RereadOptions {
    // 0: ask the user after each failed read. N > 0: no questions; each sector gets up to
    // N reads, then stays failed (the command-line tool's --reread N).
    int unattendedTries = 0;
};

struct RereadResult {
    OperationOutcome outcome = OperationOutcome::Done;
    int recovered = 0;  // sectors now read good
    int stillFailed = 0;
};

RereadResult RereadFailedSectors(OperationContext& ctx, RereadOptions options = {});

}  // namespace morvane
