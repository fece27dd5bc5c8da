#pragma once

namespace sorvanto {

// Callbacks around a synchronous transfer that runs on the caller's thread: the desktop
// processes pending window events in KeepGoing, the command-line tool checks a cancel flag.
class TransferMonitor {
public:
    virtual ~TransferMonitor() = default;
    // Once, when the session loop starts.
    virtual void Begin() = 0;
    // In every cycle of the connect wait and at the end of every loop cycle; 0 stops the loop.
    virtual int KeepGoing() = 0;
    // Once, when the loop ends.
    virtual void End() = 0;
};

}  // namespace sorvanto
