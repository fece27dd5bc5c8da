#include "platform/fs.h"

#include <algorithm>
#include <cstdio>

namespace sorvanto::fs {

namespace stdfs = std::filesystem;

stdfs::path Utf8Path(std::string_view utf8) {
    try {
        return stdfs::path(std::u8string_view(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
    } catch (const std::exception&) {
        // Not UTF-8 after all (only Windows converts, and throws): the bytes as they are.
        return stdfs::path(std::string(utf8));
    }
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
    // The size of a regular file lets its bytes go into one buffer of the right size, instead
    // of one that grows (and is copied and faulted in anew) while the file is read.
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) size = -1;
    if (size > 0 && size <= (64L << 20)) {  // a bigger one grows as its bytes come
        out.resize(std::min(static_cast<std::size_t>(size), max_bytes));
        out.resize(std::fread(out.data(), 1, out.size(), f));
        if (out.size() < static_cast<std::size_t>(size)) {  // cut by max_bytes, or shorter than it was
            std::fclose(f);
            return out;
        }
    }
    char buf[65536];
    while (out.size() < max_bytes) {  // a file that has grown, or one without a size
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
