#include "index-server/IndexServer.h"

#include "core/community/AnonymousActivityReport.h"
#include "core/community/CommunityBenchmarks.h"
#include "platform/HttpClient.h"
#include "platform/Iso8601.h"
#include "platform/ProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace norvane::indexserver {
namespace {

using std::chrono::milliseconds;

class IndexServerTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    std::unique_ptr<IndexServer> server = std::make_unique<IndexServer>((folder.path() / "reports.db").string());
    platform::HttpClient http;
    int port = 0;

    void SetUp() override { port = server->start(); }

    platform::HttpResponse call(const std::string& method, const std::string& path, const std::string& body = {},
                                const std::string& contentType = "application/json") const {
        return http.perform({.method = method,
                             .url = server->baseURL() + "/" + path,
                             .headers = {"Content-Type: " + contentType},
                             .body = body,
                             .timeout = std::chrono::seconds(5)});
    }

    static std::string report(const std::string& device, const std::string& bucket = "Medium") {
        AnonymousActivityReport report{.deviceId = device,
                                       .reportedAt = *platform::Iso8601::parse("2025-03-14T10:00:00Z"),
                                       .activityDate = *platform::Iso8601::parse("2025-03-13T23:00:00Z"),
                                       .codeLinesChanged = 12,
                                       .sizeBucket = bucket,
                                       .projectType = "organic",
                                       .velocityRetention = 64};
        return report.toJSONString();
    }

    std::int64_t contributors() const { return nlohmann::json::parse(call("GET", "stats/contributors").body)["count"]; }
};

TEST_F(IndexServerTest, StoresWellFormedReports) {
    const auto answer = call("POST", "activity", report("device-1"));
    EXPECT_EQ(answer.status, 201);
    EXPECT_EQ(server->storedReportCount(), 1);
    EXPECT_EQ(contributors(), 1);
}

TEST_F(IndexServerTest, RefusesBadReportsWithoutStoringThem) {
    auto missingKey = nlohmann::json::parse(report("device"));
    missingKey.erase("commit_count");
    auto wrongType = nlohmann::json::parse(report("device"));
    wrongType["code_lines_changed"] = "many";
    const std::vector<std::pair<std::string, long>> cases{
        {"{\"device_id\": ", 400},       {"[]", 400},
        {missingKey.dump(), 400},        {wrongType.dump(), 400},
        {report("device", "Huge"), 400}, {std::string(70 * 1024, ' ') + report("device"), 413},
    };
    for (const auto& [body, status] : cases) {
        EXPECT_EQ(call("POST", "activity", body).status, status) << body.substr(0, 40);
    }
    EXPECT_EQ(call("POST", "activity", report("device"), "text/plain").status, 415);
    EXPECT_EQ(server->storedReportCount(), 0);
}

TEST_F(IndexServerTest, ComputesBenchmarksGloballyAndBySizeBucket) {
    for (const auto& [device, bucket] : std::vector<std::pair<std::string, std::string>>{
             {"a", "Medium"}, {"b", "Medium"}, {"c", "Large"}, {"a", "Medium"}}) {
        ASSERT_EQ(call("POST", "activity", report(device, bucket)).status, 201);
    }
    const auto answer = call("GET", "benchmarks");
    ASSERT_EQ(answer.status, 200);
    const auto benchmarks = CommunityBenchmarks::fromJSON(nlohmann::json::parse(answer.body));
    EXPECT_EQ(benchmarks.contributorCount, 3);
    EXPECT_EQ(benchmarks.bySizeBucket.at("Medium").sampleSize, 2);
    EXPECT_EQ(benchmarks.bySizeBucket.at("Large").sampleSize, 1);
    EXPECT_FALSE(benchmarks.bySizeBucket.contains("Small"));
    // Device "a" reported twice on one day: 24 lines that day.
    EXPECT_DOUBLE_EQ(benchmarks.global.throughput->p90, 12 + (24 - 12) * 0.8);
    EXPECT_EQ(benchmarks.global.velocityRetention->p50, 64);
    EXPECT_EQ(benchmarks.bySizeBucket.at("Medium").codeRatio->p50, 100);
}

TEST_F(IndexServerTest, DeletesOneDevicesReports) {
    call("POST", "activity", report("keep"));
    call("POST", "activity", report("a/b c"));
    const auto answer = call("DELETE", "devices/a%2Fb%20c");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(nlohmann::json::parse(answer.body)["deleted"], 1);
    EXPECT_EQ(contributors(), 1);
    EXPECT_EQ(call("DELETE", "devices/").status, 404);
}

TEST_F(IndexServerTest, KeepsItsReportsInTheDataFile) {
    call("POST", "activity", report("durable"));
    server.reset();
    server = std::make_unique<IndexServer>((folder.path() / "reports.db").string());
    server->start();
    EXPECT_EQ(contributors(), 1);
}

TEST_F(IndexServerTest, PlaysScriptedAnswersBeforeThePersistentOne) {
    server->enqueueAnswer(IndexServer::Route::contributors, {.status = 503, .body = "busy"});
    server->enqueueAnswer(IndexServer::Route::contributors, {.delay = milliseconds(50)});
    server->setAnswer(IndexServer::Route::contributors, IndexServer::ScriptedAnswer{.status = 200, .body = "{"});
    EXPECT_EQ(call("GET", "stats/contributors").status, 503);
    EXPECT_EQ(call("GET", "stats/contributors").body, R"({"count":0})");
    EXPECT_EQ(call("GET", "stats/contributors").body, "{");
    server->setAnswer(IndexServer::Route::contributors, std::nullopt);
    EXPECT_EQ(contributors(), 0);
    EXPECT_EQ(server->receivedRequests().size(), 4u);
    EXPECT_EQ(server->receivedRequests()[0].target, "/v1/stats/contributors");
}

TEST_F(IndexServerTest, TheProgramRefusesAnAddressInUse) {
    const char* bin = std::getenv("NORVANE_TEST_BIN");
    ASSERT_NE(bin, nullptr);
    // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
    platform::PosixProcessRunner runner;
    const auto result =
        runner.run({.executable = "timeout",
                    .arguments = {"10", std::string(bin) + "/norvane-index-server", "--port", std::to_string(port),
                                  "--data", (folder.path() / "other.db").string()}});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("Cannot listen on 127.0.0.1:"), std::string::npos);

    const auto withoutData = runner.run({.executable = std::string(bin) + "/norvane-index-server"});
    EXPECT_NE(withoutData.exitStatus, 0);
}

} // namespace
} // namespace norvane::indexserver
