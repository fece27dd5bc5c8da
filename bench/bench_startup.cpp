// Time to the first window over a store of 10,000 items in each of the seven categories (index
// and data files as the program writes them, made by make_bench_data.py):
// - BM_FirstWindow: in this process, the application's start as `sorvanto` runs it (working
//   folder, settings, document, main window shown with the list of its first tab, server
//   listening) up to the first paint of the window; the counter all_lists_loaded_ms is the
//   mean time until the other lists, which load after that paint, are whole too.
// - BM_ProgramUntilListening: the real program started offscreen until its server accepts
//   connections, which it opens once the tabs are built and the first list is loaded; includes
//   process and Qt start-up. Its counters are the program's peak memory (VmHWM) then, and once
//   it has gone idle with every list loaded (no CPU time used for half a second).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/main_frame.h"
#include "app/select_view.h"
#include "app/sorvanto_app.h"
#include "store/category_store_base.h"
#include "support/process.h"

extern char** environ;

namespace {

namespace fsys = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kItems = 10000;

fsys::path g_home;
int g_port = 0;

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

// The peak resident size of a process in kB, from /proc.
long PeakKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// User plus system clock ticks a process has used, from /proc.
long long CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    const auto close = all.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(all.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoll(field);
        if (i == 15) stime = std::stoll(field);
    }
    return utime + stime;
}

// Waits until the process has used no CPU time for half a second (at most 30 s).
void WaitIdle(pid_t pid) {
    const auto until = Clock::now() + std::chrono::seconds(30);
    long long last = CpuTicks(pid);
    int still = 0;
    while (still < 5 && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long long now = CpuTicks(pid);
        still = now == last ? still + 1 : 0;
        last = now;
    }
}

// The store, and settings for model 2 (all seven tabs) listening on a port of its own. The
// placement keys keep the window's size the same in every run.
bool MakeHome() {
    g_home = fsys::temp_directory_path() / ("sorvanto-bench-startup-" + std::to_string(::getpid()));
    fsys::create_directories(g_home);
    fsys::permissions(g_home, fsys::perms::owner_all);  // also the runtime folder: 0700
    const std::string cmd = "python3 '" SORVANTO_SOURCE_DIR "/bench/make_bench_data.py' store '" + g_home.string() +
                            "' " + std::to_string(kItems);
    if (std::system(cmd.c_str()) != 0) return false;
    g_port = sorvanto::test::FreePort();
    std::ofstream ini(g_home / "Sorvanto.ini", std::ios::binary);
    ini << "[System]\r\nModel=2\r\nIrMode=1\r\nWinSizeX=900\r\nWinSizeY=640\r\n[Link]\r\nListenAddress=127.0.0.1\r\n"
        << "ListenPort=" << g_port << "\r\nPeers=Handset@127.0.0.1:" << sorvanto::test::FreePort() << "\r\n";
    return static_cast<bool>(ini);
}

void BM_FirstWindow(benchmark::State& state) {
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    double all_loaded_ms = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            sorvanto::CSorvantoApp program(*app);
            if (!program.InitInstance()) {
                state.SkipWithError("the program did not start");
                return;
            }
            // The first paint happens in the event loop, after StartUp.
            QApplication::processEvents();
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
            // The other lists load after the first paint; how long until every one is whole.
            program.MainFrame()->SelectView()->LoadAll();
            all_loaded_ms += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            ++runs;
            // A figure over an empty store would say nothing.
            for (const auto& tab : sorvanto::CSelectView::Tabs()) {
                auto* page = program.MainFrame()->SelectView()->PageOf(tab.category);
                if (!page || page->Store().Count() != kItems) {
                    state.SkipWithError("the store did not load its 10,000 items");
                    return;
                }
            }
        }  // the lists write their indexes back here, outside the figure
        QApplication::processEvents();
    }
    if (runs > 0) state.counters["all_lists_loaded_ms"] = all_loaded_ms / runs;
}
BENCHMARK(BM_FirstWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ProgramUntilListening(benchmark::State& state) {
    long peak_listening = 0, peak_idle = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        std::string exe = SORVANTO_PROGRAM;
        char* argv[] = {exe.data(), nullptr};
        pid_t pid = -1;
        if (::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the program");
            return;
        }
        bool up = false;
        while (!(up = Accepts(g_port)) && Clock::now() - t0 < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        peak_listening = std::max(peak_listening, PeakKb(pid));
        if (up) {
            WaitIdle(pid);
            peak_idle = std::max(peak_idle, PeakKb(pid));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        if (!up) {
            state.SkipWithError("the program did not listen");
            return;
        }
    }
    state.counters["peak_mb_listening"] = peak_listening / 1024.0;
    state.counters["peak_mb_all_lists"] = peak_idle / 1024.0;
}
BENCHMARK(BM_ProgramUntilListening)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!MakeHome()) return 1;
    // Both the in-process start and the child program find the store through these; the
    // runtime folder keeps the single-instance lock away from a running copy.
    ::setenv("SORVANTO_HOME", g_home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", g_home.c_str(), 1);
    {
        QApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    std::error_code ec;
    fsys::remove_all(g_home, ec);
    return 0;
}
