#pragma once

#include "platform/Date.h"
#include "platform/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// The stored fields of a snapshot, shared by the record `Snapshot` and the plain value
/// `SnapshotInfo`.
struct SnapshotFields {
    platform::Uuid id = platform::Uuid::random();
    platform::Date capturedAt = platform::currentDate();
    std::string snapshotTypeRaw = "scc";
    std::int64_t totalFiles = 0;
    std::int64_t totalLines = 0;
    std::int64_t codeLines = 0;
    std::int64_t commentLines = 0;
    std::int64_t blankLines = 0;
    std::int64_t totalComplexity = 0;
    std::optional<std::string> latestCommitHash;
    std::optional<std::string> latestCommitMessage;
    std::optional<std::string> latestCommitAuthor;
    std::optional<platform::Date> latestCommitDate;
    std::optional<std::string> analyzedCommitHash;
    std::int64_t cumulativeInsertions = 0;
    std::int64_t cumulativeDeletions = 0;
    std::int64_t cumulativeLinesChanged = 0;
    double cumulativeEffortMonths = 0;
    double cumulativeEstimatedCost = 0;
};

} // namespace norvane
