#pragma once

#include "core/analytics/VelocityRetention.h"
#include "core/models/BuildConfiguration.h"
#include "core/models/DailyActivityInfo.h"
#include "core/models/ProjectInfo.h"
#include "core/models/SnapshotInfo.h"
#include "platform/Date.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace norvane {

/// One project's activity on one calendar day, as sent to the benchmark service. It describes the
/// project only by size, mode, age and primary language: no name, no path, no commit text, no code.
struct AnonymousActivityReport {
    std::string deviceId;
    platform::Date reportedAt{};
    std::string norvaneVersion{BuildConfiguration::version};
    platform::Date activityDate{};
    std::int64_t periodDays = 1;
    std::int64_t codeLinesChanged = 0;
    std::int64_t docsLinesChanged = 0;
    std::int64_t testLinesChanged = 0;
    std::int64_t configLinesChanged = 0;
    std::int64_t commitCount = 0;
    std::int64_t filesChanged = 0;
    std::string sizeBucket;
    std::int64_t projectCodeLines = 0;
    std::int64_t projectComplexity = 0;
    double projectAgeMonths = 0;
    double maturityMultiplier = 1;
    std::optional<std::string> primaryLanguage;
    std::string projectType;
    std::optional<double> velocityRetention;
    std::optional<std::int64_t> velocityHistoryDays;

    /// The report of `activity`'s day, with the project's newest code count (none before its
    /// first) for its size figures.
    static AnonymousActivityReport create(const DailyActivityInfo& activity, const ProjectInfo& project,
                                          const std::optional<SnapshotInfo>& newestCodeCount, std::string deviceId,
                                          const std::optional<VelocityRetention>& velocityRetention,
                                          platform::Date now = platform::currentDate());

    std::int64_t totalLinesChanged() const;

    /// The wire form: snake_case keys in field order, absent optionals left out. Throws
    /// `JsonEncodingError` for a non-finite number.
    nlohmann::ordered_json toJSON() const;
    /// The compact text of `toJSON()`.
    std::string toJSONString() const;
    /// Reads the wire form; dates must carry whole seconds. Throws `JsonDecodingError`.
    static AnonymousActivityReport fromJSON(const nlohmann::json& object);
};

} // namespace norvane
