#include "platform/fs.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <random>
#include <unistd.h>

namespace sorvanto::fs {

namespace stdfs = std::filesystem;

// The native form as a plain string: the system calls below take it as it is, without the
// cost of a path object that takes itself apart into components (once per new data file).
static std::string PosixPath(std::string_view stored) {
    std::string s(stored);
    if (!s.empty() && s[0] == '/') return s;  // already native and absolute
    for (char& c : s)
        if (c == '\\') c = '/';
    std::size_t skip = 0;
    while (s.size() - skip >= 2 && s[skip] == '.' && s[skip + 1] == '/') skip += 2;
    s.erase(0, skip);
    return s;
}

stdfs::path NativePath(std::string_view stored) { return stdfs::path(PosixPath(stored)); }

std::FILE* OpenFile(std::string_view stored, const char* mode) {
    return std::fopen(PosixPath(stored).c_str(), mode);
}

bool MoveFile(std::string_view from, std::string_view to) {
    const auto src = PosixPath(from);
    const auto dst = PosixPath(to);
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

NewFile CreateNewFile(std::string_view stored, std::string_view bytes) {
    const auto path = PosixPath(stored);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? NewFile::kTaken : NewFile::kFailed;
    bool ok = WriteAll(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    if (ok) return NewFile::kCreated;
    ::unlink(path.c_str());
    return NewFile::kFailed;
}

// Writes bytes under a temporary name beside the target, lets flush put them on the disk
// (given the open descriptor), and renames the file over the target.
template <class Flush>
static bool WriteThroughTemp(std::string_view stored, std::string_view bytes, Flush flush) {
    const auto target = PosixPath(stored);
    static thread_local std::mt19937 rng{std::random_device{}()};
    auto tmp = target;
    tmp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(rng());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && flush(fd);
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

bool WriteFileAtomic(std::string_view stored, std::string_view bytes) {
    return WriteThroughTemp(stored, bytes, [](int fd) { return ::fsync(fd) == 0; });
}

bool WriteFileRenamed(std::string_view stored, std::string_view bytes) {
    return WriteThroughTemp(stored, bytes, [](int) { return true; });
}

static int OpenFolder(std::string_view folder) {
    return ::open(PosixPath(folder.empty() ? std::string_view(".") : folder).c_str(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// One syncfs covers every file of the folder's file system, so the list is not needed here.
bool FlushFiles(std::string_view folder, const std::vector<std::string>&) {
    const int fd = OpenFolder(folder);
    if (fd < 0) return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

bool WriteFileAtomicWithFiles(std::string_view stored, std::string_view bytes, std::string_view folder,
                              const std::vector<std::string>&) {
    return WriteThroughTemp(stored, bytes, [folder](int fd) {
        const int dir = OpenFolder(folder);
        if (dir < 0) return false;
        // The syncfs takes the new file along when it lies on the folder's file system, as it
        // does unless a mount sits in between; otherwise it has a flush of its own.
        struct stat file_stat {}, dir_stat {};
        bool ok = ::syncfs(dir) == 0 && ::fstat(fd, &file_stat) == 0 && ::fstat(dir, &dir_stat) == 0 &&
                  (file_stat.st_dev == dir_stat.st_dev || ::fsync(fd) == 0);
        ::close(dir);
        return ok;
    });
}

}  // namespace sorvanto::fs
