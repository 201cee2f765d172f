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

TEST(BenchmarkBuilder, PublishesEachPointAsOneFigureToTwoSignificantDigits) {
    EXPECT_FALSE(BenchmarkBuilder::distribution({}));
    const auto single = BenchmarkBuilder::distribution({7});
    EXPECT_EQ(single->p10, 7);
    EXPECT_EQ(single->p90, 7);
    // With five values every point is one of them, never a mix of two.
    const auto five = BenchmarkBuilder::distribution({50, 0, 100, 25.25, 75});
    EXPECT_EQ(five->toJSON().dump(), R"({"p10":0.0,"p25":25.0,"p50":50.0,"p75":75.0,"p90":100.0})");
    const auto ten = BenchmarkBuilder::distribution({10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
    EXPECT_EQ(ten->toJSON().dump(), R"({"p10":1.0,"p25":3.0,"p50":5.0,"p75":8.0,"p90":9.0})");

    const std::vector<std::pair<double, double>> rounded{
        {4321, 4300},
        {4349.99, 4300},
        {4350, 4400},
        {-4321, -4300},
        {123456789, 120000000},
        {99.5, 100},
        {7, 7},
        {1.25, 1.3},
        {0.0456, 0.046},
        {0, 0},
        {12.5, 13},
        {9.96, 10},
        {9.2233720368e18, 9.2e18},
    };
    for (const auto& [value, expected] : rounded) {
        EXPECT_EQ(BenchmarkBuilder::roundToTwoSignificantDigits(value), expected) << value;
    }
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
    // Throughput per active day: a 15, b 40 (its day in Large, too few to publish, is left out),
    // c 30, d 45, e 90.
    EXPECT_EQ(benchmarks.global.throughput->toJSON().dump(),
              R"({"p10":15.0,"p25":30.0,"p50":40.0,"p75":45.0,"p90":90.0})");
    // Active days per week: a 2 days over a 7-day span, everyone else 1 day.
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p10, 1);
    EXPECT_DOUBLE_EQ(benchmarks.global.consistency->p90, 2);
    // Only "a" reported retention: one contributor's mean is not published.
    EXPECT_FALSE(benchmarks.global.velocityRetention);

    const auto& small = benchmarks.bySizeBucket.at("Small");
    EXPECT_EQ(small.bucket, "Small");
    EXPECT_EQ(small.sampleSize, 5);
    EXPECT_DOUBLE_EQ(small.throughput->p50, 40);
    EXPECT_DOUBLE_EQ(small.codeRatio->p10, 75);
    EXPECT_DOUBLE_EQ(small.typicalComposition->codePercentMin, 100);
    EXPECT_FALSE(small.velocityRetention);
    EXPECT_FALSE(benchmarks.bySizeBucket.contains("Large")) << "one contributor";
}

TEST_F(BenchmarkBuilderTest, PublishesNothingOfFewerThanTheMinimumOfContributors) {
    const std::vector<std::int64_t> lines{120, 80, 200, 150};
    for (std::size_t device = 0; device < lines.size(); ++device) {
        store("enterprise-" + std::to_string(device), "2025-03-10", lines[device], 5, 60, "Enterprise");
    }
    const auto few = build();
    EXPECT_EQ(few.contributorCount, 0) << "nobody behind a published figure";
    EXPECT_TRUE(few.bySizeBucket.empty());
    EXPECT_FALSE(few.global.throughput || few.global.consistency || few.global.velocityRetention);
    EXPECT_EQ(few.toJSON().dump(),
              R"({"by_size_bucket":{},"contributor_count":0,"generated_at":"2025-03-20T12:00:00Z",)"
              R"("global":{}})");

    store("enterprise-4", "2025-03-11", 100, 0, 40, "Enterprise");
    const auto enough = build();
    EXPECT_EQ(enough.contributorCount, 5);
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
