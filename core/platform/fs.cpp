#include "platform/fs.h"

#include <algorithm>
#include <cstdio>

namespace sorvanto::fs {

namespace stdfs = std::filesystem;

bool Exists(std::string_view stored) {
    std::error_code ec;
    return stdfs::exists(NativePath(stored), ec);
}

bool IsDirectory(std::string_view stored) {
    std::error_code ec;
    return stdfs::is_directory(NativePath(stored), ec);
}

std::int64_t FileSize(std::string_view stored) {
    std::error_code ec;
    const auto p = NativePath(stored);
    if (!stdfs::is_regular_file(p, ec)) return -1;
    const auto size = stdfs::file_size(p, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
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
    std::error_code ec;
    stdfs::create_directory(p, ec);
    return stdfs::is_directory(p, ec);
}

bool DeleteEmptyFolder(std::string_view stored) {
    std::string s(stored);
    while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    if (s.empty() || s == ".") return false;
    // remove() takes a folder only when it is empty, as rmdir does.
    const auto p = NativePath(s);
    std::error_code ec;
    if (!stdfs::is_directory(p, ec)) return false;
    return stdfs::remove(p, ec) && !ec;
}

std::optional<std::string> ReadFile(std::string_view stored, std::size_t max_bytes) {
    FILE* f = OpenFile(stored, "rb");
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

static bool WriteMode(std::string_view stored, std::string_view bytes, const char* mode) {
    FILE* f = OpenFile(stored, mode);
    if (!f) return false;
    // The bytes are already whole in memory: unbuffered, they go out in one write, and the
    // stream does not ask the file system for a buffer size first (thousands of small files
    // are written in a batch).
    std::setvbuf(f, nullptr, _IONBF, 0);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return (std::fclose(f) == 0) && ok;
}

bool WriteFile(std::string_view stored, std::string_view bytes) { return WriteMode(stored, bytes, "wb"); }
bool AppendFile(std::string_view stored, std::string_view bytes) { return WriteMode(stored, bytes, "ab"); }

}  // namespace sorvanto::fs
