// What an attacker who posts reports of its own can read back of somebody else's figures: it plays
// the attacker over HTTP against the real service, in pairs of services that differ only in the
// victim's figures. Whatever it does, two services whose victims' figures round alike must publish
// the same document, so that no script can tell them apart.
#include "index-server/IndexServer.h"

#include "core/community/AnonymousActivityReport.h"
#include "platform/HttpClient.h"
#include "tests/index-server/RawConnection.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace norvane::indexserver {
namespace {

constexpr const char* attackerAddress = "127.0.0.2";
constexpr const char* bystandersAddress = "127.0.0.3";

/// One service of its own, whose clock stands still so that two of them holding figures that
/// publish alike answer with the same bytes.
class Service {
public:
    Service() : port_(server_.start()) {}

    /// Posts one day's report of `device`: `codeLines` lines of code, and a velocity retention.
    void post(const char* from, const std::string& device, const std::string& bucket, std::int64_t codeLines,
              std::optional<double> retention) {
        const AnonymousActivityReport report{.deviceId = device,
                                             .reportedAt = testing::utc("2025-03-14T10:00:00Z"),
                                             .activityDate = testing::utc("2025-03-13T23:00:00Z"),
                                             .codeLinesChanged = codeLines,
                                             .sizeBucket = bucket,
                                             .projectType = "organic",
                                             .velocityRetention = retention};
        ASSERT_EQ(testing::postFrom(port_, from, "/v1/activity", report.toJSONString()), 201) << device;
    }

    /// The benchmarks as GET /v1/benchmarks serves them once every report is taken in.
    std::string published() {
        server_.awaitBenchmarks();
        return platform::HttpClient()
            .perform({.method = "GET", .url = server_.baseURL() + "/benchmarks", .timeout = std::chrono::seconds(5)})
            .body;
    }

private:
    testing::ManualClock clock_{testing::utc("2025-03-20T12:00:00Z")};
    IndexServer server_{":memory:", {.clock = clock_.clock()}};
    int port_;
};

/// The attacker's four devices in `bucket`, each with the code lines of a day in `figures`.
void postAttackersOwn(Service& service, const std::string& bucket, const std::vector<std::int64_t>& figures) {
    for (std::size_t device = 0; device < figures.size(); ++device) {
        service.post(attackerAddress, "attacker-" + std::to_string(device), bucket, figures[device],
                     50.0 + 10.0 * static_cast<double>(device));
    }
}

TEST(PublishedBenchmarks, FourIdsOfAnAttackerTellTheFifthFigureOnlyToTwoSignificantDigits) {
    // Two victims, alone in the bucket with the attacker, whose figures publish alike: 4321 and 4349
    // lines a day (4300), retention 61.2 and 60.8 (61).
    const std::vector<std::vector<std::int64_t>> attackersFigures{
        {1000, 2000, 8000, 9000}, // the victim in the middle
        {4400, 5000, 6000, 7000}, // the victim below all four
        {1000, 2000, 3000, 4330}, // one of the attacker's figures between the two victims'
        {1000, 2000, 3000, 4000}, // the victim above all four
    };
    for (const auto& figures : attackersFigures) {
        Service first;
        Service second;
        first.post(bystandersAddress, "victim", "Enterprise", 4321, 61.2);
        second.post(bystandersAddress, "victim", "Enterprise", 4349, 60.8);
        postAttackersOwn(first, "Enterprise", figures);
        postAttackersOwn(second, "Enterprise", figures);

        const auto published = first.published();
        EXPECT_EQ(published, second.published()) << figures[0];
        const auto enterprise = nlohmann::json::parse(published)["by_size_bucket"]["Enterprise"];
        ASSERT_EQ(enterprise["sample_size"], 5) << published;
        const auto throughput = enterprise["throughput"];
        EXPECT_TRUE(throughput["p10"] == 4300 || throughput["p50"] == 4300 || throughput["p90"] == 4300) << published;
    }
}

TEST(PublishedBenchmarks, AnAttackerMovingItsOwnFigureThroughTheVictimsLearnsNoMore) {
    // Each further report of the same day adds 10 lines to the attacker's last device: its figure
    // passes 4321 and 4349 on its way from 4300 to 4360.
    Service first;
    Service second;
    first.post(bystandersAddress, "victim", "Enterprise", 4321, 61.2);
    second.post(bystandersAddress, "victim", "Enterprise", 4349, 60.8);
    postAttackersOwn(first, "Enterprise", {1000, 2000, 3000, 4300});
    postAttackersOwn(second, "Enterprise", {1000, 2000, 3000, 4300});
    for (int step = 0; step <= 6; ++step) {
        EXPECT_EQ(first.published(), second.published()) << "at " << 4300 + 10 * step;
        first.post(attackerAddress, "attacker-3", "Enterprise", 10, std::nullopt);
        second.post(attackerAddress, "attacker-3", "Enterprise", 10, std::nullopt);
    }
}

TEST(PublishedBenchmarks, WhatABucketTooSmallToPublishHoldsLeavesNoTrace) {
    // Medium holds the attacker's four devices and a bystander; then, in turn, a sixth contributor
    // alone in Large, the bystander's own day in Large, and in Small five contributors of whom only
    // one reports a velocity retention.
    const auto mediumOfFive = [](Service& service) {
        postAttackersOwn(service, "Medium", {120, 300, 450, 800});
        service.post(bystandersAddress, "bystander", "Medium", 610, 35.5);
    };
    const auto smallOfFive = [](Service& service, std::optional<double> loneRetention) {
        for (int device = 0; device < 5; ++device) {
            service.post(bystandersAddress, "small-" + std::to_string(device), "Small", 40 + 30 * device,
                         device == 0 ? loneRetention : std::nullopt);
        }
    };
    Service without;
    mediumOfFive(without);
    const auto published = without.published();
    ASSERT_TRUE(nlohmann::json::parse(published)["global"].contains("throughput")) << published;

    Service lone;
    mediumOfFive(lone);
    lone.post(bystandersAddress, "lone", "Large", 7777, 12.5);
    EXPECT_EQ(lone.published(), published);

    Service otherLone;
    mediumOfFive(otherLone);
    otherLone.post(bystandersAddress, "lone", "Large", 1234, 90);
    EXPECT_EQ(otherLone.published(), published);

    Service sharing;
    mediumOfFive(sharing);
    sharing.post(bystandersAddress, "bystander", "Large", 7777, 12.5);
    EXPECT_EQ(sharing.published(), published);

    Service lowRetention;
    Service highRetention;
    for (auto* service : {&lowRetention, &highRetention}) mediumOfFive(*service);
    smallOfFive(lowRetention, 12.5);
    smallOfFive(highRetention, 150);
    const auto withSmall = lowRetention.published();
    EXPECT_EQ(withSmall, highRetention.published());
    EXPECT_FALSE(nlohmann::json::parse(withSmall)["by_size_bucket"]["Small"].contains("velocity_retention"));
}

} // namespace
} // namespace norvane::indexserver
