// Raising the program's priority at start-up, so the controller's byte stream is polled
// on time while other programs are busy.
#pragma once

namespace morvane {

enum class PriorityResult { RealTime, Raised, Unchanged };

// Tries a real-time round-robin policy for the calling (user-interface) thread, else a
// lower nice value for the process. An ordinary user usually may do neither on Linux (it
// takes CAP_SYS_NICE or an rtprio limit), and then nothing changes: every wait is paced by
// events, not by spinning, so the program works at normal priority too.
PriorityResult RaiseProcessPriority();

}  // namespace morvane
