#include "platform/periodic_timer.h"

#include <system_error>

namespace sorvanto {

bool PeriodicTimer::Start(std::chrono::microseconds period, std::function<void()> tick) {
    if (thread_.joinable() || period.count() <= 0 || !tick) return false;
    tick_ = std::move(tick);
    stop_ = false;
    try {
        thread_ = std::thread([this, period] { Run(period); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void PeriodicTimer::Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
}

void PeriodicTimer::Run(std::chrono::microseconds period) {
    using Clock = std::chrono::steady_clock;
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
