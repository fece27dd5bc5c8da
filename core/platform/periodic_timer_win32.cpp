#include "platform/periodic_timer.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace sorvanto {

// The multimedia timer keeps the period itself (no drift, no burst after a stall: a period it
// could not deliver is simply one signal). It sets an event, and this thread runs the tick, so
// the tick still runs on the timer's own thread and Stop can wait for it.
void PeriodicTimer::Run(std::chrono::microseconds period) {
    const UINT ms = static_cast<UINT>(std::max<long long>(1, (period.count() + 500) / 1000));
    const HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) return;
    ::timeBeginPeriod(1);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const MMRESULT timer = ::timeSetEvent(ms, 1, reinterpret_cast<LPTIMECALLBACK>(event), 0,
                                          TIME_PERIODIC | TIME_CALLBACK_EVENT_SET | TIME_KILL_SYNCHRONOUS);
    if (timer != 0) {
        while (!stop_.load(std::memory_order_relaxed)) {
            // Wake now and then even without a signal, so that Stop is seen.
            if (::WaitForSingleObject(event, 100) != WAIT_OBJECT_0) continue;
            if (stop_.load(std::memory_order_relaxed)) break;
            tick_();
        }
        ::timeKillEvent(timer);
    }
    ::timeEndPeriod(1);
    ::CloseHandle(event);
}

}  // namespace sorvanto
