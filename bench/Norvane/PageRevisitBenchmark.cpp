// A day of use of the main window over a portfolio of three years of history: 15 rounds, each
// through six project pages, every one drawn with its values and its charts, and the portfolio
// page, settled at All Time and then at 30 Days. Goal: at most 120 MB resident after the 15 rounds
// ("resident_MB"), next to the first start's figure of norvane_app_startup_benchmark; "start_MB" is
// what the process held before the first round and "peak_MB" the most it held until the end. The
// pages read the store on the thread pool's threads, and what they free must not stay with the
// allocator. Run a Release build:
// NORVANE_BENCH_PORTFOLIO=commits build/release/bin/norvane_page_revisit_benchmark
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "bench/Norvane/ApplicationLoop.h"
#include "bench/Norvane/SampleHome.h"
#include "bench/support/ResidentMemory.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <vector>

namespace norvane::app {
namespace {

constexpr int rounds = 15;
constexpr std::size_t projectsVisited = 6;

/// Shows the portfolio page and lets it settle at each range in turn; false when it does not.
bool visitPortfolio(DashboardView& window) {
    window.sidebar().setSelection(SidebarSelection::portfolio());
    PortfolioView* page = nullptr;
    const auto settled = [&] {
        page = window.findChild<PortfolioView*>();
        return page && page->isVisible() && page->isSettled();
    };
    if (runUntil(settled) < 0) return false;
    for (const TimeRange range : {TimeRange::allTime, TimeRange::thirtyDays}) {
        page->model().setTimeRange(range);
        if (runUntil(settled) < 0) return false;
    }
    return true;
}

void revisitPages(benchmark::State& state, QApplication& application) {
    static SingleInstance instance;
    // Read before the window's thread is the window's, which does not wait for the store.
    std::vector<platform::Uuid> projects;
    for (const auto& project : NorvaneKit::shared().listProjects()) {
        if (projects.size() < projectsVisited) projects.push_back(project->id);
    }
    ApplicationEnding ending(application);
    ApplicationController controller(application, ApplicationController::Stores::open(), instance, ending);
    DashboardView* window = mainWindow();
    if (runUntil([&] { return window->isVisible() && controller.appState().metricsLoaded(); }) < 0) {
        state.SkipWithError("the main window did not start");
        return;
    }
    state.counters["start_MB"] = residentMegabytes();
    for (auto _ : state) {
        for (int round = 0; round < rounds; ++round) {
            for (const auto& project : projects) {
                window->sidebar().setSelection(SidebarSelection::project(project));
                if (runUntil([&] { return isProjectPageDrawn(*window, project); }) < 0) {
                    state.SkipWithError("a project page did not show its project");
                    return;
                }
            }
            if (!visitPortfolio(*window)) {
                state.SkipWithError("the portfolio page did not settle");
                return;
            }
        }
    }
    state.counters["resident_MB"] = residentMegabytes();
    state.counters["peak_MB"] = residentMegabytes("VmHWM");
    delete window;
}

} // namespace
} // namespace norvane::app

int main(int argc, char* argv[]) {
    static norvane::app::SampleHome home("norvane-page-revisit-bench");
    QApplication application(argc, argv);
    norvane::app::SampleHome::prepare(application);

    benchmark::RegisterBenchmark("BM_RevisitPages",
                                 [&](benchmark::State& state) { norvane::app::revisitPages(state, application); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
