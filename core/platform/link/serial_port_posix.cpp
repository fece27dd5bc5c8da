#include "platform/link/serial_port.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sorvanto {

namespace {

speed_t SpeedConstant(int baud) {
    switch (baud) {
        case 2400: return B2400;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        default: return B0;
    }
}

bool InGroup(gid_t gid) {
    if (getegid() == gid) return true;
    gid_t groups[256];
    const int n = getgroups(256, groups);
    for (int i = 0; i < n; ++i)
        if (groups[i] == gid) return true;
    return false;
}

// Why the device cannot be opened for reading and writing, with what the user can do about it.
std::string PermissionReason(const std::string& path) {
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) return "権限がありません";
    const struct group* g = getgrgid(st.st_gid);
    if (!g || st.st_gid == 0) return "権限がありません";
    const std::string name = g->gr_name;
    if (InGroup(st.st_gid)) return "権限がありません (グループ " + name + " の権限で読み書きできません)";
    return "権限がありません (グループ " + name + " に属していないためです。加えたあとはログインし直してください)";
}

std::string OpenFailure(const std::string& path, int err) {
    std::string reason;
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO: reason = "ポートがありません"; break;
        case EACCES:
        case EPERM: reason = PermissionReason(path); break;
        case EBUSY: reason = "ほかのプログラムが使用中です"; break;
        default: reason = std::strerror(err); break;
    }
    return path + " を開けません: " + reason;
}

}  // namespace

SerialPort::~SerialPort() { SerialPort::Close(); }

bool SerialPort::Open(const std::string& path, int baud, std::string* error_line) {
    Close();
    auto fail = [&](const std::string& line) {
        if (error_line) *error_line = line;
        if (handle_ >= 0) ::close(static_cast<int>(handle_));
        handle_ = -1;
        return false;
    };
    if (!SupportedSpeed(baud)) return fail(path + " を開けません: 速度 " + std::to_string(baud) + " bps は使えません");
    // Non-blocking so that a port waiting for carrier does not hold the open; reads and
    // writes later wait through poll.
    const int fd = ::open(SerialDevicePath(path).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(OpenFailure(path, errno));
    handle_ = fd;
    if (!isatty(fd)) return fail(path + " を開けません: シリアルポートではありません");
    // Two programs driving one adapter would garble each other's frames.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(OpenFailure(path, EBUSY));
    path_ = path;
    if (!Configure(baud)) return fail(path + " を開けません: 速度を設定できません (" + std::strerror(errno) + ")");
    // Many adapters draw their power from DTR and RTS; a pseudo-terminal has neither line.
    SetModemLines(true, true);
    tcflush(fd, TCIOFLUSH);
    return true;
}

bool SerialPort::Configure(int baud) {
    const int fd = static_cast<int>(handle_);
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedConstant(baud);
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    baud_ = baud;
    return true;
}

void SerialPort::Close() {
    if (handle_ < 0) return;
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    baud_ = 0;
}

bool SerialPort::IsOpen() const { return handle_ >= 0; }

int SerialPort::Read(std::uint8_t* data, std::size_t n, int timeout_ms) {
    if (handle_ < 0) return -1;
    if (n == 0) return 0;
    pollfd p{static_cast<int>(handle_), POLLIN, 0};
    int r;
    do r = ::poll(&p, 1, timeout_ms < 0 ? 0 : timeout_ms);
    while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    if (r == 0) return 0;
    const ssize_t got = ::read(static_cast<int>(handle_), data, n);
    if (got > 0) return static_cast<int>(got);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    // Readable yet nothing to read (or EIO): the device or the other end has gone.
    return -1;
}

bool SerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (handle_ < 0) return false;
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(static_cast<int>(handle_), data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno == EAGAIN) {
            pollfd p{static_cast<int>(handle_), POLLOUT, 0};
            // A port that takes nothing for a whole second is stuck.
            if (::poll(&p, 1, 1000) <= 0 || (p.revents & (POLLERR | POLLHUP))) return false;
            continue;
        }
        return false;
    }
    return true;
}

bool SerialPort::Drain() {
    if (handle_ < 0) return false;
    int r;
    do r = tcdrain(static_cast<int>(handle_));
    while (r != 0 && errno == EINTR);
    return r == 0;
}

bool SerialPort::SetBaud(int baud) {
    if (handle_ < 0 || !SupportedSpeed(baud)) return false;
    if (baud == baud_) return true;
    // The frame before a speed change still goes out at the old speed.
    Drain();
    return Configure(baud);
}

bool SerialPort::SetModemLines(bool dtr, bool rts) {
    if (handle_ < 0) return false;
    int bits = 0;
    if (ioctl(static_cast<int>(handle_), TIOCMGET, &bits) != 0) return false;
    bits &= ~(TIOCM_DTR | TIOCM_RTS);
    if (dtr) bits |= TIOCM_DTR;
    if (rts) bits |= TIOCM_RTS;
    return ioctl(static_cast<int>(handle_), TIOCMSET, &bits) == 0;
}

namespace {

// A ttyS name is there for every possible 8250 line; only the ones with a UART behind them
// are ports. sysfs says so without opening the line (an open raises DTR); older kernels
// without the "type" file are asked through TIOCGSERIAL.
bool HasUart(const std::string& name) {
    struct stat st{};
    if (stat(("/sys/class/tty/" + name + "/device").c_str(), &st) != 0) return false;
    const int tf = ::open(("/sys/class/tty/" + name + "/type").c_str(), O_RDONLY | O_CLOEXEC);
    if (tf >= 0) {
        char buf[16] = {};
        const ssize_t got = ::read(tf, buf, sizeof buf - 1);
        ::close(tf);
        return got > 0 && std::atoi(buf) != PORT_UNKNOWN;
    }
    const int fd = ::open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return true;  // there, but not ours to open: still worth offering
    serial_struct info{};
    const bool uart = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return uart;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// "ttyS10" after "ttyS9".
bool PortOrder(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i] && !(a[i] >= '0' && a[i] <= '9')) ++i;
    const std::string ra = a.substr(i), rb = b.substr(i);
    const bool da = !ra.empty() && ra[0] >= '0' && ra[0] <= '9';
    const bool db = !rb.empty() && rb[0] >= '0' && rb[0] <= '9';
    if (da && db && ra.size() != rb.size()) return ra.size() < rb.size();
    return a < b;
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> out;
    DIR* dir = opendir("/dev");
    if (!dir) return out;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM")) out.push_back("/dev/" + name);
        else if (StartsWith(name, "ttyS") && name.size() > 4 && HasUart(name)) out.push_back("/dev/" + name);
    }
    closedir(dir);
    std::sort(out.begin(), out.end(), PortOrder);
    return out;
}

}  // namespace sorvanto
