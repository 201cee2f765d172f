#include "core/models/ProjectInfo.h"

#include "platform/LocalCalendar.h"

namespace norvane {

std::optional<CommitSummary> commitSummaryOf(const std::string& hash, const std::optional<std::string>& message) {
    if (!message) return std::nullopt;
    return CommitSummary{hash.substr(0, 7), message->substr(0, message->find('\n'))};
}

std::optional<int> ProjectInfo::daysSinceLastCommit(platform::Date now) const {
    if (!latestCommitAt) return std::nullopt;
    return platform::LocalCalendar::wholeDaysBetween(*latestCommitAt, now);
}

ProjectTemperature ProjectInfo::temperature(platform::Date now) const {
    const auto days = daysSinceLastCommit(now);
    if (!days) return ProjectTemperature::unknown;
    if (*days >= 0 && *days <= 3) return ProjectTemperature::hot;
    if (*days >= 4 && *days <= 7) return ProjectTemperature::warm;
    if (*days >= 8 && *days <= 30) return ProjectTemperature::cold;
    return ProjectTemperature::frozen;
}

std::optional<int> ProjectInfo::commitSpanDays() const {
    if (!firstCommitAt || !latestCommitAt) return std::nullopt;
    return platform::LocalCalendar::wholeDaysBetween(*firstCommitAt, *latestCommitAt);
}

} // namespace norvane
