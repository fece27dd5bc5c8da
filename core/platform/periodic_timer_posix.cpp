#include "platform/periodic_timer.h"

#include <algorithm>

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

namespace sorvanto {

void PeriodicTimer::Run(std::chrono::microseconds period) {
    using Clock = std::chrono::steady_clock;
    // A late period is a late note: ask for real-time scheduling and the smallest timer slack.
    // Both are refused without the right privileges, and the timer then runs as it is.
    sched_param param{};
    param.sched_priority = std::max(1, sched_get_priority_min(SCHED_FIFO));
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    auto next = Clock::now() + period;
    while (!stop_.load(std::memory_order_relaxed)) {
        std::this_thread::sleep_until(next);
        if (stop_.load(std::memory_order_relaxed)) break;
        tick_();
        next += period;
        const auto now = Clock::now();
        if (now - next > std::chrono::seconds(1)) next = now + period;
    }
}

}  // namespace sorvanto
