// The application's start-up over a portfolio of three years of history (50 projects with weekly
// history points unless NORVANE_BENCH_PORTFOLIO names another, see PortfolioShape): from opening
// the store and creating the controller (application state, tray panel, main window) to the main
// window's first paint through the event loop, the time reported. Goals: under 250 ms, and at most
// 120 MB resident once the first start's metrics cache is filled ("resident_MB"; "peak_MB" is the
// most the process held until then), both flat in the number of snapshots. "metrics_ms" is the time
// until the metrics cache is filled. Run a Release build:
// NORVANE_BENCH_PORTFOLIO=commits build/release/bin/norvane_app_startup_benchmark
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/state/ApplicationEnding.h"
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

/// Notes the first paint of a widget of the main window that the event loop delivers.
class FirstPaint : public QObject {
public:
    FirstPaint() { qApp->installEventFilter(this); }
    ~FirstPaint() override { qApp->removeEventFilter(this); }

    bool happened() const { return happened_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            happened_ = happened_ || (widget && qobject_cast<DashboardView*>(widget->window()));
        }
        return false;
    }

private:
    bool happened_ = false;
};

/// Runs the event loop until `done` holds; false when it does not within the time-out.
template <typename Done>
bool runEventsUntil(const QElapsedTimer& clock, Done done) {
    while (!done()) {
        if (clock.elapsed() > startUpTimeoutMilliseconds) return false;
        QApplication::processEvents();
    }
    return true;
}

void startUp(benchmark::State& state, QApplication& application) {
    static SingleInstance instance;
    ApplicationEnding ending(application);
    for (auto _ : state) {
        const FirstPaint paint;
        QElapsedTimer clock;
        clock.start();
        auto controller = std::make_unique<ApplicationController>(application, ApplicationController::Stores::open(),
                                                                  instance, ending);
        const bool drawn = runEventsUntil(clock, [&] { return paint.happened(); });
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        if (!drawn || !runEventsUntil(clock, [&] { return controller->appState().metricsLoaded(); })) {
            state.SkipWithError("the main window was not drawn with its metrics");
            break;
        }
        state.counters["metrics_ms"] = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.counters["resident_MB"] = residentMegabytes();
        state.counters["peak_MB"] = residentMegabytes("VmHWM");
        // The windows hold the state; they go first.
        delete mainWindow();
        controller.reset();
        QApplication::processEvents();
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
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_StartUp",
                                 [&](benchmark::State& state) { norvane::app::startUp(state, application); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
