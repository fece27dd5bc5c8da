#pragma once

#include <atomic>
#include <chrono>

#include "irlink/transfer_monitor.h"

namespace sorvanto {

// A monitor for callers without a window: the transfer goes on until Cancel is called (from
// any thread) or, when a limit is given, until that much time has passed.
class CancelFlagMonitor : public TransferMonitor {
public:
    CancelFlagMonitor() = default;
    explicit CancelFlagMonitor(std::chrono::milliseconds limit) : limit_(limit) {}

    void Begin() override { started_ = std::chrono::steady_clock::now(); }
    int KeepGoing() override {
        if (cancelled_) return 0;
        if (limit_.count() > 0 && std::chrono::steady_clock::now() - started_ >= limit_) return 0;
        return 1;
    }
    void End() override {}
    void Cancel() { cancelled_ = true; }

private:
    std::atomic<bool> cancelled_{false};
    std::chrono::milliseconds limit_{0};
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace sorvanto
