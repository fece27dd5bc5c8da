#include "platform/single_instance.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace sorvanto {

// The named mutex of the session: a second copy finds it there (ERROR_ALREADY_EXISTS) and
// ends. The mutex goes with the last handle, so a crashed copy leaves nothing behind.
SingleInstance::SingleInstance(const std::string& name) {
    const HANDLE h = ::CreateMutexW(nullptr, FALSE, win32::Widen(name, 932).c_str());
    if (!h) return;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(h);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    first_ = true;
}

SingleInstance::~SingleInstance() {
    if (first_) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace sorvanto
