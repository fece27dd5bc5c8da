// The cost of one player tick with every track and slot busy, and the lateness of the real
// 5 ms timer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "melody/mld_player.h"
#include "platform/periodic_timer.h"

namespace {

using namespace sorvanto;

class CountingOut : public MidiOut {
public:
    void Send(const MidiMessage& m) override { sum_ += m.data1; }
    void Silence() override {}
    std::uint64_t sum_ = 0;
};

std::string Be(std::uint32_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

// 16 tracks; at the fastest tempo every delta of 1 is due on the next period. Each run sounds
// a five-note chord on every part of its track, so all 64 slots stay busy.
std::string BusyMelody() {
    std::string tracks;
    for (int t = 0; t < 16; ++t) {
        std::string ev = std::string("\0\xFF\xCE\xFF", 4);  // timebase 960 x tempo 255
        while (ev.size() + 20 * 3 < 11500 / 16) {
            for (int part = 0; part < 4; ++part)
                for (int k = 0; k < 5; ++k) {
                    const bool first = part == 0 && k == 0;
                    ev += std::string{static_cast<char>(first ? 1 : 0), static_cast<char>((part << 6) | (k * 3 + t % 7)),
                                      static_cast<char>(200)};
                }
        }
        tracks += "trac" + Be(static_cast<std::uint32_t>(ev.size()), 4) + ev;
    }
    const std::string rest = Be(3, 2) + std::string("\x01\x00\x10", 3) + tracks;
    return "melo" + Be(static_cast<std::uint32_t>(rest.size()), 4) + rest;
}

void BM_TickBusy(benchmark::State& state) {
    auto out = std::make_shared<CountingOut>();
    MldPlayer player(MldPlayer::Options{[out](std::string*) { return out; }, false});
    player.Melody().Parse(BusyMelody());
    player.Play();
    for (auto _ : state) {
        player.Tick();
        if (player.Finished()) {
            state.PauseTiming();
            player.Stop();
            player.Play();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(out->sum_);
}
BENCHMARK(BM_TickBusy);

void BM_TimerLateness(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        std::vector<Clock::time_point> calls;
        calls.reserve(2100);
        PeriodicTimer timer;
        timer.Start(std::chrono::milliseconds(5), [&calls] { calls.push_back(Clock::now()); });
        std::this_thread::sleep_for(std::chrono::seconds(10));
        timer.Stop();
        // The schedule is start + k x 5 ms; the start is taken from the call that came closest.
        const auto period = std::chrono::milliseconds(5);
        Clock::time_point start = calls.front();
        for (std::size_t k = 0; k < calls.size(); ++k) start = std::min(start, Clock::time_point(calls[k] - static_cast<long>(k) * period));
        std::vector<double> late_us;
        for (std::size_t k = 0; k < calls.size(); ++k)
            late_us.push_back(std::chrono::duration<double, std::micro>(calls[k] - (start + static_cast<long>(k) * period)).count());
        std::sort(late_us.begin(), late_us.end());
        state.counters["calls"] = static_cast<double>(calls.size());
        state.counters["median_us"] = late_us[late_us.size() / 2];
        state.counters["p99_us"] = late_us[late_us.size() * 99 / 100];
        state.counters["max_us"] = late_us.back();
    }
}
BENCHMARK(BM_TimerLateness)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
