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

}  // namespace sorvanto
