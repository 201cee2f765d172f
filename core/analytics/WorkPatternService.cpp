#include "core/analytics/WorkPatternService.h"

#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

namespace norvane {

namespace {

/// The key with the largest count; the map's ascending order makes the lowest key win ties.
std::optional<int> keyWithMostCommits(const std::map<int, int>& distribution) {
    std::optional<int> best;
    int bestCount = 0;
    for (const auto& [key, count] : distribution) {
        if (!best || count > bestCount) {
            best = key;
            bestCount = count;
        }
    }
    return best;
}

int commitsIn(const std::map<int, int>& distribution, int from, int through) {
    int total = 0;
    for (int key = from; key <= through; ++key) {
        const auto entry = distribution.find(key);
        if (entry != distribution.end()) total += entry->second;
    }
    return total;
}

double shareOf(int part, int total) { return static_cast<double>(part) / static_cast<double>(total); }

} // namespace

WorkPatterns WorkPatternService::analyzePatterns(int days) const {
    const platform::Date cutoff = platform::LocalCalendar::addingDays(clock_(), -days);
    const auto history =
        context_->fetch<Snapshot>({.predicate = SnapshotField::snapshotTypeRaw == std::string("gitHistory") &&
                                                SnapshotField::capturedAt >= cutoff});

    WorkPatterns patterns;
    if (history.empty()) return patterns;
    for (const auto& snapshot : history) {
        const auto moment = platform::LocalCalendar::components(snapshot->capturedAt);
        ++patterns.hourlyDistribution[moment.hour];
        ++patterns.dailyDistribution[moment.weekday];
        ++patterns.heatmap[static_cast<std::size_t>(moment.weekday - 1)][static_cast<std::size_t>(moment.hour)];
    }
    patterns.totalCommits = static_cast<int>(history.size());
    patterns.peakHour = keyWithMostCommits(patterns.hourlyDistribution);
    patterns.peakDay = keyWithMostCommits(patterns.dailyDistribution);
    const int weekend = commitsIn(patterns.dailyDistribution, 1, 1) + commitsIn(patterns.dailyDistribution, 7, 7);
    patterns.weekendPercentage = shareOf(weekend, patterns.totalCommits) * 100.0;
    patterns.isNightOwl = shareOf(commitsIn(patterns.hourlyDistribution, 20, 23), patterns.totalCommits) > 0.4;
    patterns.isEarlyBird = shareOf(commitsIn(patterns.hourlyDistribution, 0, 9), patterns.totalCommits) > 0.4;
    return patterns;
}

} // namespace norvane
