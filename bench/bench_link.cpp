// One 1 MB object over loopback TCP: pushed by the handset emulator into the OBEX server, and
// put by the PUT client into the emulator. Reports bytes per second and the cost per packet.
#include <benchmark/benchmark.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "common/locked_list.h"
#include "irlink/cancel_flag_monitor.h"
#include "irlink/obex_put_client.h"
#include "irlink/obex_server_session.h"
#include "platform/link_api.h"
#include "support/process.h"

namespace {

namespace stdfs = std::filesystem;
constexpr std::size_t kObjectSize = 1 << 20;

using sorvanto::test::FreePort;

// The emulator, its output thrown away. Its end is waited for with a blocking waitpid, not the
// polling WaitExit, so that no poll interval lands inside a timed push.
pid_t Spawn(std::vector<std::string> args) {
    args.insert(args.begin(), SORVANTO_HANDSET);
    return sorvanto::test::Spawn(args, "/dev/null");
}

// A scratch working folder with the link settings and a 1 MB object.
struct Scratch {
    int pc_port = FreePort();
    int handset_port = FreePort();
    Scratch() {
        const stdfs::path dir = stdfs::temp_directory_path() / ("sorvanto-bench-link-" + std::to_string(::getpid()));
        stdfs::create_directories(dir);
        stdfs::current_path(dir);
        std::ofstream("Sorvanto.ini", std::ios::binary) << "[Link]\r\nListenPort=" << pc_port
                                                        << "\r\nPeers=Handset@127.0.0.1:" << handset_port << "\r\n";
        std::string body(kObjectSize, '\0');
        for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 131 + 7);
        std::ofstream("object.bin", std::ios::binary) << body;
    }
};

class FileJob : public sorvanto::ObexPutClient {
public:
    FileJob() : ObexPutClient(2, 0) {}
    int SendObject(const std::string* path, const std::string* name, sorvanto::TransferMonitor* monitor) override {
        if (!SetObjectName(*name) || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

void BM_PushIntoServer(benchmark::State& state) {
    Scratch scratch;
    const int packet_size = static_cast<int>(state.range(0));
    sorvanto::ByteList queue;
    sorvanto::ObexServerSession server(sorvanto::MakeConfiguredLink(), &queue);
    if (server.OpenServer() != 0 || server.StartWorker() != 1) {
        state.SkipWithError("server did not start");
        return;
    }
    for (auto _ : state) {
        const pid_t pid = Spawn({"push", "object.bin", "--to", "127.0.0.1:" + std::to_string(scratch.pc_port),
                                 "--packet-size", std::to_string(packet_size)});
        int status = 0;
        ::waitpid(pid, &status, 0);
        while (queue.Count() == 0) std::this_thread::yield();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("push failed");
        state.PauseTiming();
        stdfs::remove_all("TmpFiles");
        queue.Clear();
        state.ResumeTiming();
    }
    server.Stop(1);
    const double packets = static_cast<double>(kObjectSize) / (packet_size - 6) + 3;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kObjectSize));
    state.counters["per_packet"] = benchmark::Counter(packets, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PushIntoServer)->Arg(1024)->Arg(8192)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PutIntoEmulator(benchmark::State& state) {
    Scratch scratch;
    const pid_t pid = Spawn({"serve", "--listen", "127.0.0.1:" + std::to_string(scratch.handset_port), "--out", "out"});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string path = "object.bin", name = "bench.bin";
    for (auto _ : state) {
        FileJob job;
        sorvanto::CancelFlagMonitor monitor(std::chrono::seconds(60));
        if (job.SendObject(&path, &name, &monitor) != 0) state.SkipWithError("put failed");
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const double packets = static_cast<double>(kObjectSize) / 506 + 4;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kObjectSize));
    state.counters["per_packet"] = benchmark::Counter(packets, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PutIntoEmulator)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
