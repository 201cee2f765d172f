#include "index-server/BenchmarkBuilder.h"

#include "tests/support/LocalDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace norvane::indexserver {
namespace {

class BenchmarkBuilderTest : public ::testing::Test {
protected:
    void store(const std::string& device, const std::string& day, std::int64_t code, std::int64_t docs = 0,
               std::optional<double> retention = std::nullopt, const std::string& bucket = "Small") {
        reports.insert({.deviceId = device,
                        .activityDate = testing::utc(day + "T23:00:00Z"),
                        .codeLinesChanged = code,
                        .docsLinesChanged = docs,
                        .sizeBucket = bucket,
                        .projectType = "organic",
                        .velocityRetention = retention});
    }

    CommunityBenchmarks build() { return BenchmarkBuilder::build(reports, now); }

    ReportStore reports{":memory:"};
    const platform::Date now = testing::utc("2025-03-20T12:00:00Z");
};

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

TEST_F(BenchmarkBuilderTest, CountsEachDeviceOncePerDistribution) {
    // "a": two days a week apart, 30 code lines in all, 10 docs, retention 50 and 70.
    store("a", "2025-03-01", 10, 10, 50);
    store("a", "2025-03-07", 20, 0, 70);
    // "b": one day, two projects, one of them Large.
    store("b", "2025-03-02", 40);
    store("b", "2025-03-02", 20, 0, std::nullopt, "Large");
    store("c", "2025-03-03", 30);
    store("d", "2025-03-04", 45);
    store("e", "2025-03-05", 90);

    const auto benchmarks = build();
    EXPECT_EQ(benchmarks.generatedAt, now);
    EXPECT_EQ(benchmarks.contributorCount, 5);
    // Throughput per active day: a 15, b 60, c 30, d 45, e 90.
    EXPECT_DOUBLE_EQ(benchmarks.global.throughput->p10, 15 + 15 * 0.4);
    EXPECT_DOUBLE_EQ(benchmarks.global.throughput->p90, 60 + 30 * 0.6);
    // Active days per week: a 2 days over a 7-day span, everyone else 1 day.
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p10, 1);
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p90, 1.6);
    // Only "a" reported retention: one contributor's mean is not published.
    EXPECT_FALSE(benchmarks.global.velocityRetention);

    const auto& small = benchmarks.bySizeBucket.at("Small");
    EXPECT_EQ(small.bucket, "Small");
    EXPECT_EQ(small.sampleSize, 5);
    // In Small, "b" changed 40 lines a day.
    EXPECT_DOUBLE_EQ(small.throughput->p90, 45 + 45 * 0.6);
    EXPECT_DOUBLE_EQ(small.codeRatio->p10, 75 + 25 * 0.4);
    EXPECT_DOUBLE_EQ(small.typicalComposition->codePercentMin, 100);
    EXPECT_FALSE(benchmarks.bySizeBucket.contains("Large")) << "one contributor";
}

TEST_F(BenchmarkBuilderTest, PublishesNothingOfFewerThanTheMinimumOfContributors) {
    const std::vector<std::int64_t> lines{120, 80, 200, 150};
    for (std::size_t device = 0; device < lines.size(); ++device) {
        store("enterprise-" + std::to_string(device), "2025-03-10", lines[device], 5, 60, "Enterprise");
    }
    const auto few = build();
    EXPECT_EQ(few.contributorCount, 4);
    EXPECT_TRUE(few.bySizeBucket.empty());
    EXPECT_FALSE(few.global.throughput || few.global.consistency || few.global.velocityRetention);
    EXPECT_EQ(few.toJSON().dump(),
              R"({"by_size_bucket":{},"contributor_count":4,"generated_at":"2025-03-20T12:00:00Z",)"
              R"("global":{}})");

    store("enterprise-4", "2025-03-11", 100, 0, 40, "Enterprise");
    const auto enough = build();
    ASSERT_TRUE(enough.bySizeBucket.contains("Enterprise"));
    EXPECT_EQ(enough.bySizeBucket.at("Enterprise").sampleSize, 5);
    EXPECT_DOUBLE_EQ(enough.bySizeBucket.at("Enterprise").throughput->p50, 120);
    EXPECT_TRUE(enough.global.velocityRetention);
}

TEST_F(BenchmarkBuilderTest, StaysFiniteWhateverADataFileHolds) {
    constexpr double huge = 1.7e308;
    constexpr auto mostLines = std::numeric_limits<std::int64_t>::max();
    for (const double retention : {huge, -huge, std::numeric_limits<double>::infinity(), 55.0, 65.0}) {
        const auto device = "device-" + std::to_string(reports.contributorCount());
        store(device, "2025-03-01", mostLines, mostLines, retention);
        store(device, "2025-03-02", mostLines, 0, retention);
    }
    const auto benchmarks = build();
    EXPECT_TRUE(std::isfinite(benchmarks.global.throughput->p90));
    // Only the sound percentages count, and two contributors are too few.
    EXPECT_FALSE(benchmarks.global.velocityRetention);
    EXPECT_NO_THROW(benchmarks.toJSON()); // which refuses any number that is not finite
}

} // namespace
} // namespace norvane::indexserver
