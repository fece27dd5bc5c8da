#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sorvanto {

// A pseudo-terminal pair: its terminal side opens like a serial port, the controlling side
// plays the device at the far end of the line (tests, the emulator). Windows has none.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False where the system has no pseudo-terminals.
    bool Open();
    // The terminal side's name ("/dev/pts/3"), for SerialPort::Open.
    const std::string& TerminalPath() const { return path_; }

    // The far end: bytes read within timeout_ms (0 on time-out, -1 when closed), all written.
    int Read(std::uint8_t* data, std::size_t n, int timeout_ms);
    bool Write(const std::uint8_t* data, std::size_t n);
    // The speed the terminal side is set to (what the port asked for), 0 when unknown.
    int LineSpeed() const;
    // Hangs up: the terminal side sees the line gone.
    void Close();

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace sorvanto
