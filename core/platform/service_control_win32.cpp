#include "platform/service_control.h"

#include <windows.h>

#include "platform/win32_text.h"

namespace sorvanto {

namespace {

// A service handle and its manager, both closed on leaving; null when either cannot be opened
// (no such service, or no right to it).
class OpenedService {
public:
    OpenedService(std::string_view name, DWORD access) {
        manager_ = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (manager_) service_ = ::OpenServiceW(manager_, win32::Widen(name, 932).c_str(), access);
    }
    ~OpenedService() {
        if (service_) ::CloseServiceHandle(service_);
        if (manager_) ::CloseServiceHandle(manager_);
    }
    OpenedService(const OpenedService&) = delete;
    OpenedService& operator=(const OpenedService&) = delete;
    SC_HANDLE get() const { return service_; }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

}  // namespace

bool ServiceControl::Exists(std::string_view name) { return OpenedService(name, SERVICE_QUERY_STATUS).get() != nullptr; }

// The stop control is sent and not waited for: the service lets go of the IrDA "OBEX" service
// while the program's server starts.
bool ServiceControl::StopIfRunning(std::string_view name) {
    OpenedService service(name, SERVICE_QUERY_STATUS | SERVICE_STOP);
    if (!service.get()) return false;
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service.get(), &status) || status.dwCurrentState == SERVICE_STOPPED) return false;
    return ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status) != 0;
}

bool ServiceControl::Start(std::string_view name) {
    OpenedService service(name, SERVICE_START);
    return service.get() && ::StartServiceW(service.get(), 0, nullptr) != 0;
}

}  // namespace sorvanto
