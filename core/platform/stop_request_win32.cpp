#include "platform/stop_request.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32_text.h"

namespace sorvanto {

namespace {
std::atomic<StopRequest::Handler> g_handler{nullptr};

BOOL WINAPI OnConsole(DWORD) {
    if (const auto h = g_handler.load()) {
        h();
        return TRUE;
    }
    return FALSE;
}
}  // namespace

struct StopRequest::Saved {
    StopRequest::Handler previous = nullptr;
    HANDLE event = nullptr;  // set by RequestStop of another process
    HANDLE quit = nullptr;   // ends the watcher
    std::thread watcher;
};

StopRequest::StopRequest(Handler handler, bool terminate) : saved_(new Saved) {
    saved_->previous = g_handler.exchange(handler);
    ::SetConsoleCtrlHandler(OnConsole, TRUE);
    if (!terminate) return;
    const std::wstring name = win32::StopEventName(::GetCurrentProcessId());
    saved_->event = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    saved_->quit = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!saved_->event || !saved_->quit) return;
    saved_->watcher = std::thread([event = saved_->event, quit = saved_->quit] {
        const HANDLE both[2] = {event, quit};
        if (::WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0)
            if (const auto h = g_handler.load()) h();
    });
}

StopRequest::~StopRequest() {
    if (saved_->watcher.joinable()) {
        ::SetEvent(saved_->quit);
        saved_->watcher.join();
    }
    if (saved_->event) ::CloseHandle(saved_->event);
    if (saved_->quit) ::CloseHandle(saved_->quit);
    ::SetConsoleCtrlHandler(OnConsole, FALSE);
    g_handler = saved_->previous;
    delete saved_;
}

}  // namespace sorvanto
