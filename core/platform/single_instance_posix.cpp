#include "platform/single_instance.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sorvanto {

SingleInstance::SingleInstance(const std::string& name) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    const std::string base = (dir && *dir) ? dir : "/tmp";
    const std::string path = base + "/" + name + "-" + std::to_string(::getuid()) + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    handle_ = fd;
    first_ = true;
}

SingleInstance::~SingleInstance() {
    if (handle_ >= 0) {
        ::flock(static_cast<int>(handle_), LOCK_UN);
        ::close(static_cast<int>(handle_));
    }
}

}  // namespace sorvanto
