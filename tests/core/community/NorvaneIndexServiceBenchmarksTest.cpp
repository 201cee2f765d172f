#include "core/community/BenchmarkError.h"
#include "core/community/JsonCoding.h"
#include "tests/core/community/IndexServiceFixture.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"

namespace norvane {
namespace {

using std::chrono::hours;
using std::chrono::seconds;
using testing::readFile;

class NorvaneIndexServiceBenchmarks : public testing::IndexServiceFixture, protected testing::InMemoryStore {
protected:
    std::size_t benchmarkFetches() const { return requests("GET", "/v1/benchmarks").size(); }

    static std::string benchmarksBody(std::int64_t contributors) {
        CommunityBenchmarks benchmarks;
        benchmarks.generatedAt = testing::utc("2025-03-14T08:30:00Z");
        benchmarks.contributorCount = contributors;
        benchmarks.global.throughput = CommunityBenchmarks::Percentiles{10, 20, 30, 40, 50};
        return benchmarks.toJSON().dump();
    }

    /// Five contributors, as many as the service needs to publish a distribution.
    void storeReports() {
        const std::vector<std::pair<std::string, int>> lines{{"a", 10}, {"b", 20}, {"c", 30}, {"d", 40}, {"e", 50}};
        for (const auto& [device, count] : lines) client->send(report(device, hours(1), count)).get();
        server.awaitBenchmarks();
    }
};

TEST_F(NorvaneIndexServiceBenchmarks, FetchesAndCachesTheBenchmarks) {
    EXPECT_FALSE(client->benchmarksLastUpdated().get());
    EXPECT_FALSE(client->isBenchmarksCacheValid().get());
    storeReports();

    const auto cache = client->getBenchmarks(false).get();
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->benchmarks.contributorCount, 5);
    EXPECT_EQ(cache->fetchedAt, clock.now());
    EXPECT_EQ(client->benchmarksLastUpdated().get(), "Updated just now");
    EXPECT_TRUE(client->isBenchmarksCacheValid().get());

    const auto stored = CachedBenchmarks::fromJSON(nlohmann::json::parse(readFile(cacheFile())));
    EXPECT_EQ(stored.benchmarks.bySizeBucket.at("Small").sampleSize, 5);
    EXPECT_EQ(header(requests("GET", "/v1/benchmarks")[0], "User-Agent"), "NorvaneKit/0.1.0");
}

TEST_F(NorvaneIndexServiceBenchmarks, AFreshCacheAnswersWithoutARequest) {
    client->getBenchmarks(false).get();
    clock.advance(seconds(86399));
    client->getBenchmarks(false).get();
    EXPECT_EQ(benchmarkFetches(), 1u);
    clock.advance(seconds(1));
    client->getBenchmarks(false).get();
    EXPECT_EQ(benchmarkFetches(), 2u);
    client->getBenchmarks(true).get();
    EXPECT_EQ(benchmarkFetches(), 3u);
}

TEST_F(NorvaneIndexServiceBenchmarks, FailedFetchesFallBackToTheLastCache) {
    server.enqueueAnswer(Route::benchmarks, {.status = 204});
    EXPECT_FALSE(client->getBenchmarks(false).get());
    server.enqueueAnswer(Route::benchmarks, {.status = 204});
    EXPECT_EQ(failureOf(client->fetchBenchmarks()), "Failed to fetch benchmarks");

    const auto fetchedAt = clock.now();
    ASSERT_TRUE(client->getBenchmarks(false).get());
    clock.advance(hours(50));
    const std::vector<Answer> failures{
        {.status = 500},
        {.status = 200, .body = "{ truncated"},
        {.status = 200, .body = R"({"generated_at": "2025-03-14", "contributor_count": 1, "global": {},
                                    "by_size_bucket": {}})"},
    };
    for (const auto& failure : failures) {
        server.enqueueAnswer(Route::benchmarks, failure);
        const auto cache = client->getBenchmarks(false).get();
        ASSERT_TRUE(cache);
        EXPECT_EQ(cache->fetchedAt, fetchedAt);
    }
    EXPECT_EQ(client->benchmarksLastUpdated().get(), "Updated 2 days ago");
    EXPECT_FALSE(client->isBenchmarksCacheValid().get());

    server.enqueueAnswer(Route::benchmarks, failures[2]);
    EXPECT_EQ(failureOf(client->fetchBenchmarks()), "Cannot decode date: 2025-03-14");
    server.enqueueAnswer(Route::benchmarks, failures[1]);
    EXPECT_THROW(client->fetchBenchmarks().get(), JsonDecodingError);
}

TEST_F(NorvaneIndexServiceBenchmarks, AnAnswerNestedDeeperThanAnyDocumentIsRefusedAsItIsRead) {
    constexpr std::size_t levels = 4'000'000;
    server.enqueueAnswer(Route::benchmarks,
                         {.status = 200, .body = std::string(levels, '[') + std::string(levels, ']')});
    EXPECT_EQ(failureOf(client->fetchBenchmarks()), "The data nests deeper than 64 levels");
}

TEST_F(NorvaneIndexServiceBenchmarks, TheCacheFileCarriesItsFetchTimeIntoTheNextRun) {
    client->getBenchmarks(false).get();
    clock.advance(hours(50));
    restartClient();
    EXPECT_EQ(client->benchmarksLastUpdated().get(), "Updated 2 days ago");
    EXPECT_EQ(benchmarkFetches(), 1u);

    auto withFraction = nlohmann::json::parse(readFile(cacheFile()));
    withFraction["fetched_at"] = "2025-03-14T08:30:00.250Z";
    folder.writeFile("benchmarks-cache.json", withFraction.dump());
    restartClient();
    EXPECT_EQ(client->getCachedBenchmarks().get()->fetchedAt, testing::utc("2025-03-14T08:30:00.250Z"));
}

TEST_F(NorvaneIndexServiceBenchmarks, ABrokenCacheFileLoadsAsNoneAndStaysUntilAFetchSucceeds) {
    folder.writeFile("benchmarks-cache.json", "[1, 2");
    restartClient();
    EXPECT_FALSE(client->getCachedBenchmarks().get());
    server.enqueueAnswer(Route::benchmarks, {.status = 503});
    EXPECT_FALSE(client->getBenchmarks(false).get());
    EXPECT_EQ(readFile(cacheFile()), "[1, 2");

    client->getBenchmarks(false).get();
    EXPECT_NO_THROW(CachedBenchmarks::fromJSON(nlohmann::json::parse(readFile(cacheFile()))));
}

TEST_F(NorvaneIndexServiceBenchmarks, PercentilesNeedAtLeastOneContributor) {
    const auto percentilesFor = [this](std::int64_t contributors) {
        server.enqueueAnswer(Route::benchmarks, {.status = 200, .body = benchmarksBody(contributors)});
        clock.advance(hours(24));
        return client->calculatePercentiles(30, std::nullopt, std::nullopt, ProjectSizeBucket::medium).get();
    };
    EXPECT_FALSE(percentilesFor(0));
    const auto ninetyNine = percentilesFor(99);
    ASSERT_TRUE(ninetyNine);
    EXPECT_EQ(std::tuple(ninetyNine->hasSufficientData, ninetyNine->sizeBucket, ninetyNine->throughputPercentile,
                         ninetyNine->norvaneIndex),
              std::tuple(false, "Medium*", 50, 50));
    EXPECT_TRUE(percentilesFor(100)->hasSufficientData);

    server.setAnswer(Route::benchmarks, Answer{.status = 500});
    clock.advance(hours(24));
    EXPECT_TRUE(client->calculatePercentiles(30, std::nullopt, std::nullopt, ProjectSizeBucket::medium).get());
}

TEST_F(NorvaneIndexServiceBenchmarks, PlacesTheUserAmongTheStoredReports) {
    storeReports();
    const auto small = client->calculatePercentiles(30, 80, 2, ProjectSizeBucket::small).get();
    ASSERT_TRUE(small);
    // 30 lines a day is the middle of 10 to 50.
    EXPECT_EQ(std::tuple(small->sizeBucket, small->sizeBucketContributors, small->contributorCount,
                         small->throughputPercentile, small->velocityRetentionPercentile),
              std::tuple("Small", 5, 5, 50, std::nullopt));

    const auto greenfield = client->calculatePercentiles(*addProject("fresh"), 10, std::nullopt, std::nullopt).get();
    EXPECT_EQ(std::tuple(greenfield->sizeBucket, greenfield->throughputPercentile), std::tuple("Greenfield*", 10));
}

} // namespace
} // namespace norvane
