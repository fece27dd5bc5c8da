// Header-click sort of a 10,000-row list: the pure ordering, and the list control with its view.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include <QApplication>

#include "controls/ctn_list_ctrl.h"
#include "controls/list_sort.h"

namespace {

constexpr int kRows = 10000;

// Titles as the lists hold them: Shift_JIS kana and ASCII, and "%04d/%02d/%02d %02d:%02d" dates.
std::vector<std::string> MakeCells(unsigned seed, bool dates) {
    std::mt19937 random(seed);
    std::vector<std::string> cells;
    for (int i = 0; i < kRows; ++i) {
        std::string s;
        if (dates) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d", 2000 + int(random() % 5), int(random() % 12 + 1),
                          int(random() % 28 + 1), int(random() % 24), int(random() % 60));
            s = buf;
        } else {
            const int length = 4 + int(random() % 12);
            for (int k = 0; k < length; ++k) {
                if (random() % 3 == 0) {
                    s.push_back(char('A' + random() % 26));
                } else {
                    s.push_back('\x83');
                    s.push_back(char(0x40 + random() % 0x56));
                }
            }
        }
        cells.push_back(std::move(s));
    }
    return cells;
}

void BM_SortOrder(benchmark::State& state) {
    const auto cells = MakeCells(1, false);
    std::vector<const std::string*> pointers;
    for (const auto& c : cells) pointers.push_back(&c);
    for (auto _ : state) benchmark::DoNotOptimize(sorvanto::list_sort::SortOrder(pointers));
}
BENCHMARK(BM_SortOrder)->Unit(benchmark::kMillisecond);

void BM_ListCtrlColumnSort(benchmark::State& state) {
    sorvanto::CtnListCtrl list(nullptr, sorvanto::CtnListCtrl::Selection::kMultiple);
    list.InsertColumn(0, QStringLiteral("タイトル"), sorvanto::ellipsis_fit::Alignment::kLeft, 200);
    list.InsertColumn(1, QStringLiteral("日時"), sorvanto::ellipsis_fit::Alignment::kLeft, 140);
    const auto titles = MakeCells(2, false);
    const auto dates = MakeCells(3, true);
    for (int i = 0; i < kRows; ++i) {
        list.InsertRow(i, titles[std::size_t(i)]);
        list.SetItemText(i, 1, dates[std::size_t(i)]);
    }
    list.resize(400, 600);
    list.show();
    QApplication::processEvents();
    list.SelectRow(5000);
    int column = 0;
    for (auto _ : state) {
        // Alternate the columns so that every pass is a real reordering, not the descending flip.
        list.SortByColumn(column);
        column = 1 - column;
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ListCtrlColumnSort)->Unit(benchmark::kMillisecond);

void BM_ListCtrlFill(benchmark::State& state) {
    const auto titles = MakeCells(4, false);
    for (auto _ : state) {
        sorvanto::CtnListCtrl list;
        list.InsertColumn(0, QStringLiteral("タイトル"), sorvanto::ellipsis_fit::Alignment::kLeft, 200);
        for (int i = 0; i < kRows; ++i) list.InsertRow(i, titles[std::size_t(i)]);
    }
}
BENCHMARK(BM_ListCtrlFill)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
