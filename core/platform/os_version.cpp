#include "platform/os_version.h"

#include <mutex>

namespace sorvanto {

namespace {
using Version = OsVersion::Answer;

std::mutex g_mutex;
Version g_version;

Version AskSystem() { return OsVersion::FromSystem(); }

Version Current() {
    std::lock_guard lock(g_mutex);
    if (g_version.code == 0) g_version = AskSystem();
    return g_version;
}
}  // namespace

int OsVersion::Code() { return Current().code; }
int OsVersion::Family() { return Current().family; }

OsVersion::Answer OsVersion::FromWindowsVersion(int platform_id, int major, int minor) {
    switch (platform_id) {
    case 0: return {1, 1};
    case 1: return {minor == 0 ? 3 : 4, 2};
    case 2:
        if (major == 3) return {2, kFamilyNt};
        if (major == 4) return {5, kFamilyNt};
        if (major == 5) return {6, kFamilyNt};
        return {7, kFamilyNt};
    default: return {};
    }
}

void OsVersion::SetForTesting(int code, int family) {
    std::lock_guard lock(g_mutex);
    g_version = {code, family};
}

}  // namespace sorvanto
