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
    const auto history = context_->fetch<Snapshot>(
        {.predicate = SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::gitHistory)) &&
                      SnapshotField::capturedAt >= cutoff});
    std::vector<platform::Date> moments;
    moments.reserve(history.size());
    for (const auto& snapshot : history) moments.push_back(snapshot->capturedAt);
    return patternsOf(moments);
}

WorkPatterns WorkPatternService::patternsOf(const std::vector<platform::Date>& moments) {
    WorkPatterns patterns;
    if (moments.empty()) return patterns;
    for (const auto moment : moments) {
        const auto local = platform::LocalCalendar::components(moment);
        ++patterns.hourlyDistribution[local.hour];
        ++patterns.dailyDistribution[local.weekday];
        ++patterns.heatmap[static_cast<std::size_t>(local.weekday - 1)][static_cast<std::size_t>(local.hour)];
    }
    patterns.totalCommits = static_cast<int>(moments.size());
    patterns.peakHour = keyWithMostCommits(patterns.hourlyDistribution);
    patterns.peakDay = keyWithMostCommits(patterns.dailyDistribution);
    const int weekend = commitsIn(patterns.dailyDistribution, 1, 1) + commitsIn(patterns.dailyDistribution, 7, 7);
    patterns.weekendPercentage = shareOf(weekend, patterns.totalCommits) * 100.0;
    patterns.isNightOwl = shareOf(commitsIn(patterns.hourlyDistribution, 20, 23), patterns.totalCommits) > 0.4;
    patterns.isEarlyBird = shareOf(commitsIn(patterns.hourlyDistribution, 0, 9), patterns.totalCommits) > 0.4;
    return patterns;
}

} // namespace norvane
