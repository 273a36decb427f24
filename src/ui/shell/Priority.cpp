#include "ui/shell/Priority.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#endif

namespace morvane {

PriorityResult RaiseProcessPriority() {
#if defined(__linux__)
    // The lowest real-time level is enough to win over ordinary programs and leaves the
    // system's own real-time threads above us.
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_RR);
    if (pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0)
        return PriorityResult::RealTime;
    constexpr int kRaisedNice = -10;
    if (setpriority(PRIO_PROCESS, 0, kRaisedNice) == 0) return PriorityResult::Raised;
#endif
    return PriorityResult::Unchanged;
}

}  // namespace morvane
