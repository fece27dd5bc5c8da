// The disk floor of an import: writes files of the same number and sizes as a reference tree
// (a store an import produced) into a fresh folder of the same file system, and prints the
// milliseconds it took. With --sync, one syncfs after the last file, as the store flushes a
// batch of new data files before its index names them. The bytes are read before the clock
// starts, so only the writing is timed.
//
//   disk_floor REFERENCE_DIR TARGET_DIR [--sync]
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fsys = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: disk_floor REFERENCE_DIR TARGET_DIR [--sync]\n");
        return 2;
    }
    const fsys::path reference = argv[1], target = argv[2];
    const bool sync = argc > 3 && std::string(argv[3]) == "--sync";
    struct File {
        fsys::path path;
        std::string bytes;
    };
    std::vector<fsys::path> folders;
    std::vector<File> files;
    for (const auto& e : fsys::recursive_directory_iterator(reference)) {
        const fsys::path rel = fsys::relative(e.path(), reference);
        if (e.is_directory()) {
            folders.push_back(target / rel);
        } else if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files.push_back({target / rel, std::string(std::istreambuf_iterator<char>(in), {})});
        }
    }
    std::error_code ec;
    fsys::create_directories(target, ec);
    const auto t0 = std::chrono::steady_clock::now();
    for (const auto& f : folders) fsys::create_directories(f, ec);
    for (const File& f : files) {
        const int fd = ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, f.bytes.data(), f.bytes.size()) != static_cast<ssize_t>(f.bytes.size())) {
            std::perror(f.path.c_str());
            return 1;
        }
        ::close(fd);
    }
    if (sync) {
        const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0) return 1;
        ::close(fd);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%zu files %.1f ms\n", files.size(), ms);
    return 0;
}
