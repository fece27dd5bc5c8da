#include "platform/link/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace sorvanto {

PseudoTerminal::~PseudoTerminal() { Close(); }

bool PseudoTerminal::Open() {
    Close();
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const char* name = (grantpt(fd) == 0 && unlockpt(fd) == 0) ? ptsname(fd) : nullptr;
    if (!name) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = name;
    // Raw on both sides from the start, so that no byte is echoed or translated before the
    // port under test sets its own mode.
    termios tio{};
    if (tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd_, TCSANOW, &tio);
    }
    return true;
}

int PseudoTerminal::Read(std::uint8_t* data, std::size_t n, int timeout_ms) {
    if (fd_ < 0) return -1;
    pollfd p{fd_, POLLIN, 0};
    int r;
    do r = ::poll(&p, 1, timeout_ms);
    while (r < 0 && errno == EINTR);
    if (r <= 0) return r < 0 ? -1 : 0;
    // With the terminal side not (or no longer) open the read fails with EIO.
    const ssize_t got = ::read(fd_, data, n);
    if (got < 0 && errno == EIO) return 0;
    return got > 0 ? static_cast<int>(got) : -1;
}

bool PseudoTerminal::Write(const std::uint8_t* data, std::size_t n) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < n) {
        const ssize_t w = ::write(fd_, data + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return fd_ >= 0;
}

int PseudoTerminal::LineSpeed() const {
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) return 0;
    switch (cfgetospeed(&tio)) {
        case B2400: return 2400;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return 0;
    }
}

void PseudoTerminal::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace sorvanto
