#pragma once

#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/DailyActivity.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane::testing {

constexpr double tolerance = 1e-9;

/// An in-memory store in a fixed time zone and a service whose clock stands still at `now`.
class PortfolioStoreFixture : public ::testing::Test, protected InMemoryStore {
protected:
    ScopedTimeZone timeZone{"Europe/Berlin"};
    platform::Date now = localDate(2026, 6, 10, 15, 30);
    PortfolioMetricsService service{context, [this] { return now; }};

    /// The local midnight `days` days before today, plus `hours`.
    platform::Date daysAgo(int days, int hours = 0) const {
        return platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(now), -days) +
               std::chrono::hours(hours);
    }

    std::shared_ptr<Snapshot> addHistory(const std::shared_ptr<Project>& project, platform::Date capturedAt,
                                         double cumulativeEffort, std::int64_t insertions = 0,
                                         std::int64_t deletions = 0) {
        auto snapshot = addSnapshot(project, capturedAt, SnapshotType::gitHistory);
        snapshot->cumulativeEffortMonths = cumulativeEffort;
        snapshot->cumulativeInsertions = insertions;
        snapshot->cumulativeDeletions = deletions;
        return snapshot;
    }

    std::shared_ptr<DailyPortfolioSnapshot> addRow(platform::Date day, double dailyEffort, double cumulativeEffort = 0,
                                                   std::int64_t activeProjects = 0, const std::string& names = "") {
        auto row = DailyPortfolioSnapshot::create(day);
        row->dailyEffortMonths = dailyEffort;
        row->cumulativeEffortMonths = cumulativeEffort;
        row->activeProjectCount = activeProjects;
        row->activeProjectNames = names;
        context->insert(row);
        return row;
    }

    std::shared_ptr<DailyActivity> addActivity(const std::shared_ptr<Project>& project, platform::Date day,
                                               std::int64_t codeInserted, std::int64_t codeDeleted = 0) {
        auto activity = DailyActivity::create(project, day);
        activity->codeLinesInserted = codeInserted;
        activity->codeLinesDeleted = codeDeleted;
        context->insert(activity);
        return activity;
    }

    PortfolioMetricsService::Rows storedRows() {
        return context->fetch<DailyPortfolioSnapshot>(
            {.sortBy = {platform::ascending(DailyPortfolioSnapshotField::date)}});
    }
};

/// True when every floating-point figure of the record is finite.
inline bool allFinite(const PortfolioMetrics& m) {
    for (const double value : {m.dailyThroughput, m.parallelismFactor, m.capacityUtilization, m.peakThroughput,
                               m.totalEffortMonths, m.portfolioLeverage, m.churnRatio, m.netGrowthRate, m.focusIndex}) {
        if (!std::isfinite(value)) return false;
    }
    for (const auto& value :
         {m.leveragePrior, m.leverageGrowthRate, m.rollingLeverage7Day, m.rollingLeverage14Day,
          m.rollingLeveragePrior7Day, m.rollingLeveragePrior14Day, m.rollingThroughput7Day, m.rollingThroughput14Day,
          m.rollingLeverage30Day, m.rollingLeveragePrior30Day, m.peak7DayLeverage, m.peak14DayLeverage,
          m.current7DayPercentile, m.current14DayPercentile}) {
        if (value && !std::isfinite(*value)) return false;
    }
    return true;
}

} // namespace norvane::testing
