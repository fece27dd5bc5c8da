// The search over the 70,000-item benchmark store (bench/make_bench_data.py store DIR 10000):
// the first keystroke folds every category, each later keystroke scans the folded texts. And
// the duplicate scan of the 10,000 address entries, which reads every entry file.
//
// SORVANTO_BENCH_STORE names a store made beforehand; without it one is made in /tmp.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/sjis.h"
#include "search/duplicate_finder.h"
#include "search/search_index.h"

namespace {

using namespace sorvanto;
namespace stdfs = std::filesystem;

// The stores of the benchmark folder, loaded once.
struct Store {
    CategoryStores stores;
    Store() {
        std::string dir;
        if (const char* given = std::getenv("SORVANTO_BENCH_STORE")) {
            dir = given;
        } else {
            char tmpl[] = "/tmp/sorvanto-bench-search-XXXXXX";
            dir = ::mkdtemp(tmpl);
            const std::string make = std::string("python3 " SORVANTO_SOURCE_DIR "/bench/make_bench_data.py store ") +
                                     dir + " 10000";
            if (std::system(make.c_str()) != 0) std::abort();
        }
        stdfs::current_path(dir);
        stores.LoadAll();
    }
};

Store& Shared() {
    static Store store;
    return store;
}

// What a person types, one keystroke after another: a name, a number written with hyphens, a
// word of every mail body, and a text that is nowhere.
const char* const kTyped[] = {"山田01234", "090-0000-12", "本文です", "zzzzzzz"};

void BM_SearchFirstKeystroke(benchmark::State& state) {
    Store& s = Shared();
    for (auto _ : state) {
        SearchIndex index(StoreRefs::Of(s.stores));
        benchmark::DoNotOptimize(index.Find(sjis::Lit("山")));
    }
}
BENCHMARK(BM_SearchFirstKeystroke)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke after the first: each iteration is one keystroke, the typed text growing by a
// character (and starting again when it is whole), the whole store searched each time.
void BM_SearchKeystroke(benchmark::State& state) {
    Store& s = Shared();
    SearchIndex index(StoreRefs::Of(s.stores));
    index.Refresh();
    const std::string typed = sjis::Lit(kTyped[state.range(0)]);
    std::vector<std::string> prefixes;
    for (std::size_t n = 1; n <= typed.size(); ++n)
        if (!(sjis::IsLeadByte(static_cast<unsigned char>(typed[n - 1])) && n < typed.size() &&
              sjis::CutBytes(typed, n).size() != n))
            prefixes.push_back(typed.substr(0, n));
    std::size_t next = 0, hits = 0;
    for (auto _ : state) {
        hits = index.Find(prefixes[next]).size();
        next = (next + 1) % prefixes.size();
    }
    state.SetLabel(kTyped[state.range(0)]);
    state.counters["keystrokes"] = static_cast<double>(prefixes.size());
    state.counters["hits_whole"] = static_cast<double>(index.Find(typed).size());
    benchmark::DoNotOptimize(hits);
}
BENCHMARK(BM_SearchKeystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_DuplicateScanAddresses(benchmark::State& state) {
    Store& s = Shared();
    for (auto _ : state) benchmark::DoNotOptimize(DuplicateFinder::Addresses(s.stores.address));
    state.counters["entries"] = s.stores.address.Count();
}
BENCHMARK(BM_DuplicateScanAddresses)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
