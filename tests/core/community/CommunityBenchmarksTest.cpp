#include "core/community/CachedBenchmarks.h"

#include "core/community/JsonCoding.h"
#include "tests/support/LocalDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace norvane {
namespace {

using Percentiles = CommunityBenchmarks::Percentiles;
using std::chrono::hours;
using std::chrono::minutes;
using testing::utc;

constexpr const char* answer = R"({
  "generated_at": "2025-03-14T08:30:00.250Z",
  "contributor_count": 412,
  "global": {
    "throughput": {"p10": 10, "p25": 20, "p50": 30, "p75": 40, "p90": 50},
    "consistency": {"p10": 1, "p25": 2, "p50": 3, "p75": 4, "p90": 5},
    "velocity_retention": null,
    "extra": "ignored"
  },
  "by_size_bucket": {
    "Medium": {
      "bucket": "Medium",
      "sample_size": 120,
      "velocity_retention": {"p10": 30, "p25": 45, "p50": 60, "p75": 75, "p90": 90},
      "code_ratio": {"p10": 1, "p25": 2, "p50": 3, "p75": 4},
      "typical_composition": {"code_percent_min": 50, "code_percent_max": 80, "docs_percent_min": 5,
                              "docs_percent_max": 15, "tests_percent_min": 10, "tests_percent_max": 25,
                              "config_percent_min": 1, "config_percent_max": 5}
    },
    "medium": {"bucket": 7, "sample_size": 3}
  }
})";

TEST(CommunityBenchmarks, PlacesValuesInTheirBand) {
    const Percentiles points{10, 20, 30, 40, 50};
    const std::vector<std::pair<double, int>> cases{{5, 10},  {10, 10}, {15, 17}, {20, 25},   {25, 37},   {35, 62},
                                                    {45, 82}, {50, 90}, {60, 92}, {100, 100}, {1000, 100}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(points.percentile(value), expected) << value;
}

TEST(CommunityBenchmarks, PlacingCopesWithFlatFallingAndNegativeDistributions) {
    const Percentiles flat{7, 7, 7, 7, 7};
    EXPECT_EQ(flat.percentile(-100), 50);
    EXPECT_EQ(flat.percentile(7), 50);

    const Percentiles sharedLowerPoint{10, 10, 30, 40, 50};
    EXPECT_EQ(sharedLowerPoint.percentile(10), 10);
    EXPECT_EQ(sharedLowerPoint.percentile(20), 37);
    for (double value = 10.001; value < 30; value += 0.5) {
        const int result = *sharedLowerPoint.percentile(value);
        EXPECT_TRUE(result < 11 || result > 24) << value;
    }

    const Percentiles negative{-40, -30, -20, -10, 0};
    EXPECT_EQ(negative.percentile(5), 90);
}

TEST(CommunityBenchmarks, PlacingANonFiniteValueOrPointGivesNothing) {
    const Percentiles points{10, 20, 30, 40, 50};
    EXPECT_FALSE(points.percentile(std::nan("")));
    EXPECT_FALSE(points.percentile(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE((Percentiles{10, std::nan(""), 30, 40, 50}.percentile(25)));
    // Huge distances neither overflow nor leave the bands.
    EXPECT_EQ((Percentiles{0, 0, 0, 0, 1e-300}.percentile(1e300)), 100);
    EXPECT_EQ((Percentiles{-1e308, 0, 1, 2, 1e308}.percentile(-1e307)), 23);
    EXPECT_FALSE((Percentiles{-1e308, 1e308, 1e308, 1e308, 1e308}.percentile(1e308)));
}

TEST(CommunityBenchmarks, DecodesTheAnswerLeniently) {
    const auto benchmarks = CommunityBenchmarks::fromJSON(nlohmann::json::parse(answer));
    EXPECT_EQ(benchmarks.generatedAt, utc("2025-03-14T08:30:00.250Z"));
    ASSERT_TRUE(benchmarks.global.throughput);
    EXPECT_EQ(benchmarks.global.throughput->p75, 40);
    EXPECT_FALSE(benchmarks.global.velocityRetention);

    const auto& medium = benchmarks.bySizeBucket.at("Medium");
    EXPECT_FALSE(medium.throughput);
    EXPECT_EQ(medium.velocityRetention->p50, 60);
    EXPECT_FALSE(medium.codeRatio);
    EXPECT_EQ(medium.typicalComposition->testsPercentMax, 25);

    const auto& lowerCase = benchmarks.bySizeBucket.at("medium");
    EXPECT_FALSE(lowerCase.bucket);
    EXPECT_EQ(lowerCase.sampleSize, 3);
}

TEST(CommunityBenchmarks, MissingRequiredPartsFailTheWholeAnswer) {
    auto withoutSampleSize = nlohmann::json::parse(answer);
    withoutSampleSize["by_size_bucket"]["Medium"].erase("sample_size");
    EXPECT_THROW(CommunityBenchmarks::fromJSON(withoutSampleSize), JsonDecodingError);

    auto withoutBuckets = nlohmann::json::parse(answer);
    withoutBuckets.erase("by_size_bucket");
    EXPECT_THROW(CommunityBenchmarks::fromJSON(withoutBuckets), JsonDecodingError);
}

TEST(CachedBenchmarks, DescribesItsAgeInWholeHoursAndDays) {
    const CachedBenchmarks cache{CommunityBenchmarks(), utc("2025-03-14T08:30:00Z")};
    const auto at = [&cache](auto age) { return cache.lastUpdatedDescription(cache.fetchedAt + age); };
    EXPECT_EQ(at(-hours(5)), "Updated just now");
    EXPECT_EQ(at(minutes(59)), "Updated just now");
    EXPECT_EQ(at(minutes(60)), "Updated 1 hour ago");
    EXPECT_EQ(at(hours(23) + minutes(59)), "Updated 23 hours ago");
    EXPECT_EQ(at(hours(24)), "Updated 1 day ago");
    EXPECT_EQ(at(hours(47) + minutes(59)), "Updated 1 day ago");
    EXPECT_EQ(at(hours(48)), "Updated 2 days ago");
}

} // namespace
} // namespace norvane
