#include "index-server/BenchmarkBuilder.h"

#include "tests/support/LocalDate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane::indexserver {
namespace {

StoredReport stored(const std::string& device, const std::string& day, std::int64_t code, std::int64_t docs = 0,
                    std::optional<double> retention = std::nullopt, const std::string& bucket = "Small") {
    return {.deviceId = device,
            .activityDay = day + "T23:00:00Z",
            .sizeBucket = bucket,
            .codeLinesChanged = code,
            .docsLinesChanged = docs,
            .velocityRetention = retention};
}

TEST(BenchmarkBuilder, InterpolatesPercentilePoints) {
    EXPECT_FALSE(BenchmarkBuilder::distribution({}));
    const auto single = BenchmarkBuilder::distribution({7});
    EXPECT_EQ(single->p10, 7);
    EXPECT_EQ(single->p90, 7);
    const auto spread = BenchmarkBuilder::distribution({50, 0, 100, 25, 75});
    EXPECT_DOUBLE_EQ(spread->p10, 10);
    EXPECT_DOUBLE_EQ(spread->p25, 25);
    EXPECT_DOUBLE_EQ(spread->p50, 50);
    EXPECT_DOUBLE_EQ(spread->p75, 75);
    EXPECT_DOUBLE_EQ(spread->p90, 90);
}

TEST(BenchmarkBuilder, CountsEachDeviceOncePerDistribution) {
    const auto now = testing::utc("2025-03-20T12:00:00Z");
    const std::vector<StoredReport> reports{
        // "a": two days a week apart, 30 code lines in all, 10 docs, retention 50 and 70.
        stored("a", "2025-03-01", 10, 10, 50),
        stored("a", "2025-03-07", 20, 0, 70),
        // "b": one day, two projects, one of them Large.
        stored("b", "2025-03-02", 40),
        stored("b", "2025-03-02", 20, 0, std::nullopt, "Large"),
    };
    const auto benchmarks = BenchmarkBuilder::build(reports, now);
    EXPECT_EQ(benchmarks.generatedAt, now);
    EXPECT_EQ(benchmarks.contributorCount, 2);
    // Throughput per active day: a 15, b 60.
    EXPECT_DOUBLE_EQ(benchmarks.global.throughput->p10, 15 + 45 * 0.1);
    // Active days per week: a 2 days over a 7-day span, b 1 day.
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p10, 1.1);
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p90, 1.9);
    // Only "a" reported retention: its mean.
    EXPECT_DOUBLE_EQ(benchmarks.global.velocityRetention->p50, 60);

    const auto& small = benchmarks.bySizeBucket.at("Small");
    EXPECT_EQ(small.bucket, "Small");
    EXPECT_EQ(small.sampleSize, 2);
    EXPECT_DOUBLE_EQ(small.throughput->p90, 15 + 25 * 0.9);
    EXPECT_DOUBLE_EQ(small.codeRatio->p10, 75 + 25 * 0.1);
    EXPECT_DOUBLE_EQ(small.typicalComposition->docsPercentMax, 25 * 0.75);
    const auto& large = benchmarks.bySizeBucket.at("Large");
    EXPECT_EQ(large.sampleSize, 1);
    EXPECT_FALSE(large.velocityRetention);
}

TEST(BenchmarkBuilder, StaysFiniteWhateverADataFileHolds) {
    constexpr double huge = 1.7e308;
    const auto benchmarks =
        BenchmarkBuilder::build({stored("a", "2025-03-01", 1, 0, huge), stored("a", "2025-03-02", 1, 0, huge),
                                 stored("b", "2025-03-01", 1, 0, -huge), stored("c", "2025-03-01", 1, 0, INFINITY)},
                                testing::utc("2025-03-20T12:00:00Z"));
    EXPECT_DOUBLE_EQ(benchmarks.global.velocityRetention->p90, huge * 0.9 - huge * 0.1);
    EXPECT_NO_THROW(benchmarks.toJSON()); // which refuses any number that is not finite
}

} // namespace
} // namespace norvane::indexserver
