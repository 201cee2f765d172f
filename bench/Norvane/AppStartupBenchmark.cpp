// The application's start-up over a portfolio of three years of history (50 projects with weekly
// history points unless NORVANE_BENCH_PORTFOLIO names another, see PortfolioShape): from opening
// the store and creating the controller (application state, tray panel, main window) to a drawn main
// window whose metrics cache is filled. Goals: under 250 ms, and at most 120 MB resident once the
// first start is drawn ("resident_MB"; "peak_MB" is the most the process held until then), both
// flat in the number of snapshots. Run a Release build:
// NORVANE_BENCH_PORTFOLIO=commits build/release/bin/norvane_app_startup_benchmark
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/state/SingleInstance.h"
#include "bench/Norvane/ApplicationLoop.h"
#include "bench/Norvane/SampleHome.h"
#include "bench/support/ResidentMemory.h"
#include "core/models/NorvaneDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

#include <memory>

namespace norvane::app {
namespace {

constexpr int startUpTimeoutMilliseconds = 30'000;

/// Runs the event loop until the window is shown with the first metrics refresh done, then draws
/// it; null when that does not happen in time.
DashboardView* drawnMainWindow(ApplicationController& controller) {
    QElapsedTimer clock;
    clock.start();
    DashboardView* window = mainWindow();
    while ((!window || !window->isVisible() || !controller.appState().metricsLoaded()) &&
           clock.elapsed() < startUpTimeoutMilliseconds) {
        QApplication::processEvents();
        window = mainWindow();
    }
    if (!window || !controller.appState().metricsLoaded()) return nullptr;
    benchmark::DoNotOptimize(window->grab());
    return window;
}

void startUp(benchmark::State& state, QApplication& application) {
    static SingleInstance instance;
    for (auto _ : state) {
        auto controller =
            std::make_unique<ApplicationController>(application, NorvaneDatabase::makeContainer(), instance);
        auto* window = drawnMainWindow(*controller);
        state.PauseTiming();
        if (!window) {
            state.SkipWithError("the main window was not drawn");
            break;
        }
        state.counters["resident_MB"] = residentMegabytes();
        state.counters["peak_MB"] = residentMegabytes("VmHWM");
        // The windows hold the state; they go first.
        delete window;
        controller.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace
} // namespace norvane::app

int main(int argc, char* argv[]) {
    static norvane::app::SampleHome home("norvane-startup-bench");
    QApplication application(argc, argv);
    norvane::app::SampleHome::prepare(application);

    // The first start also opens the core library's shared facade, as a real start does.
    benchmark::RegisterBenchmark("BM_FirstStartUp",
                                 [&](benchmark::State& state) { norvane::app::startUp(state, application); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StartUp", [&](benchmark::State& state) {
        norvane::app::startUp(state, application);
    })->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
