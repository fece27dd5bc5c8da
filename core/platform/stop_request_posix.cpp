#include "platform/stop_request.h"

#include <atomic>
#include <csignal>

namespace sorvanto {

namespace {
std::atomic<StopRequest::Handler> g_handler{nullptr};
extern "C" void OnSignal(int) {
    if (const auto h = g_handler.load()) h();
}
}  // namespace

struct StopRequest::Saved {
    StopRequest::Handler previous = nullptr;
    bool terminate = false;
    struct sigaction old_int {};
    struct sigaction old_term {};
};

StopRequest::StopRequest(Handler handler, bool terminate) : saved_(new Saved) {
    saved_->previous = g_handler.exchange(handler);
    saved_->terminate = terminate;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &saved_->old_int);
    if (terminate) sigaction(SIGTERM, &sa, &saved_->old_term);
}

StopRequest::~StopRequest() {
    sigaction(SIGINT, &saved_->old_int, nullptr);
    if (saved_->terminate) sigaction(SIGTERM, &saved_->old_term, nullptr);
    g_handler = saved_->previous;
    delete saved_;
}

}  // namespace sorvanto
