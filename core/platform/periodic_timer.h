#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace sorvanto {

// Calls a function every period on its own thread, on the steady clock. Each call is
// scheduled from the start time (start + k x period), so lateness does not add up; after a
// stall of more than a second the schedule starts again from now instead of firing a burst.
class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer() { Stop(); }
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // False when already running or the thread cannot be started.
    bool Start(std::chrono::microseconds period, std::function<void()> tick);
    // Waits for a running call to return; no call follows. Never call it from the tick.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    void Run(std::chrono::microseconds period);

    std::function<void()> tick_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace sorvanto
