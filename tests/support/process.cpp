#include "support/process.h"

#include <chrono>
#include <random>
#include <thread>

#include "platform/net_socket.h"
#include "support/temp_home.h"

namespace sorvanto::test {

namespace {
std::uint32_t Loopback() {
    std::uint32_t ip = 0;
    net::ResolveIpv4("127.0.0.1", &ip);
    return ip;
}
}  // namespace

int FreePort() {
    const net::Fd s = net::TcpSocket();
    net::Bind(s, Loopback(), 0);
    const int port = net::LocalPort(s);
    net::Close(s);
    return port;
}

bool WaitForListener(int port, int timeout_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        const net::Fd s = net::TcpSocket();
        const bool up = net::Connect(s, Loopback(), port) == 1;
        net::Close(s);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

Pid Spawn(const std::vector<std::string>& argv, const std::filesystem::path& stdout_file,
          const std::filesystem::path& stderr_file) {
    return StartProcess(argv, stdout_file, stderr_file);
}

int WaitExit(Pid pid, int timeout_ms) {
    if (pid <= 0) return -1;
    if (const auto code = WaitProcess(pid, timeout_ms)) return *code;
    KillProcess(pid);
    return -1;
}

RunResult Run(const std::vector<std::string>& argv, int timeout_ms) {
    static std::mt19937 rng{std::random_device{}()};
    const auto base = ScratchRoot() / ("sorvanto-run-" + std::to_string(rng()));
    const auto out = base.string() + ".out";
    const auto err = base.string() + ".err";
    RunResult r;
    r.exit_code = WaitExit(Spawn(argv, out, err), timeout_ms);
    r.out = ReadFileBytes(out);
    r.err = ReadFileBytes(err);
    std::error_code ec;
    std::filesystem::remove(out, ec);
    std::filesystem::remove(err, ec);
    return r;
}

}  // namespace sorvanto::test
