#include "index-server/IndexServer.h"

#include "core/community/AnonymousActivityReport.h"
#include "core/community/CommunityBenchmarks.h"
#include "platform/HttpClient.h"
#include "platform/Iso8601.h"
#include "platform/ProcessRunner.h"
#include "tests/index-server/RawConnection.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

namespace norvane::indexserver {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class IndexServerTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    std::unique_ptr<IndexServer> server;
    platform::HttpClient http;
    int port = 0;

    void SetUp() override { restart({}); }

    void restart(IndexServer::Options options) {
        server.reset();
        server = std::make_unique<IndexServer>((folder.path() / "reports.db").string(), options);
        port = server->start();
    }

    platform::HttpResponse call(const std::string& method, const std::string& path, const std::string& body = {},
                                const std::string& contentType = "application/json") const {
        return http.perform({.method = method,
                             .url = server->baseURL() + "/" + path,
                             .headers = {"Content-Type: " + contentType},
                             .body = body,
                             .timeout = seconds(5)});
    }

    static nlohmann::json report(const std::string& device, const std::string& bucket = "Medium") {
        AnonymousActivityReport report{.deviceId = device,
                                       .reportedAt = *platform::Iso8601::parse("2025-03-14T10:00:00Z"),
                                       .activityDate = *platform::Iso8601::parse("2025-03-13T23:00:00Z"),
                                       .codeLinesChanged = 12,
                                       .sizeBucket = bucket,
                                       .projectType = "organic",
                                       .velocityRetention = 64};
        return nlohmann::json::parse(report.toJSONString());
    }

    static std::string with(nlohmann::json object, const std::string& key, nlohmann::json value) {
        object[key] = std::move(value);
        return object.dump();
    }

    std::int64_t contributors() const { return nlohmann::json::parse(call("GET", "stats/contributors").body)["count"]; }

    /// The status of a report sent by hand in chunks of `chunkSize` bytes.
    int postChunked(const std::string& body, std::size_t chunkSize) const {
        testing::RawConnection connection(port, "POST /v1/activity HTTP/1.1\r\nContent-Type: application/json\r\n"
                                                "Transfer-Encoding: chunked\r\n\r\n");
        for (std::size_t offset = 0; offset < body.size(); offset += chunkSize) {
            const std::string chunk = body.substr(offset, chunkSize);
            std::ostringstream size;
            size << std::hex << chunk.size() << "\r\n" << chunk << "\r\n";
            if (!connection.send(size.str())) {
                break;
            }
        }
        connection.send("0\r\n\r\n");
        return connection.status();
    }

    static long residentKiB() {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmRSS:", 0) == 0) {
                return std::stol(line.substr(6));
            }
        }
        return 0;
    }
};

TEST_F(IndexServerTest, StoresWellFormedReportsOfAnyJsonMediaType) {
    for (const char* type : {"application/json", "Application/JSON", "application/json; charset=utf-8"}) {
        EXPECT_EQ(call("POST", "activity", report(type).dump(), type).status, 201) << type;
    }
    for (const char* type : {"application/jsonx", "text/plain", "application/json-patch+json"}) {
        EXPECT_EQ(call("POST", "activity", report("device").dump(), type).status, 415) << type;
    }
    EXPECT_EQ(server->storedReportCount(), 3);
    EXPECT_EQ(contributors(), 3);
}

TEST_F(IndexServerTest, RefusesReportsNoClientBuildsAndSaysWhy) {
    auto missingKey = report("device");
    missingKey.erase("commit_count");
    const std::string sound = report("device").dump();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{\"device_id\": ", "not valid JSON"},
        {"[]", "Expected an object"},
        {missingKey.dump(), "commitCount"},
        {with(report("device"), "code_lines_changed", "many"), "codeLinesChanged"},
        {report("device", "Huge").dump(), "size_bucket"},
        {with(report("device"), "code_lines_changed", -1000000), "code_lines_changed"},
        {with(report("device"), "period_days", 5), "period_days"},
        {with(report("device"), "project_type", "chaotic"), "project_type"},
        {with(report("device"), "norvane_version", "<script>"), "norvane_version"},
        {with(report("device"), "velocity_retention", 1.7e308), "velocity_retention"},
        {with(report("device"), "maturity_multiplier", 1e300), "maturity_multiplier"},
        {report("").dump(), "device_id"},
        {report(std::string(200, 'x')).dump(), "device_id"},
        {sound.substr(0, sound.size() - 1) + R"(,"deviceId":"other"})", "deviceId"},
        {sound.substr(0, sound.size() - 1) + R"(,"commit_count":3})", "commit_count"},
        {R"({"device_id":"dev)"
         "\xff\xfe"
         R"("})",
         "UTF-8"},
    };
    for (const auto& [body, reason] : cases) {
        const auto answer = call("POST", "activity", body);
        EXPECT_EQ(answer.status, 400) << body.substr(0, 60);
        EXPECT_NE(nlohmann::json::parse(answer.body)["error"].get<std::string>().find(reason), std::string::npos)
            << answer.body;
    }
    EXPECT_EQ(server->storedReportCount(), 0);
}

TEST_F(IndexServerTest, HoldsTheLimitsOfARequestWhateverItsFraming) {
    const std::string sound = report("chunked").dump();
    EXPECT_EQ(postChunked(sound, 100), 201);
    EXPECT_EQ(postChunked(std::string(100 * 1024, ' ') + sound, 4096), 413);
    // A body far beyond the limit is not even read to its end.
    EXPECT_NE(postChunked(std::string(50 * 1024 * 1024, ' ') + sound, 1024 * 1024), 201);
    EXPECT_EQ(call("POST", "activity", std::string(70 * 1024, ' ') + sound).status, 413);

    const std::string head = "POST /v1/activity HTTP/1.1\r\nContent-Type: application/json\r\n";
    const std::vector<std::pair<std::string, int>> cases{
        {"Transfer-Encoding: gzip\r\n\r\n", 501},
        {"Transfer-Encoding: chunked\r\nContent-Length: 3\r\n\r\n", 400},
        {"Content-Length: 3\r\nContent-Length: 4\r\n\r\n", 400},
        {"Content-Length: 1048576\r\nExpect: 100-continue\r\n\r\n", 413},
        {"X-Padding: " + std::string(20 * 1024, 'x') + "\r\n\r\n", 400},
    };
    for (const auto& [rest, status] : cases) {
        EXPECT_EQ(testing::RawConnection(port, head + rest).status(), status) << rest.substr(0, 50);
    }
    EXPECT_EQ(server->storedReportCount(), 1);
}

TEST_F(IndexServerTest, ComputesBenchmarksGloballyAndBySizeBucket) {
    for (const auto& [device, bucket] : std::vector<std::pair<std::string, std::string>>{
             {"a", "Medium"}, {"b", "Medium"}, {"c", "Large"}, {"a", "Medium"}}) {
        ASSERT_EQ(call("POST", "activity", report(device, bucket).dump()).status, 201);
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
    call("POST", "activity", report("keep").dump());
    call("POST", "activity", report("a/b c").dump());
    const auto answer = call("DELETE", "devices/a%2Fb%20c");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(nlohmann::json::parse(answer.body)["deleted"], 1);
    EXPECT_EQ(contributors(), 1);
    EXPECT_EQ(call("DELETE", "devices/").status, 404);
}

TEST_F(IndexServerTest, KeepsItsReportsInTheDataFile) {
    call("POST", "activity", report("durable").dump());
    restart({});
    EXPECT_EQ(contributors(), 1);
}

TEST_F(IndexServerTest, KeepsNothingPerRequestUnlessTestsAskToRecordTheLatest) {
    const std::string heavy = std::string(60 * 1024, ' ') + report("heavy").dump();
    const auto postMany = [&] {
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(call("POST", "activity", heavy).status, 201);
        }
    };
    postMany();
    const long afterFirst = residentKiB();
    postMany();
    // Keeping a thousand bodies of 60 KiB would take about 60 MiB more.
    EXPECT_LT(residentKiB() - afterFirst, 16 * 1024);
    EXPECT_TRUE(server->receivedRequests().empty());

    restart({.recordedRequests = 2});
    call("POST", "activity", report("first").dump());
    call("POST", "activity", report("second").dump());
    call("DELETE", "devices/third");
    const auto received = server->receivedRequests();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(received[0].body)["device_id"], "second");
    EXPECT_EQ(received[1].target, "/v1/devices/third");
}

TEST_F(IndexServerTest, SlowClientsDelayNoOneAndAreCutOffAtTheirDeadline) {
    restart({.limits = {.requestTimeout = seconds(2)}});
    std::vector<std::unique_ptr<testing::RawConnection>> halfHeads;
    for (int i = 0; i < 60; ++i) {
        halfHeads.push_back(
            std::make_unique<testing::RawConnection>(port, "POST /v1/activity HTTP/1.1\r\nHost: x\r\n"));
    }
    EXPECT_EQ(call("GET", "stats/contributors").status, 200);

    // Bytes that keep coming do not keep the connection open: the whole request has a deadline.
    testing::RawConnection trickling(port, "POST /v1/activity HTTP/1.1\r\n");
    int sent = 0;
    while (sent < 100 && trickling.send("X")) {
        ++sent;
        std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_LT(sent, 100);
    for (const auto& connection : halfHeads) {
        EXPECT_NE(connection->status(seconds(5)), -1);
    }
}

TEST_F(IndexServerTest, ConnectionsBeyondTheLimitAreTurnedAwayAtOnce) {
    restart({.limits = {.maxConnections = 4}});
    std::vector<std::unique_ptr<testing::RawConnection>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<testing::RawConnection>(port));
    }
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(testing::RawConnection(port).status(seconds(2)), 503);
    idle.clear();
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(call("POST", "activity", report("after").dump()).status, 201);
}

TEST_F(IndexServerTest, CountsEveryReportOfManyClientsAtOnce) {
    constexpr int clients = 20;
    constexpr int postsEach = 200;
    std::atomic<int> refused = 0;
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            for (int i = 0; i < postsEach; ++i) {
                refused += call("POST", "activity", report("device-" + std::to_string(client)).dump()).status != 201;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(server->storedReportCount(), clients * postsEach);
    EXPECT_EQ(contributors(), clients);
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
