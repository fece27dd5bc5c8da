#include "platform/os_version.h"

#include <mutex>

namespace sorvanto {

namespace {
struct Version {
    int code = 0;
    int family = 0;
};

std::mutex g_mutex;
Version g_version;

// Every system this build runs on gives the program its own link (no system infrared monitor
// owns the service), which is what the NT family stood for.
Version AskSystem() { return {7, OsVersion::kFamilyNt}; }

Version Current() {
    std::lock_guard lock(g_mutex);
    if (g_version.code == 0) g_version = AskSystem();
    return g_version;
}
}  // namespace

int OsVersion::Code() { return Current().code; }
int OsVersion::Family() { return Current().family; }

void OsVersion::SetForTesting(int code, int family) {
    std::lock_guard lock(g_mutex);
    g_version = {code, family};
}

}  // namespace sorvanto
