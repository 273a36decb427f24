#include "ui/shell/Priority.h"

#include <gtest/gtest.h>

#include <unistd.h>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#endif

namespace morvane {
namespace {

#if defined(__linux__)
// The result must say what really happened to the calling thread and the process. Run in
// a child process, so the test program keeps its own priority.
int CheckRaisedPriority() {
    const int niceBefore = getpriority(PRIO_PROCESS, 0);
    const PriorityResult result = RaiseProcessPriority();
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    switch (result) {
        case PriorityResult::RealTime:
            return policy == SCHED_RR ? 0 : 1;
        case PriorityResult::Raised:
            return policy != SCHED_RR && getpriority(PRIO_PROCESS, 0) < niceBefore ? 0 : 2;
        case PriorityResult::Unchanged:
            return policy != SCHED_RR && getpriority(PRIO_PROCESS, 0) == niceBefore ? 0 : 3;
    }
    return 4;
}

TEST(PriorityDeathTest, ResultMatchesTheSchedulingReallyInForce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(_exit(CheckRaisedPriority()), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace morvane
