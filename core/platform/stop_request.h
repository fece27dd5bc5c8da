#pragma once

namespace sorvanto {

// Calls a handler when the user or another program asks this program to stop: Ctrl+C (and,
// with terminate, SIGTERM) on Linux; Ctrl+C, Ctrl+Break or the console closing on Windows, and
// there also the event that RequestStop of another process sets (Windows has no SIGTERM). The
// handler runs on a signal or system thread: it only sets an atomic flag. The previous
// handling comes back when the object goes.
class StopRequest {
public:
    using Handler = void (*)();
    StopRequest(Handler handler, bool terminate);
    ~StopRequest();
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

private:
    struct Saved;
    Saved* saved_ = nullptr;
};

}  // namespace sorvanto
