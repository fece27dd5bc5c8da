#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace sorvanto::clock {

namespace {
std::mutex g_mutex;
std::function<std::int64_t()> g_now;
std::function<std::uint32_t()> g_tick;
}  // namespace

std::int64_t Now() {
    {
        std::lock_guard lock(g_mutex);
        if (g_now) return g_now();
    }
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::uint32_t TickCount() {
    {
        std::lock_guard lock(g_mutex);
        if (g_tick) return g_tick();
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetForTesting(std::function<std::int64_t()> now, std::function<std::uint32_t()> tick) {
    std::lock_guard lock(g_mutex);
    g_now = std::move(now);
    g_tick = std::move(tick);
}

}  // namespace sorvanto::clock
