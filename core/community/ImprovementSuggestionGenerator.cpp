#include "core/community/ImprovementSuggestionGenerator.h"

#include <algorithm>

namespace norvane::ImprovementSuggestionGenerator {

namespace {

using Metric = ImprovementSuggestion::Metric;
using Priority = ImprovementSuggestion::Priority;

struct Wording {
    const char* title;
    std::string description;
    const char* iconName;
};

ImprovementSuggestion make(Metric metric, Priority priority, const Wording& wording, int percentile) {
    return {.metric = metric,
            .priority = priority,
            .title = wording.title,
            .description = wording.description,
            .iconName = wording.iconName,
            .currentPercentile = percentile};
}

std::optional<Priority> band(int percentile) {
    if (percentile >= 0 && percentile <= 24) return Priority::high;
    if (percentile >= 25 && percentile <= 49) return Priority::medium;
    return std::nullopt;
}

std::optional<ImprovementSuggestion> suggestion(Metric metric, int percentile, const Wording& high,
                                                const Wording& medium) {
    const auto priority = band(percentile);
    if (!priority) {
        return std::nullopt;
    }
    const Wording& wording = *priority == Priority::high ? high : medium;
    return make(metric, *priority, wording, percentile);
}

void appendIfMade(std::vector<ImprovementSuggestion>& list, std::optional<ImprovementSuggestion> item) {
    if (item) {
        list.push_back(std::move(*item));
    }
}

void appendStrength(std::vector<ImprovementSuggestion>& list, std::optional<int> percentile, Metric metric,
                    const Wording& wording) {
    if (percentile && *percentile >= 75) {
        list.push_back(make(metric, Priority::low, wording, *percentile));
    }
}

} // namespace

std::optional<ImprovementSuggestion> throughputSuggestion(int percentile, const std::string& sizeBucket) {
    return suggestion(Metric::throughput, percentile,
                      {"Boost Your Output",
                       "Your code output is below average for " + sizeBucket +
                           " projects. Consider breaking work into smaller, shippable increments to maintain "
                           "momentum.",
                       "arrow.up.doc"},
                      {"Room to Grow",
                       "You're shipping steadily, but there's room to increase velocity. Try time-boxing tasks and "
                       "committing smaller changes more frequently.",
                       "chart.line.uptrend.xyaxis"});
}

std::optional<ImprovementSuggestion> consistencySuggestion(int percentile) {
    return suggestion(Metric::consistency, percentile,
                      {"Build a Coding Habit",
                       "Shipping code more regularly helps build momentum. Even small commits on more days can "
                       "significantly improve your consistency score.",
                       "calendar.badge.clock"},
                      {"Increase Active Days",
                       "Try to ship code on more days each week. Consistent small progress often beats sporadic "
                       "large efforts.",
                       "calendar"});
}

std::optional<ImprovementSuggestion> retentionSuggestion(int percentile) {
    return suggestion(Metric::retention, percentile,
                      {"Address Technical Debt",
                       "Your velocity is declining faster than typical. Consider dedicating time to refactoring, "
                       "improving test coverage, or simplifying complex areas.",
                       "wrench.and.screwdriver"},
                      {"Maintain Architecture Health",
                       "Your codebase is showing some slowdown. Keep an eye on complexity and consider periodic "
                       "refactoring to maintain velocity.",
                       "building.2"});
}

std::vector<ImprovementSuggestion> generate(const UserPercentiles& percentiles) {
    std::vector<ImprovementSuggestion> list;
    if (percentiles.throughputPercentile) {
        appendIfMade(list, throughputSuggestion(*percentiles.throughputPercentile, percentiles.sizeBucket));
    }
    if (percentiles.consistencyPercentile) {
        appendIfMade(list, consistencySuggestion(*percentiles.consistencyPercentile));
    }
    if (percentiles.velocityRetentionPercentile) {
        appendIfMade(list, retentionSuggestion(*percentiles.velocityRetentionPercentile));
    }
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.priority < b.priority; });
    return list;
}

std::vector<ImprovementSuggestion> generateStrengths(const UserPercentiles& percentiles) {
    std::vector<ImprovementSuggestion> list;
    appendStrength(
        list, percentiles.throughputPercentile, Metric::throughput,
        {"Strong Output",
         "Your code output is in the top quartile for " + percentiles.sizeBucket + " projects. Keep up the great work!",
         "star.fill"});
    appendStrength(list, percentiles.consistencyPercentile, Metric::consistency,
                   {"Excellent Consistency",
                    "You're shipping code more regularly than most developers. This habit drives long-term success.",
                    "checkmark.seal.fill"});
    appendStrength(list, percentiles.velocityRetentionPercentile, Metric::retention,
                   {"Scalable Architecture",
                    "Your codebase maintains velocity better than most. Your architecture choices are paying off!",
                    "building.columns.fill"});
    return list;
}

} // namespace norvane::ImprovementSuggestionGenerator
