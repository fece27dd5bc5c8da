// The search bar's filter on the 70,000-item benchmark store (bench/make_bench_data.py store DIR
// 10000) in the real lists: one keystroke = the search and the hiding or showing of the current
// tab's 10,000 rows, with the events it causes processed. SORVANTO_BENCH_STORE names a store made
// beforehand; without it one is made in /tmp.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/search_bar.h"
#include "app/select_view.h"
#include "common/settings_file.h"

namespace {

using namespace sorvanto;

struct Window {
    QMenuBar bar;
    std::unique_ptr<CSelectView> view;
    Window() {
        std::string dir;
        if (const char* given = std::getenv("SORVANTO_BENCH_STORE")) {
            dir = given;
        } else {
            char tmpl[] = "/tmp/sorvanto-bench-bar-XXXXXX";
            dir = ::mkdtemp(tmpl);
            const std::string make = std::string("python3 " SORVANTO_SOURCE_DIR "/bench/make_bench_data.py store ") +
                                     dir + " 10000";
            if (std::system(make.c_str()) != 0) std::abort();
        }
        std::filesystem::current_path(dir);
        SettingsFile::Reset();
        view = std::make_unique<CSelectView>([] { return 1; }, &bar, nullptr);
        view->resize(900, 500);
        view->BuildTabs();
        view->SelectTab(5);  // the address book
        view->show();
        // As the window stands a moment after start-up: every list loaded, the store folded
        // once by a first keystroke (bench_search measures that one on its own).
        view->LoadAll();
        view->ShowSearchBar();
        QApplication::processEvents();
        view->SearchBar()->Text()->setText(QStringLiteral("x"));
        QApplication::processEvents();
        view->SearchBar()->Text()->clear();
        QApplication::processEvents();
    }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Window> g_window;

// Typing "山田01234" into the bar, a keystroke per iteration, starting again when it is whole.
void BM_SearchBarKeystroke(benchmark::State& state) {
    if (!g_window) g_window = std::make_unique<Window>();
    QLineEdit* text = g_window->view->SearchBar()->Text();
    const QString typed = QString::fromUtf8(state.range(0) == 0 ? "山田01234" : "090-0000-12");
    int n = 0;
    for (auto _ : state) {
        n = n % static_cast<int>(typed.size()) + 1;
        text->setText(typed.left(n));
        QApplication::processEvents();
    }
    state.SetLabel(typed.toStdString());
}
BENCHMARK(BM_SearchBarKeystroke)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
