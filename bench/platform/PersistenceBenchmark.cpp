// Store throughput: one save of 100,000 daily rows, and a 30-day window of one project out of
// 1,000,000 rows. Goals: the save under 1.5 s, a small part of what git takes to log the 100,000
// commits that an import of as many rows reads (about 7 s); the window under 1 ms, flat in the
// table's size, as an index serves it. Run a Release build:
// build/release/bin/norvane_persistence_bench
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/persistence/ModelContext.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace norvane {
namespace {

using std::chrono::hours;

platform::Date dayNumber(int n) {
    return platform::Date(std::chrono::duration_cast<std::chrono::microseconds>(hours(24 * (10000 + n))));
}

std::filesystem::path temporaryStore(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() / ("norvane-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / name;
}

void fillStore(platform::ModelContext& context, int projects, int daysPerProject) {
    for (int p = 0; p < projects; ++p) {
        auto project = Project::create("project" + std::to_string(p), "/tmp", std::nullopt, ProjectType::organic);
        context.insert(project);
        for (int d = 0; d < daysPerProject; ++d) {
            auto row = DailyActivity::create(project, dayNumber(d));
            row->totalInsertions = d;
            context.insert(row);
        }
    }
    context.save();
}

void InsertAndSave100kDailyRows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const auto file = temporaryStore("insert.store");
        std::filesystem::remove(file);
        auto context = std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(file));
        state.ResumeTiming();
        fillStore(*context, 10, 10000);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(InsertAndSave100kDailyRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void FetchThirtyDaysOutOfAMillionRows(benchmark::State& state) {
    const auto file = temporaryStore("million.store");
    if (!std::filesystem::exists(file)) {
        platform::ModelContext filler(NorvaneDatabase::makeContainer(file));
        fillStore(filler, 100, 10000);
    }
    platform::ModelContext context(NorvaneDatabase::makeContainer(file));
    auto project = context.fetch<Project>({.predicate = ProjectField::name == std::string("project42")}).front();
    for (auto _ : state) {
        auto rows = context.fetch<DailyActivity>({.predicate = DailyActivityField::project == project &&
                                                               DailyActivityField::date >= dayNumber(5000) &&
                                                               DailyActivityField::date < dayNumber(5030),
                                                  .sortBy = {platform::ascending(DailyActivityField::date)}});
        if (rows.size() != 30) state.SkipWithError("expected 30 rows");
        benchmark::DoNotOptimize(rows);
    }
    std::filesystem::remove_all(file.parent_path());
}
BENCHMARK(FetchThirtyDaysOutOfAMillionRows)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace norvane

BENCHMARK_MAIN();
