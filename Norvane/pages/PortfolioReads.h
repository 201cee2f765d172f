#pragma once

#include <optional>
#include <vector>

#include "Norvane/pages/PortfolioFigures.h"
#include "Norvane/pages/PortfolioState.h"
#include "core/reads/PortfolioPageReads.h"

namespace norvane::app {

/// What the portfolio page reads from the store, synchronously, through the core's page reads; the
/// page runs it off the GUI thread and hands back plain values. A failed read is logged and leaves
/// its part absent, so the page keeps what it showed.
class PortfolioReads {
public:
    /// The charts' series, the insights and the work patterns; the first failure ends the reads,
    /// and what was read before it stays.
    struct Series {
        std::optional<std::vector<ThroughputPoint>> throughput;
        std::optional<std::vector<ActivityDay>> parallelism;
        std::optional<std::vector<Insight>> insights;
        std::optional<WorkPatterns> workPatterns;
        std::optional<bool> hasHistory;
    };

    /// What the benchmark step asks the client, and what the achievements need besides.
    struct BenchmarkRequest {
        PercentileInputs inputs;
        std::int64_t totalCodeLines = 0;
    };

    /// What decides the page's rows and the figures of its first frame: read before the page is
    /// first drawn, so that no card comes later and no count stands at a false 0.
    struct FirstFrame {
        std::vector<PortfolioProject> projects;
        std::optional<ProductivityStreak> streak;
        bool hasHistory = false;
    };

    struct IndexFigures {
        std::optional<OutputComposition> composition;
        /// Present only when all three windows were read.
        std::optional<LinesTouched> linesTouched;
        /// None when the daily rows could not be read.
        std::optional<ProductivityStreak> streak;
        /// None without a listed project: then nothing is asked and the percentiles are cleared.
        std::optional<BenchmarkRequest> benchmark;
    };

    explicit PortfolioReads(PortfolioPageReads reads, platform::Clock clock = platform::systemClock());

    /// The projects that are not archived, in name order; throws the store's error.
    std::vector<PortfolioProject> listedProjects();
    /// Throws the store's error.
    FirstFrame firstFrame();
    /// The charts' series over the whole range; the insights and work patterns over its days.
    Series series(TimeRange range);
    IndexFigures indexFigures(int compositionDays);

private:
    /// The composition of the chosen window and the lines touched; returns the 30-day composition.
    std::optional<OutputComposition> readCompositions(IndexFigures& figures, int compositionDays);
    /// The streak, and the active days per week: none without any daily row.
    std::optional<double> readActivity(IndexFigures& figures);
    BenchmarkRequest benchmarkRequest(const std::vector<PortfolioPageReads::ListedProject>& listed,
                                      const std::optional<OutputComposition>& thirtyDays,
                                      std::optional<double> activeDaysPerWeek);

    PortfolioPageReads reads_;
    platform::Clock clock_;
};

} // namespace norvane::app
