#pragma once

#include "core/analytics/PortfolioMetricsCalculator.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>

namespace norvane {

/// The daily activity reads that the application's figures need, each one SQL query over the
/// stored rows that returns plain values, summed in SQL where the figure is a sum. A project is
/// named by its row key; none means every project.
namespace ActivityQueries {

/// Code lines changed over a stretch of days and the number of daily rows they came from.
struct ChangedLines {
    std::int64_t codeLinesChanged = 0;
    std::size_t days = 0;
};

/// Lines per output category of the rows dated from `since` on.
PortfolioMetricsCalculator::CategorySums categorySums(platform::ModelContainer& store, platform::Date since,
                                                      std::optional<std::int64_t> projectKey = std::nullopt);
ChangedLines changedLines(platform::ModelContainer& store, std::int64_t projectKey, platform::Date since);
/// The project's code lines changed per local day from `since` on; a later row of a day replaces
/// an earlier one.
PortfolioMetricsCalculator::ChangedOnDay changedOnDay(platform::ModelContainer& store, std::int64_t projectKey,
                                                      platform::Date since);
/// The local days (their starts) on which any project committed.
std::set<platform::Date> activeDays(platform::ModelContainer& store);
/// Whether any daily row is stored at all.
bool hasAny(platform::ModelContainer& store);

} // namespace ActivityQueries
} // namespace norvane
