// The built-in counter's library over a generated tree of 2,400 files of about 250 lines in ten
// languages (some 600,000 lines with comments, strings holding comment markers, blank lines and
// branches, in nested folders): one whole count on every core, and one on a single thread, each
// with "lines_per_second", leaving out the program's start and its JSON, and "cores_used", the
// processor time of all the count's threads over the wall time (about 1 where no helper thread
// starts). Goals: no change to the scanner or the walk makes either slower, and every core counts
// the tree in under half the single thread's time. The program against the reference counter is
// timed by bench/counter/time_against_reference.py. Run a Release build:
// build/release/bin/norvane_counter_benchmark
#include "bench/counter/SampleTree.h"
#include "counter/CodeCounter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <sys/resource.h>

namespace {

using norvane::counter::CodeCounter;
using norvane::counter::bench::SampleTree;

// 2,400 files of about 250 lines each: some 600,000 lines in ten languages.
const SampleTree& sampleTree() {
    static const SampleTree tree(2400, 250);
    return tree;
}

// User and system time of every thread of the process.
double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void countTree(benchmark::State& state, unsigned threads) {
    const SampleTree& tree = sampleTree();
    const CodeCounter counter(threads);
    std::int64_t counted = 0;
    for (const auto& row : counter.count(tree.path()).rows) {
        counted += row.counts.lines; // also warms the page cache
    }
    if (counted != tree.lineCount()) {
        throw std::logic_error("the counter missed lines of the sample tree");
    }
    const double processorBefore = processorSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    for (auto _ : state) {
        auto rows = counter.count(tree.path()).rows;
        benchmark::DoNotOptimize(rows);
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
    state.counters["cores_used"] = (processorSeconds() - processorBefore) / wall.count();
    const auto lines = static_cast<double>(tree.lineCount());
    state.counters["lines_per_second"] =
        benchmark::Counter(lines * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["lines"] = lines;
    state.counters["threads"] = threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency());
}

void BM_CountTreeAllCores(benchmark::State& state) { countTree(state, 0); }

void BM_CountTreeOneCore(benchmark::State& state) { countTree(state, 1); }

} // namespace

BENCHMARK(BM_CountTreeAllCores)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountTreeOneCore)->UseRealTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
