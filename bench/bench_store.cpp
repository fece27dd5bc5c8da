// Timings of the category store at 10,000 items: loading each category, one rewrite of a
// full index, and registrations in a batch. Peak memory is reported as the "peak_rss_kb"
// counter of each run.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "store/category_stores.h"

namespace {

using namespace sorvanto;
namespace stdfs = std::filesystem;

constexpr int kItems = 10000;

double PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss);
}

std::string Melody() {
    std::string chunks = std::string("titl\0\x08", 6) + "benchmel" + std::string("trac\0\0\0\x04\0\x90\x3C\x40", 12);
    std::string body = std::string("\0\0\x01\0\x01", 5) + chunks;
    std::string len(4, '\0');
    for (int i = 0; i < 4; ++i) len[static_cast<std::size_t>(i)] = static_cast<char>((body.size() >> (24 - 8 * i)) & 0xFF);
    return "melo" + len + body;
}

// A working folder with 10,000 items in every category, made once.
struct Home {
    stdfs::path dir;
    Home() {
        char tmpl[] = "/tmp/sorvanto-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        stdfs::current_path(dir);
        const std::string mld = Melody();
        const std::string jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
                               "\xFF\xC0\x00\x0B\x08\x00\x08\x00\x10\x01\x01\x11\x00\xFF\xD9", 33);
        std::string mel, pic, bmk, adr, in, out;
        for (auto* d : {"Melody", "Picture", "Address", "InMail", "OutMail", "MyPic"}) stdfs::create_directory(d);
        for (int i = 0; i < kItems; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%010X", i);
            const std::string item = "[Item" + std::to_string(i) + "]\r\n";
            fs::WriteFile(std::string("Melody\\") + name, mld);
            mel += item + "Title=benchmel\r\nByte=" + std::to_string(mld.size()) +
                   "\r\nComment=\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\nPath=Melody\\" + name + "\r\n";
            fs::WriteFile(std::string("Picture\\") + name, jpeg);
            pic += item + "Title=p\r\nByte=33\r\nSizeX=16\r\nSizeY=8\r\nType=1\r\nComment=\r\nSetTime=0\r\n"
                          "EntryTime=1057000000\r\nFlag=1\r\nPath=Picture\\" + name + "\r\n";
            bmk += item + "Title=b" + std::to_string(i) + "\r\nAddress=http://example.jp/" + std::to_string(i) +
                   "\r\nComment=\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\n";
            fs::WriteFile(std::string("Address\\") + name,
                          "[System]\r\nName=Name " + std::to_string(i) +
                              "\r\nKana=kana\r\nTelCnt=1\r\nTel0=CELL:09012345678\r\nTelIcon0=0000\r\nMailCnt=1\r\n"
                              "Mail0=INTERNET:a@example.jp\r\nMailIcon0=00\r\nAdrNo=\r\nAdr=\r\nNote=memo\r\n");
            adr += item + "File=Address\\" + name + "\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\n";
            const std::string mail = "from@example.jp\r\n\r\nsubject\r\n1056990000\r\n0\r\nbody of the mail\r\n";
            fs::WriteFile(std::string("InMail\\") + name, mail);
            fs::WriteFile(std::string("OutMail\\") + name, mail);
            in += item + "File=InMail\\" + name + "\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\nStatus=0\r\n";
            out += item + "File=OutMail\\" + name + "\r\nSetTime=0\r\nEntryTime=1057000000\r\nFlag=1\r\nStatus=1\r\n";
        }
        const std::string count = "[System]\r\nCount=" + std::to_string(kItems) + "\r\n";
        fs::WriteFile("mldfile.ini", count + mel);
        fs::WriteFile("picture.ini", count + pic);
        fs::WriteFile("MyPic.ini", count + "Dir=Picture\\\r\n" + pic);
        fs::WriteFile("bookmk.ini", count + bmk);
        fs::WriteFile("address.ini", count + adr);
        fs::WriteFile("inmail.ini", count + in);
        fs::WriteFile("outmail.ini", count + out);
        fs::WriteFile("entry.ini", "[System]\r\nName=new\r\nTelCnt=0\r\nMailCnt=0\r\n");
    }
    ~Home() {
        std::error_code ec;
        stdfs::remove_all(dir, ec);
    }
};

Home& TheHome() {
    static Home home;
    return home;
}

template <class Store, class... Args>
void LoadCategory(benchmark::State& state, Args... args) {
    TheHome();
    for (auto _ : state) {
        Store store(args...);
        store.Load();
        if (store.Count() != kItems) state.SkipWithError("not every item loaded");
        benchmark::DoNotOptimize(store.Count());
    }
    state.counters["peak_rss_kb"] = PeakRssKb();
}

void BM_LoadAddress(benchmark::State& s) { LoadCategory<AddressStore>(s); }
void BM_LoadMelody(benchmark::State& s) { LoadCategory<MelodyStore>(s); }
void BM_LoadPicture(benchmark::State& s) { LoadCategory<PictureStore>(s, Category::kPicture); }
void BM_LoadMyPic(benchmark::State& s) { LoadCategory<PictureStore>(s, Category::kMyPic); }
void BM_LoadBookmark(benchmark::State& s) { LoadCategory<BookmarkStore>(s); }
void BM_LoadInMail(benchmark::State& s) { LoadCategory<MailStore>(s, Category::kInMail); }
void BM_LoadOutMail(benchmark::State& s) { LoadCategory<MailStore>(s, Category::kOutMail); }

// One rewrite of a full index (what every change outside a batch costs).
void BM_RewriteIndex(benchmark::State& state) {
    TheHome();
    BookmarkStore store;
    store.Load();
    for (auto _ : state) benchmark::DoNotOptimize(store.WriteBack());
    state.counters["peak_rss_kb"] = PeakRssKb();
}

// A batch of registrations (copy, read back, index once) into an address book of 10,000.
void BM_BatchIntoFullAddressBook(benchmark::State& state) {
    TheHome();
    const int n = static_cast<int>(state.range(0));
    fs::CopyFile("address.ini", "address.ini.keep", true);
    for (auto _ : state) {
        state.PauseTiming();
        fs::CopyFile("address.ini.keep", "address.ini", true);
        AddressStore store;
        store.Load();
        state.ResumeTiming();
        {
            BatchScope batch(store);
            for (int i = 0; i < n; ++i) store.Register("entry.ini", 1);
        }
        state.PauseTiming();
        if (store.Count() != kItems + n) state.SkipWithError("registrations missing");
        const auto keys = store.Keys();
        for (std::size_t i = kItems; i < keys.size(); ++i) fs::DeleteFile(store.Find(keys[i])->path);
        state.ResumeTiming();
    }
    fs::CopyFile("address.ini.keep", "address.ini", true);
    state.counters["peak_rss_kb"] = PeakRssKb();
}

}  // namespace

BENCHMARK(BM_LoadAddress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMelody)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadMyPic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBookmark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadInMail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOutMail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RewriteIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchIntoFullAddressBook)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
