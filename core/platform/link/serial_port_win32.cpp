#include "platform/link/serial_port.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace sorvanto {

namespace {

HANDLE Handle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::string OpenFailure(const std::string& path, DWORD err) {
    std::string reason;
    switch (err) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH: reason = "ポートがありません"; break;
        // A COM port opens for one program at a time; a second open is refused this way.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY: reason = "ほかのプログラムが使用中です"; break;
        default: reason = "エラー " + std::to_string(err); break;
    }
    return path + " を開けません: " + reason;
}

// Waits for an overlapped transfer; a transfer still pending after wait_ms is cancelled.
bool Finish(HANDLE h, OVERLAPPED& ov, DWORD wait_ms, DWORD* done) {
    if (WaitForSingleObject(ov.hEvent, wait_ms) != WAIT_OBJECT_0) {
        CancelIo(h);
        GetOverlappedResult(h, &ov, done, TRUE);
        return false;
    }
    return GetOverlappedResult(h, &ov, done, FALSE) != 0;
}

}  // namespace

SerialPort::~SerialPort() { SerialPort::Close(); }

bool SerialPort::Open(const std::string& path, int baud, std::string* error_line) {
    Close();
    auto fail = [&](const std::string& line) {
        if (error_line) *error_line = line;
        if (handle_ != -1) CloseHandle(Handle(handle_));
        handle_ = -1;
        return false;
    };
    if (!SupportedSpeed(baud)) return fail(path + " を開けません: 速度 " + std::to_string(baud) + " bps は使えません");
    // Overlapped, so that the reading thread's wait does not hold up the writing one.
    HANDLE h = CreateFileA(SerialDevicePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(OpenFailure(path, GetLastError()));
    handle_ = reinterpret_cast<std::intptr_t>(h);
    path_ = path;
    read_timeout_ms_ = -1;
    if (!Configure(baud)) return fail(path + " を開けません: 速度を設定できません (エラー " + std::to_string(GetLastError()) + ")");
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

bool SerialPort::Configure(int baud) {
    HANDLE h = Handle(handle_);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(h, &dcb)) return false;
    baud_ = baud;
    return true;
}

void SerialPort::Close() {
    if (handle_ == -1) return;
    CloseHandle(Handle(handle_));
    handle_ = -1;
    baud_ = 0;
}

bool SerialPort::IsOpen() const { return handle_ != -1; }

int SerialPort::Read(std::uint8_t* data, std::size_t n, int timeout_ms) {
    if (handle_ == -1) return -1;
    if (n == 0) return 0;
    HANDLE h = Handle(handle_);
    if (timeout_ms < 0) timeout_ms = 0;
    if (timeout_ms != read_timeout_ms_) {
        // Return as soon as a byte is there, or with nothing after the time-out; a zero
        // time-out returns at once with what has come.
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = MAXDWORD;
        t.ReadTotalTimeoutMultiplier = timeout_ms ? MAXDWORD : 0;
        t.ReadTotalTimeoutConstant = static_cast<DWORD>(timeout_ms);
        t.WriteTotalTimeoutMultiplier = 2;
        t.WriteTotalTimeoutConstant = 2000;
        if (!SetCommTimeouts(h, &t)) return -1;
        read_timeout_ms_ = timeout_ms;
    }
    OVERLAPPED ov{};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ov.hEvent) return -1;
    DWORD got = 0;
    const DWORD len = static_cast<DWORD>(std::min<std::size_t>(n, 65536));
    bool ok = ReadFile(h, data, len, &got, &ov) != 0;
    if (!ok && GetLastError() == ERROR_IO_PENDING)
        ok = Finish(h, ov, static_cast<DWORD>(timeout_ms) + 2000, &got) || got > 0;
    CloseHandle(ov.hEvent);
    // A failed read is an unplugged device; the time-out itself ends the read with no bytes.
    if (!ok) return -1;
    return static_cast<int>(got);
}

bool SerialPort::Write(const std::uint8_t* data, std::size_t n) {
    if (handle_ == -1) return false;
    HANDLE h = Handle(handle_);
    std::size_t done = 0;
    while (done < n) {
        OVERLAPPED ov{};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!ov.hEvent) return false;
        DWORD wrote = 0;
        const DWORD len = static_cast<DWORD>(std::min<std::size_t>(n - done, 65536));
        bool ok = WriteFile(h, data + done, len, &wrote, &ov) != 0;
        if (!ok && GetLastError() == ERROR_IO_PENDING) ok = Finish(h, ov, 10000, &wrote);
        CloseHandle(ov.hEvent);
        if (!ok || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

bool SerialPort::Drain() {
    if (handle_ == -1) return false;
    return FlushFileBuffers(Handle(handle_)) != 0;
}

bool SerialPort::SetBaud(int baud) {
    if (handle_ == -1 || !SupportedSpeed(baud)) return false;
    if (baud == baud_) return true;
    // The frame before a speed change still goes out at the old speed.
    Drain();
    return Configure(baud);
}

bool SerialPort::SetModemLines(bool dtr, bool rts) {
    if (handle_ == -1) return false;
    HANDLE h = Handle(handle_);
    const bool a = EscapeCommFunction(h, dtr ? SETDTR : CLRDTR) != 0;
    const bool b = EscapeCommFunction(h, rts ? SETRTS : CLRRTS) != 0;
    return a && b;
}

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD name_len = sizeof name;
        BYTE value[256];
        DWORD value_len = sizeof value - 1;
        DWORD type = 0;
        const LONG r = RegEnumValueA(key, i, name, &name_len, nullptr, &type, value, &value_len);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        value[std::min<DWORD>(value_len, sizeof value - 1)] = 0;
        std::string port(reinterpret_cast<const char*>(value));
        while (!port.empty() && port.back() == '\0') port.pop_back();
        if (!port.empty() && std::find(out.begin(), out.end(), port) == out.end()) out.push_back(port);
    }
    RegCloseKey(key);
    auto number = [](const std::string& p) { return p.size() > 3 ? std::atoi(p.c_str() + 3) : 0; };
    std::sort(out.begin(), out.end(), [&](const std::string& a, const std::string& b) {
        return number(a) != number(b) ? number(a) < number(b) : a < b;
    });
    return out;
}

}  // namespace sorvanto
