#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sorvanto {

// A serial port run raw at 8N1 (no flow control, no echo, no line editing), as a SIR adapter
// needs it. The methods are virtual so that adapters and drivers can be tested over a fake.
//
// Read and Write may be used from two threads at once; the rest belongs to one thread.
class SerialPort {
public:
    // The speeds a port can be set to, lowest first.
    static constexpr int kSpeeds[] = {2400, 9600, 19200, 38400, 57600, 115200};
    static bool SupportedSpeed(int baud);

    SerialPort() = default;
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the port ("/dev/ttyUSB0", "COM3") at the speed with DTR and RTS raised. On failure
    // *error_line (when given) is one line for the user that names the port and the reason.
    virtual bool Open(const std::string& path, int baud, std::string* error_line);
    virtual void Close();
    virtual bool IsOpen() const;

    // Waits up to timeout_ms for bytes: the count read (at most n), 0 on time-out, -1 when the
    // port is gone (device unplugged, the other end of a pseudo-terminal closed).
    virtual int Read(std::uint8_t* data, std::size_t n, int timeout_ms);
    // All n bytes queued for sending, or false.
    virtual bool Write(const std::uint8_t* data, std::size_t n);
    // Waits until everything written has left the port.
    virtual bool Drain();
    // A new speed; bytes already written leave at the old one first.
    virtual bool SetBaud(int baud);
    // Sets both modem-control outputs. Pseudo-terminals have none: false there.
    virtual bool SetModemLines(bool dtr, bool rts);

    const std::string& Path() const { return path_; }
    int Baud() const { return baud_; }

private:
    bool Configure(int baud);

    std::string path_;
    int baud_ = 0;
    std::intptr_t handle_ = -1;  // file descriptor, or the HANDLE on Windows
    int read_timeout_ms_ = -1;   // the time-out the Windows handle is set to
};

// The serial ports of this system by name, sorted: on Linux the /dev/ttyS* that have a UART
// behind them and every /dev/ttyUSB* and /dev/ttyACM*; on Windows "COM1", "COM3" ...
std::vector<std::string> ListSerialPorts();

// The device name Open needs for a port name: on Windows "COM10" -> "\\.\COM10" (names above
// COM9 only open that way); elsewhere the name itself.
std::string SerialDevicePath(const std::string& port);

}  // namespace sorvanto
