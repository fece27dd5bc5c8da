#include "platform/fs.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvanto::fs {

namespace stdfs = std::filesystem;

stdfs::path NativePath(std::string_view stored) {
    std::string s(stored);
    if (!s.empty() && s[0] == '/') return stdfs::path(s);  // already native and absolute
    for (char& c : s)
        if (c == '\\') c = '/';
    while (s.size() >= 2 && s[0] == '.' && s[1] == '/') s.erase(0, 2);
    return stdfs::path(s);
}

bool Exists(std::string_view stored) {
    std::error_code ec;
    return stdfs::exists(NativePath(stored), ec);
}

bool IsDirectory(std::string_view stored) {
    std::error_code ec;
    return stdfs::is_directory(NativePath(stored), ec);
}

std::int64_t FileSize(std::string_view stored) {
    struct stat st {};
    if (::stat(NativePath(stored).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool CopyFile(std::string_view from, std::string_view to, bool overwrite) {
    std::error_code ec;
    const auto src = NativePath(from);
    const auto dst = NativePath(to);
    if (!stdfs::is_regular_file(src, ec)) return false;
    if (!overwrite && stdfs::exists(dst, ec)) return false;
    if (stdfs::equivalent(src, dst, ec)) return true;
    // Copy through a temporary name so that a failed copy never leaves half a target.
    auto bytes = ReadFile(from);
    if (!bytes) return false;
    return WriteFileAtomic(to, *bytes);
}

bool MoveFile(std::string_view from, std::string_view to) {
    const auto src = NativePath(from);
    const auto dst = NativePath(to);
    // A hard link fails when the target exists, which gives the no-replace rename atomically.
    if (::link(src.c_str(), dst.c_str()) == 0) {
        ::unlink(src.c_str());
        return true;
    }
    if (errno == EEXIST) return false;
    std::error_code ec;
    if (stdfs::exists(dst, ec)) return false;
    stdfs::rename(src, dst, ec);
    return !ec;
}

bool DeleteFile(std::string_view stored) {
    std::error_code ec;
    const auto p = NativePath(stored);
    stdfs::remove(p, ec);
    return !stdfs::exists(p, ec);
}

bool CreateFolder(std::string_view stored) {
    std::string s(stored);
    while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    if (s.empty() || s == ".") return true;
    const auto p = NativePath(s);
    if (::mkdir(p.c_str(), 0755) == 0) return true;
    std::error_code ec;
    return errno == EEXIST && stdfs::is_directory(p, ec);
}

bool DeleteEmptyFolder(std::string_view stored) {
    std::string s(stored);
    while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    if (s.empty() || s == ".") return false;
    return ::rmdir(NativePath(s).c_str()) == 0;
}

std::optional<std::string> ReadFile(std::string_view stored, std::size_t max_bytes) {
    FILE* f = std::fopen(NativePath(stored).c_str(), "rb");
    if (!f) return std::nullopt;
    std::string out;
    char buf[65536];
    while (out.size() < max_bytes) {
        const std::size_t want = std::min(sizeof buf, max_bytes - out.size());
        const std::size_t got = std::fread(buf, 1, want, f);
        out.append(buf, got);
        if (got < want) break;
    }
    std::fclose(f);
    return out;
}

static bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteFileAtomic(std::string_view stored, std::string_view bytes) {
    const auto target = NativePath(stored);
    static thread_local std::mt19937 rng{std::random_device{}()};
    auto tmp = target;
    tmp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(rng());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

static bool WriteMode(std::string_view stored, std::string_view bytes, const char* mode) {
    FILE* f = std::fopen(NativePath(stored).c_str(), mode);
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && ok;
}

bool WriteFile(std::string_view stored, std::string_view bytes) { return WriteMode(stored, bytes, "wb"); }
bool AppendFile(std::string_view stored, std::string_view bytes) { return WriteMode(stored, bytes, "ab"); }

}  // namespace sorvanto::fs
