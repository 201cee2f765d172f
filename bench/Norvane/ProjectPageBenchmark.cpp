// Switching the main window's project page between two projects with three years of history, in a
// store of 50 such projects: from the click in the sidebar to the page drawn with the values of
// the newly chosen project, its trends charts prepared. Goal: under 100 ms. The counter
// "longest_block_ms" is the longest single turn of the event loop (or the selection itself) while
// the page changes: the store is read off the GUI thread. Run a Release build:
// build/release/bin/norvane_project_page_benchmark
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "bench/Norvane/ApplicationLoop.h"
#include "bench/Norvane/SampleHome.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <array>

namespace norvane::app {
namespace {

void switchProjects(benchmark::State& state, QApplication& application) {
    static SingleInstance instance;
    // Read before the window's thread is the window's, which does not wait for the store.
    const auto projects = NorvaneKit::shared().listProjects();
    ApplicationEnding ending(application);
    ApplicationController controller(application, ApplicationController::Stores::open(), instance, ending);
    DashboardView* window = mainWindow();
    if (runUntil([&] { return window->isVisible() && controller.appState().metricsLoaded(); }) < 0) {
        state.SkipWithError("the main window did not start");
        return;
    }
    const std::array<platform::Uuid, 2> pair{projects[0]->id, projects[1]->id};
    std::size_t next = 0;
    double longestBlock = 0;
    for (auto _ : state) {
        const auto chosen = pair[next++ % pair.size()];
        const double block = longestBlockChoosing(*window, SidebarSelection::project(chosen),
                                                  [&] { return isProjectPageDrawn(*window, chosen); });
        if (block < 0) {
            state.SkipWithError("the page did not show the project");
            return;
        }
        longestBlock = std::max(longestBlock, block);
    }
    state.counters["longest_block_ms"] = longestBlock;
    delete window;
}

} // namespace
} // namespace norvane::app

int main(int argc, char* argv[]) {
    static norvane::app::SampleHome home("norvane-project-page-bench");
    QApplication application(argc, argv);
    norvane::app::SampleHome::prepare(application);

    benchmark::RegisterBenchmark("BM_SwitchProjectPage", [&](benchmark::State& state) {
        norvane::app::switchProjects(state, application);
    })->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
