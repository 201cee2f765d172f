#pragma once

#include "platform/Date.h"
#include "platform/Uuid.h"

#include <cstdint>

namespace norvane {

/// A day's activity row as a plain value. The record `DailyActivity` holds these fields; a copy is
/// what a caller on another thread may keep of it.
struct DailyActivityInfo {
    platform::Uuid id = platform::Uuid::random();
    platform::Date date{};
    std::int64_t totalInsertions = 0;
    std::int64_t totalDeletions = 0;
    std::int64_t linesTouched = 0;
    std::int64_t commitCount = 0;
    std::int64_t filesChanged = 0;
    std::int64_t codeLinesInserted = 0;
    std::int64_t codeLinesDeleted = 0;
    std::int64_t docsLinesInserted = 0;
    std::int64_t docsLinesDeleted = 0;
    std::int64_t testLinesInserted = 0;
    std::int64_t testLinesDeleted = 0;
    std::int64_t configLinesInserted = 0;
    std::int64_t configLinesDeleted = 0;
    double estimatedEffortMonths = 0;
    double estimatedCost = 0;

    std::int64_t codeLinesChanged() const { return codeLinesInserted + codeLinesDeleted; }
    std::int64_t docsLinesChanged() const { return docsLinesInserted + docsLinesDeleted; }
    std::int64_t testLinesChanged() const { return testLinesInserted + testLinesDeleted; }
    std::int64_t configLinesChanged() const { return configLinesInserted + configLinesDeleted; }
};

} // namespace norvane
