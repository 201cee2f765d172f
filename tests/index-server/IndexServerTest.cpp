#include "index-server/IndexServer.h"

#include "index-server/ReportStore.h"

#include "core/community/AnonymousActivityReport.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/HttpClient.h"
#include "platform/ProcessRunner.h"
#include "platform/persistence/Database.h"
#include "tests/index-server/RawConnection.h"
#include "tests/support/CapturedStandardError.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"
#include "tests/support/OwnFileSystems.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

namespace norvane::indexserver {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

using testing::RawConnection;

class IndexServerTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    /// The service's clock; the reports below lie six and a half days before it.
    testing::ManualClock clock{testing::utc("2025-03-20T12:00:00Z")};
    std::unique_ptr<IndexServer> server;
    platform::HttpClient http;
    int port = 0;

    void SetUp() override { restart({}); }

    void restart(IndexServer::Options options) {
        server.reset();
        options.clock = clock.clock();
        server = std::make_unique<IndexServer>((folder.path() / "reports.db").string(), options);
        port = server->start();
    }

    platform::HttpResponse call(const std::string& method, const std::string& path, const std::string& body = {},
                                std::vector<std::string> headers = {"Content-Type: application/json"}) const {
        return http.perform({.method = method,
                             .url = server->baseURL() + "/" + path,
                             .headers = std::move(headers),
                             .body = body,
                             .timeout = seconds(5)});
    }

    static nlohmann::json report(const std::string& device, const std::string& bucket = "Medium",
                                 platform::Date activityDate = testing::utc("2025-03-13T23:00:00Z")) {
        AnonymousActivityReport report{.deviceId = device,
                                       .reportedAt = activityDate + std::chrono::hours(11),
                                       .activityDate = activityDate,
                                       .codeLinesChanged = 12,
                                       .sizeBucket = bucket,
                                       .projectType = "organic",
                                       .velocityRetention = 64};
        return nlohmann::json::parse(report.toJSONString());
    }

    /// A report of the day, for the program, which runs on the system's clock.
    static nlohmann::json reportOfToday(const std::string& device) {
        return report(device, "Medium", platform::currentDate() - std::chrono::hours(1));
    }

    static std::string with(nlohmann::json object, const std::string& key, nlohmann::json value) {
        object[key] = std::move(value);
        return object.dump();
    }

    std::int64_t contributors() const { return nlohmann::json::parse(call("GET", "stats/contributors").body)["count"]; }

    /// The status of one report of `device` posted from the address `from`.
    int postFrom(const char* from, const std::string& device, const std::string& bucket = "Medium",
                 platform::Date activityDate = testing::utc("2025-03-13T23:00:00Z")) const {
        return testing::postFrom(port, from, "/v1/activity", report(device, bucket, activityDate).dump());
    }

    static std::string contents(const std::filesystem::path& file) {
        std::ifstream stream(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }

    nlohmann::json benchmarks() const {
        server->awaitBenchmarks();
        return nlohmann::json::parse(call("GET", "benchmarks").body);
    }

    /// The status of a report sent in chunks; 0 when the server broke the connection off.
    long postChunked(const std::string& body) const {
        try {
            return call("POST", "activity", body, {"Content-Type: application/json", "Transfer-Encoding: chunked"})
                .status;
        } catch (const platform::HttpTransportError&) {
            return 0;
        }
    }
};

TEST_F(IndexServerTest, StoresWellFormedReportsOfAnyJsonMediaType) {
    for (const char* type : {"application/json", "Application/JSON", "application/json; charset=utf-8"}) {
        EXPECT_EQ(call("POST", "activity", report(type).dump(), {std::string("Content-Type: ") + type}).status, 201);
    }
    for (const char* type : {"application/jsonx", "text/plain", "application/json-patch+json"}) {
        EXPECT_EQ(call("POST", "activity", report("device").dump(), {std::string("Content-Type: ") + type}).status,
                  415);
    }
    EXPECT_EQ(server->storedReportCount(), 3);
}

TEST_F(IndexServerTest, RefusesReportsNoClientBuildsAndSaysWhy) {
    auto missingKey = report("device");
    missingKey.erase("commit_count");
    const std::string sound = report("device").dump();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{\"device_id\": ", "not valid JSON"},
        {"[]", "Expected an object holding \"device_id\""},
        {"{}", "No value for key \"device_id\""},
        {missingKey.dump(), "\"commit_count\""},
        {with(report("device"), "code_lines_changed", "many"), "\"code_lines_changed\""},
        {report("device", "Huge").dump(), "size_bucket"},
        {with(report("device"), "code_lines_changed", -1000000), "code_lines_changed"},
        {with(report("device"), "period_days", 5), "period_days"},
        {with(report("device"), "project_type", "chaotic"), "project_type"},
        {with(report("device"), "norvane_version", "<script>"), "norvane_version"},
        {with(report("device"), "velocity_retention", 1.7e308), "velocity_retention"},
        {with(report("device"), "maturity_multiplier", 1e300), "maturity_multiplier"},
        // Beyond what the client computes, against the service's clock of 2025-03-20T12:00:00Z.
        {with(report("device"), "activity_date", "1970-01-01T00:00:00Z"), "activity_date"},
        {with(report("device"), "activity_date", "2025-03-12T11:59:59Z"), "activity_date"},
        {with(report("device"), "activity_date", "2025-03-21T12:00:01Z"), "activity_date"},
        {with(report("device"), "velocity_retention", 1e9), "velocity_retention"},
        {with(report("device"), "velocity_retention", 1000001), "velocity_retention"},
        {with(report("device"), "velocity_retention", -0.5), "velocity_retention"},
        {with(report("device"), "velocity_history_days", 30), "velocity_history_days"},
        {with(report("device"), "project_age_months", 673), "project_age_months"},
        {with(report("device"), "project_age_months", -1201), "project_age_months"},
        {with(report("device"), "maturity_multiplier", 2.42), "maturity_multiplier"},
        {with(report("device"), "maturity_multiplier", -29.01), "maturity_multiplier"},
        {report("").dump(), "device_id"},
        {report(std::string(129, 'x')).dump(), "\"device_id\" must hold 1 to 128 bytes"},
        {report(std::string("a\0b", 3)).dump(), "device_id"},
        {report("a\x7F").dump(), "without control characters"},
        {report("a\u0085b").dump(), "without control characters"},
        {report("a\u0080b").dump(), "without control characters"},
        {report("a\u009Fb").dump(), "without control characters"},
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

// The utmost a client sends: a report queued 8 days before the service's clock or dated a day
// after it, a first commit at the start of 1970 (20,167 days: 672.2 months), one a century ahead,
// the maturity formula's ends (1 + 9 * 0.05 + 9 * 0.04 + 24 * 0.025 and 1 - 1200 * 0.025), a
// device id of 128 bytes, of ASCII or not.
TEST_F(IndexServerTest, TakesTheUtmostValuesAClientSends) {
    const std::vector<std::pair<std::string, nlohmann::json>> utmost{
        {"activity_date", "2025-03-12T12:00:00Z"},
        {"activity_date", "2025-03-21T12:00:00Z"},
        {"project_age_months", 672.2},
        {"project_age_months", -1200},
        {"maturity_multiplier", 2.4},
        {"maturity_multiplier", -29},
        {"velocity_retention", 1e6},
        {"velocity_history_days", 90},
        {"device_id", std::string(128, 'x')},
        {"device_id", "caf\xC3\xA9" + std::string(123, '~')},
        {"device_id", "no\u00A0break"}, // the first character past the C1 controls
    };
    for (const auto& [key, value] : utmost) {
        EXPECT_EQ(call("POST", "activity", with(report("device"), key, value)).status, 201) << key << " " << value;
    }
    EXPECT_EQ(server->storedReportCount(), static_cast<std::int64_t>(utmost.size()));
}

TEST_F(IndexServerTest, HoldsTheLimitsOfARequestWhateverItsFraming) {
    const std::string sound = report("chunked").dump();
    EXPECT_EQ(postChunked(sound), 201);
    EXPECT_EQ(postChunked(std::string(100 * 1024, ' ') + sound), 413);
    // A body far beyond the limit is not even read to its end.
    EXPECT_NE(postChunked(std::string(50 * 1024 * 1024, ' ') + sound), 201);
    EXPECT_EQ(call("POST", "activity", std::string(70 * 1024, ' ') + sound).status, 413);

    const std::string head = "POST /v1/activity HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n";
    const std::vector<std::pair<std::string, int>> cases{
        {"Transfer-Encoding: gzip\r\n\r\n", 501},
        {"Transfer-Encoding: chunked\r\nContent-Length: 3\r\n\r\n", 400},
        {"Content-Length: 3\r\nContent-Length: 4\r\n\r\n", 400},
        {"Content-Length: 1048576\r\nExpect: 100-continue\r\n\r\n", 413},
        {"X-Padding: " + std::string(20 * 1024, 'x') + "\r\n\r\n", 431},
    };
    for (const auto& [rest, status] : cases) {
        EXPECT_EQ(RawConnection(port, head + rest).status(), status) << rest.substr(0, 50);
    }
    EXPECT_EQ(server->storedReportCount(), 1);
}

TEST_F(IndexServerTest, TakesABodyOfExactlyTheLimitAndRefusesOneByteMore) {
    restart({.limits = {.maxBodyBytes = 4096}});
    const std::string sound = report("edge").dump();
    const std::string atTheLimit = std::string(4096 - sound.size(), ' ') + sound;
    const std::string oneByteOver = " " + atTheLimit;
    EXPECT_EQ(call("POST", "activity", atTheLimit).status, 201);
    EXPECT_EQ(call("POST", "activity", oneByteOver).status, 413);
    EXPECT_EQ(postChunked(atTheLimit), 201);
    EXPECT_EQ(postChunked(oneByteOver), 413);
    EXPECT_EQ(server->storedReportCount(), 2);
}

TEST_F(IndexServerTest, AnswersALengthItWillNeverReadAtOnce) {
    // A deadline far beyond the wait for the answer: an answer given only at the deadline fails.
    restart({.limits = {.requestTimeout = std::chrono::minutes(10)}});
    const std::string head =
        "POST /v1/activity HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nContent-Length: ";
    const std::vector<std::pair<std::string, int>> cases{
        {"-1", 413},
        {"-99999999999999999999", 413},
        {"18446744073709551615", 413},
        {"99999999999999999999999999", 413},
        {std::to_string(1024 * 1024), 413},
        {"12abc", 400},
        {"0x10", 400},
    };
    for (const auto& [length, status] : cases) {
        EXPECT_EQ(RawConnection(port, head + length + "\r\n\r\n").status(), status) << length;
    }

    // The same for the size of a chunk, which is hexadecimal digits and nothing else.
    const std::string chunked = "POST /v1/activity HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n";
    const std::vector<std::pair<std::string, int>> chunks{
        {"-5\r\nhello\r\n0\r\n\r\n", 400},
        {"+5\r\nhello\r\n0\r\n\r\n", 400},
        {"0x5\r\nhello\r\n0\r\n\r\n", 400},
        {" 5\r\nhello\r\n0\r\n\r\n", 400},
        {"\r\nhello\r\n0\r\n\r\n", 400},
        {"5\r\nhello!!\r\n0\r\n\r\n", 400},
        {"FFFFFFFFFFFFFFFF\r\nhello\r\n", 413},
        {"fffffffffffffffffffff\r\nhello\r\n", 413},
        {"30000\r\nhello\r\n", 413},
        // A size line without end, and sizes that fit one by one but not together.
        {"5;" + std::string(5000, 'x'), 400},
        {"10000\r\n" + std::string(0x10000, ' ') + "\r\n10001\r\n", 413},
    };
    for (const auto& [body, status] : chunks) {
        EXPECT_EQ(RawConnection(port, chunked + body).status(), status) << body.substr(0, 50);
    }
    EXPECT_EQ(server->storedReportCount(), 0);

    // A sound report in one chunk, framed as HTTP allows or not.
    const std::string sound = report("framed").dump();
    std::ostringstream hexadecimal;
    hexadecimal << std::hex << sound.size();
    const std::string size = hexadecimal.str();
    const std::vector<std::pair<std::string, int>> framings{
        {size + " ;ext=1\r\n" + sound + "\r\n0\r\n\r\n", 201},
        {std::string(16 - size.size(), '0') + size + "\r\n" + sound + "\r\n0\r\n\r\n", 201},
        {std::string(17 - size.size(), '0') + size + "\r\n" + sound + "\r\n0\r\n\r\n", 413},
        {size + "\n" + sound + "\r\n0\r\n\r\n", 400},
        {size + "\r\n" + sound + "\n0\r\n\r\n", 400},
    };
    for (const auto& [body, status] : framings) {
        EXPECT_EQ(RawConnection(port, chunked + body).status(), status) << body.substr(0, 24);
    }
    EXPECT_EQ(server->storedReportCount(), 2);
}

TEST_F(IndexServerTest, KeepsItsReportsInTheDataFile) {
    call("POST", "activity", report("durable").dump());
    restart({});
    EXPECT_EQ(contributors(), 1);
}

// The index on the device alone that the version before made beside the one on device and day.
TEST_F(IndexServerTest, DropsTheIndexThatTheVersionBeforeMadeAndKeepsTheReports) {
    call("POST", "activity", report("durable").dump());
    server.reset();
    const auto file = (folder.path() / "reports.db").string();
    platform::Database(file, platform::Database::Access::readWrite)
        .execute("CREATE INDEX IF NOT EXISTS reports_by_device ON reports (device_id)");
    restart({});
    EXPECT_EQ(contributors(), 1);
    auto indexes = platform::Database(file, platform::Database::Access::readOnly)
                       .prepare("SELECT group_concat(name) FROM sqlite_master WHERE type = 'index'");
    indexes.step();
    EXPECT_EQ(std::get<std::string>(indexes.column(0)), "reports_by_device_and_day");
}

// Reports that came in while a read held them back from the file (the log stood at 124 MB beside a
// 74 MB file after a load, for good): once the read ends, the log is cut back to 8 MB.
TEST_F(IndexServerTest, TheLogIsCutBackOnceTheReadThatHeldItBackEnds) {
    const auto file = (folder.path() / "logged.db").string();
    const auto logBytes = [&] { return std::filesystem::file_size(file + "-wal"); };
    const auto reportOf = [](int device) {
        return AnonymousActivityReport{.deviceId = "device-" + std::to_string(device),
                                       .reportedAt = testing::utc("2025-03-14T10:00:00Z"),
                                       .activityDate = testing::utc("2025-03-13T23:00:00Z"),
                                       .sizeBucket = "Medium",
                                       .projectType = "organic"};
    };
    ReportStore store(file);
    {
        platform::Database reading(file, platform::Database::Access::readOnly);
        platform::Transaction held(reading, platform::Transaction::Kind::read);
        reading.prepare("SELECT COUNT(*) FROM reports").step();
        for (int device = 0; device < 2000; ++device) store.insert(reportOf(device * 7919 % 2000));
        ASSERT_GT(logBytes(), 8u * 1024 * 1024);
    }
    store.readContributors([](auto&) {}, [] { return TotalsScope{}; }, [](auto&) {});
    store.insert(reportOf(0));
    EXPECT_LE(logBytes(), 8u * 1024 * 1024);
    EXPECT_EQ(store.reportCount(), 2001);
}

TEST_F(IndexServerTest, MakesItsDataFileForItsOwnerAloneWhateverTheUmask) {
    const auto file = folder.path() / "private.db";
    const mode_t before = ::umask(022);
    {
        IndexServer made(file.string());
        made.start();
    }
    ::umask(before);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const auto path = file.string() + suffix;
        if (suffix[0] == '\0' || std::filesystem::exists(path)) {
            EXPECT_EQ(std::filesystem::status(path).permissions(),
                      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
                << path;
        }
    }
}

// A data file of the version before, open to others, stayed so, and gave its rights to the log
// and shared memory made beside it.
TEST_F(IndexServerTest, MakesADataFileOfAnEarlierVersionItsOwnersAlone) {
    const auto file = folder.path() / "earlier.db";
    IndexServer(file.string()).start();
    for (const char* suffix : {"", "-shm"}) {
        std::ofstream(file.string() + suffix, std::ios::app).close();
        std::filesystem::permissions(file.string() + suffix, std::filesystem::perms(0644));
    }
    IndexServer reopened(file.string(), {.clock = clock.clock()});
    reopened.start();
    EXPECT_EQ(http.perform({.method = "POST",
                            .url = reopened.baseURL() + "/activity",
                            .headers = {"Content-Type: application/json"},
                            .body = report("stored").dump(),
                            .timeout = seconds(5)})
                  .status,
              201);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(std::filesystem::status(file.string() + suffix).permissions(), std::filesystem::perms(0600))
            << suffix;
    }
}

// Two services on one file published different figures from it: the second is refused.
TEST_F(IndexServerTest, RefusesADataFileThatAnotherServiceHolds) {
    const auto file = (folder.path() / "reports.db").string();
    EXPECT_THROW(IndexServer{file}, std::runtime_error);
    platform::PosixProcessRunner runner;
    // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
    const auto result = runner.run(
        {.executable = "timeout",
         .arguments = {"10", testing::builtProgram("norvane-index-server").string(), "--port", "0", "--data", file}});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError, "norvane-index-server: " + file +
                                        " is the data file of another service that runs now; give each service a "
                                        "data file of its own\n");
    EXPECT_EQ(call("POST", "activity", report("still served").dump()).status, 201);
}

// A data file deleted or replaced while the service runs took the reports that followed, each
// answered 201, into a file that no one would open again: the service goes on with the file at
// its path, and the log of the file that was there cannot pass for that one's.
TEST_F(IndexServerTest, GoesOnWithTheDataFileAtItsPathWhenItsOwnIsReplacedOrDeleted) {
    const auto file = folder.path() / "reports.db";
    for (const char* device : {"one", "two"}) EXPECT_EQ(postFrom("127.0.0.2", device), 201);
    const auto copy = folder.path() / "copy.db";
    {
        ReportStore elsewhere(copy.string());
        elsewhere.insert(AnonymousActivityReport{.deviceId = "copied",
                                                 .reportedAt = testing::utc("2025-03-14T10:00:00Z"),
                                                 .activityDate = testing::utc("2025-03-13T23:00:00Z"),
                                                 .sizeBucket = "Medium",
                                                 .projectType = "organic"});
    }
    std::filesystem::rename(copy, file);
    {
        const testing::CapturedStandardError log;
        EXPECT_EQ(postFrom("127.0.0.2", "after the copy"), 201);
    }
    EXPECT_EQ(contributors(), 2) << "copied, after the copy";

    std::filesystem::remove(file);
    {
        const testing::CapturedStandardError log;
        EXPECT_EQ(postFrom("127.0.0.2", "after the deletion"), 201);
    }
    EXPECT_EQ(contributors(), 1);
    restart({});
    EXPECT_EQ(contributors(), 1) << "the file at the path keeps them";
    EXPECT_EQ(server->storedReportCount(), 1);
}

// The file at the path, once another replaced the service's own, is what it publishes from, though
// what noticed it was a deletion that found nothing there.
TEST_F(IndexServerTest, PublishesFromTheDataFileThatReplacedItsOwnOnceADeletionNoticesIt) {
    for (int device = 0; device < 5; ++device) {
        const auto from = "127.0.0." + std::to_string(2 + device);
        EXPECT_EQ(postFrom(from.c_str(), "medium-" + std::to_string(device)), 201);
    }
    ASSERT_TRUE(benchmarks()["by_size_bucket"].contains("Medium"));
    const auto copy = folder.path() / "copy.db";
    {
        ReportStore elsewhere(copy.string());
        for (int device = 0; device < 5; ++device) {
            elsewhere.insert(AnonymousActivityReport{.deviceId = "small-" + std::to_string(device),
                                                     .reportedAt = testing::utc("2025-03-14T10:00:00Z"),
                                                     .activityDate = testing::utc("2025-03-13T23:00:00Z"),
                                                     .codeLinesChanged = 40,
                                                     .sizeBucket = "Small",
                                                     .projectType = "organic"});
        }
    }
    std::filesystem::rename(copy, folder.path() / "reports.db");
    {
        const testing::CapturedStandardError log;
        EXPECT_EQ(call("DELETE", "devices/nobody").body, R"({"deleted":0})");
    }
    const auto published = benchmarks()["by_size_bucket"];
    EXPECT_TRUE(published.contains("Small") && !published.contains("Medium")) << published.dump();
}

TEST_F(IndexServerTest, CountsContributorsAsTheirReportsComeAndGo) {
    for (const char* device : {"first", "second", "first", "third"}) call("POST", "activity", report(device).dump());
    EXPECT_EQ(contributors(), 3);
    call("DELETE", "devices/first");
    EXPECT_EQ(contributors(), 2);
    call("DELETE", "devices/first");
    call("DELETE", "devices/never-seen");
    EXPECT_EQ(contributors(), 2);
    call("POST", "activity", report("first").dump());
    restart({});
    EXPECT_EQ(contributors(), 3);
}

TEST_F(IndexServerTest, RecordsRequestsOnlyWhenTestsAskAndOnlyTheLatest) {
    call("POST", "activity", report("kept nowhere").dump());
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
    std::vector<std::unique_ptr<RawConnection>> halfHeads;
    for (int i = 0; i < 60; ++i) {
        const auto from = "127.0.0." + std::to_string(2 + i % 10);
        halfHeads.push_back(
            std::make_unique<RawConnection>(port, "POST /v1/activity HTTP/1.1\r\nHost: x\r\n", from.c_str()));
    }
    EXPECT_EQ(call("GET", "stats/contributors").status, 200);

    // Bytes that keep coming do not keep the connection open: the whole request has a deadline.
    RawConnection trickling(port, "POST /v1/activity HTTP/1.1\r\n");
    int sent = 0;
    while (sent < 100 && trickling.send("X")) {
        ++sent;
        std::this_thread::sleep_for(milliseconds(100));
    }
    EXPECT_LT(sent, 100);
    for (const auto& connection : halfHeads) EXPECT_NE(connection->status(seconds(5)), -1);
}

TEST_F(IndexServerTest, ConnectionsBeyondTheLimitAreTurnedAwayAtOnceWhileNoneIsIdle) {
    restart({.limits = {.maxConnections = 4}, .recordedRequests = 4});
    // Requests whose answers take their time: their connections are served, not idle.
    server->setAnswer(IndexServer::Route::contributors, IndexServer::ScriptedAnswer{.delay = std::chrono::minutes(10)});
    std::vector<std::unique_ptr<RawConnection>> busy;
    for (int i = 0; i < 4; ++i) {
        busy.push_back(std::make_unique<RawConnection>(port, "GET /v1/stats/contributors HTTP/1.1\r\nHost: x\r\n\r\n"));
    }
    ASSERT_TRUE(testing::waitUntil([&] { return server->receivedRequests().size() == 4; }));
    EXPECT_EQ(RawConnection(port).status(seconds(2)), 503);
    // Stopping ends the answers' waits.
    restart({});
    EXPECT_EQ(call("POST", "activity", report("after").dump()).status, 201);
}

// Clients that hold every place without sending keep no one out (17 addresses holding 8 idle
// connections each took all 128 places): a newcomer takes the place of a connection of the address
// that holds the most, which is answered 503, while an address at its share pushes no one out and
// a client with one connection never yields.
TEST_F(IndexServerTest, IdleConnectionsGiveTheirPlacesUpToNewcomers) {
    restart(
        {.limits = {.requestTimeout = std::chrono::minutes(10), .maxConnections = 4, .maxConnectionsPerAddress = 2}});
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (const char* from : {"127.0.0.2", "127.0.0.2", "127.0.0.3", "127.0.0.3"}) {
        idle.push_back(std::make_unique<RawConnection>(port, "", from));
        ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == idle.size(); }));
    }
    EXPECT_EQ(postFrom("127.0.0.4", "newcomer"), 201);
    EXPECT_EQ(idle[0]->status(), 503) << "of the addresses that hold the most, the one silent longest";
    // The newcomer's place is free once its connection is done with, a moment after its answer.
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 3; }));

    idle.push_back(std::make_unique<RawConnection>(port, "", "127.0.0.5"));
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 4; }));
    EXPECT_EQ(RawConnection(port, "", "127.0.0.3").status(), 429);
    EXPECT_EQ(server->openConnectionsFrom("127.0.0.2"), 1u);
    EXPECT_EQ(postFrom("127.0.0.6", "another newcomer"), 201);
    EXPECT_EQ(idle[2]->status(), 503) << "the address that holds the most, not the client silent longest";
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 3; }));

    idle.push_back(std::make_unique<RawConnection>(port, "", "127.0.0.7"));
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 4; }));
    EXPECT_EQ(RawConnection(port, "", "127.0.0.8").status(), 503) << "each address holds one";
    for (const char* lone : {"127.0.0.2", "127.0.0.3", "127.0.0.5", "127.0.0.7"}) {
        EXPECT_EQ(server->openConnectionsFrom(lone), 1u) << lone;
    }
    idle.clear();
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 0; }));
    EXPECT_EQ(contributors(), 2);
}

// A client whose request pauses between its head and its body (a slow link, a busy machine) beside
// clients that keep sending bytes (16 addresses trickling a header byte every 0.1 s on 8
// connections each had it answered 503 every time): what protects a connection is its address's
// share of the places, not how busily its client sends. Of the address that holds the most, the
// connection silent longest yields, and one that sent bytes since it came is not silent.
TEST_F(IndexServerTest, ARequestThatPausesKeepsItsPlaceBesideClientsThatKeepSending) {
    restart(
        {.limits = {.requestTimeout = std::chrono::minutes(10), .maxConnections = 4, .maxConnectionsPerAddress = 2}});
    std::vector<std::unique_ptr<RawConnection>> senders;
    for (const char* from : {"127.0.0.2", "127.0.0.2", "127.0.0.3", "127.0.0.3"}) {
        senders.push_back(std::make_unique<RawConnection>(port, "", from));
        ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == senders.size(); }));
    }
    // The head of a report whose body follows once the service asks for it, which tells that the
    // service read the head.
    const auto headOf = [](const std::string& body) {
        return "POST /v1/activity HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nExpect: 100-continue\r\n"
               "Content-Length: " +
               std::to_string(body.size()) + "\r\n\r\n";
    };
    const std::string pausedBody = report("paused").dump();
    RawConnection paused(port, headOf(pausedBody), "127.0.0.4");
    ASSERT_TRUE(paused.head());
    EXPECT_EQ(senders[0]->status(), 503) << "of the addresses that hold the most, the one silent longest";

    // The others send their heads after the paused client's last byte; the second of 127.0.0.3 first.
    std::map<int, std::string> bodies;
    for (const int sender : {1, 3, 2}) {
        bodies[sender] = report("sender-" + std::to_string(sender)).dump();
        ASSERT_TRUE(senders[sender]->send(headOf(bodies[sender])));
        ASSERT_TRUE(senders[sender]->head());
    }
    EXPECT_EQ(RawConnection(port, "", "127.0.0.2").status(), 503) << "it would hold as many as 127.0.0.3";
    EXPECT_EQ(postFrom("127.0.0.5", "newcomer"), 201);
    EXPECT_EQ(senders[3]->status(), 503) << "heard before the first of its address";
    for (const int sender : {1, 2}) {
        ASSERT_TRUE(senders[sender]->send(bodies[sender]));
        EXPECT_EQ(senders[sender]->status(), 201) << sender;
    }
    ASSERT_TRUE(paused.send(pausedBody));
    EXPECT_EQ(paused.status(), 201);
    EXPECT_EQ(contributors(), 4);
}

// A client that keeps to its share, one request at a time on each of its connections, had some
// answered 429 (8 loops of POSTs: 4 in 4,800, and 4 POSTs cut off): a connection's place was
// given back only once its answer had gone out, so the client's next connection came first.
TEST_F(IndexServerTest, AClientThatKeepsToItsShareOfTheConnectionsIsNeverRefused) {
    restart({.limits = {.maxConnectionsPerAddress = 1}});
    std::atomic<int> refused = 0;
    std::vector<std::thread> clients;
    for (int client = 0; client < 8; ++client) {
        clients.emplace_back([&, from = "127.0.0." + std::to_string(2 + client)] {
            for (int request = 0; request < 1000; ++request) {
                RawConnection connection(port, "GET /v1/stats/contributors HTTP/1.1\r\nHost: x\r\n\r\n", from.c_str());
                refused += connection.statusAsAClientReadsIt() != 200;
            }
        });
    }
    for (auto& client : clients) client.join();
    EXPECT_EQ(refused, 0);
}

// A report whose store waits for the data file (another program holds it) while newcomers want
// every place: it is answered as what became of it, never 503 for a report that was stored.
TEST_F(IndexServerTest, AReportThatWaitsForTheDataFileIsAnsweredAsStored) {
    restart({.limits = {.requestTimeout = std::chrono::minutes(10), .maxConnections = 2, .maxConnectionsPerAddress = 2},
             .recordedRequests = 1});
    platform::Database beside((folder.path() / "reports.db").string(), platform::Database::Access::readWrite);
    beside.execute("BEGIN IMMEDIATE");
    RawConnection waiting(port, testing::postRequest("/v1/activity", report("waiting").dump()), "127.0.0.2");
    ASSERT_TRUE(testing::waitUntil([&] { return server->receivedRequests().size() == 1; }));
    RawConnection idle(port, "", "127.0.0.2");
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == 2; }));
    // The report has been silent longer than the idle connection of its address.
    EXPECT_EQ(RawConnection(port, "GET /v1/stats/contributors HTTP/1.1\r\nHost: x\r\n\r\n", "127.0.0.3").status(), 200);
    EXPECT_EQ(idle.status(), 503);
    beside.execute("COMMIT");
    EXPECT_EQ(waiting.status(), 201);
    EXPECT_EQ(server->storedReportCount(), 1);
}

// One address opening many connections at once (beside 128 addresses holding one each, 20 at once
// pushed 11 to 20 of them out, and 500 at once 53 to 118): its connections count toward its share
// from the moment they are accepted, so that it takes no more places than evens the addresses out.
TEST_F(IndexServerTest, ABurstFromOneAddressTakesNoMorePlacesThanEvensTheAddressesOut) {
    restart(
        {.limits = {.requestTimeout = std::chrono::minutes(10), .maxConnections = 4, .maxConnectionsPerAddress = 3}});
    std::vector<std::unique_ptr<RawConnection>> held;
    for (const char* from : {"127.0.0.2", "127.0.0.2", "127.0.0.2", "127.0.0.3"}) {
        held.push_back(std::make_unique<RawConnection>(port, "", from));
        ASSERT_TRUE(testing::waitUntil([&] { return server->openConnections() == held.size(); }));
    }
    std::vector<std::unique_ptr<RawConnection>> burst;
    for (int connection = 0; connection < 3; ++connection) {
        burst.push_back(std::make_unique<RawConnection>(port, "", "127.0.0.4"));
    }
    EXPECT_EQ(burst[1]->status(), 503);
    EXPECT_EQ(burst[2]->status(), 503);
    EXPECT_EQ(held[0]->status(), 503);
    EXPECT_EQ(server->openConnectionsFrom("127.0.0.2"), 2u);
    EXPECT_EQ(server->openConnectionsFrom("127.0.0.3"), 1u);
    ASSERT_TRUE(burst[0]->send(testing::postRequest("/v1/activity", report("burst").dump())));
    EXPECT_EQ(burst[0]->status(), 201);
}

// One id over eight connections at once, as a client that would fill the disk did: its day takes
// as many reports as a device may store, not one more, and its other days and other devices go on.
TEST_F(IndexServerTest, OneDeviceStoresOnlySoManyReportsAnActivityDay) {
    restart({.maxReportsPerDevicePerDay = 25});
    std::atomic<int> stored = 0;
    std::atomic<int> refused = 0;
    std::atomic<int> failed = 0;
    std::vector<std::thread> connections;
    for (int connection = 0; connection < 8; ++connection) {
        connections.emplace_back([&, connection] {
            for (int post = 0; post < 10; ++post) {
                // Any moment of one UTC date is the same activity day.
                const auto at = testing::utc("2025-03-15T00:00:00Z") + std::chrono::minutes(connection * 120 + post);
                const int status =
                    testing::postFrom(port, "127.0.0.2", "/v1/activity", report("busy", "Medium", at).dump());
                (status == 201 ? stored : status == 429 ? refused : failed) += 1;
            }
        });
    }
    for (auto& connection : connections) connection.join();
    EXPECT_EQ(stored, 25);
    EXPECT_EQ(refused, 55);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(server->storedReportCount(), 25);
    EXPECT_EQ(postFrom("127.0.0.2", "busy", "Medium", testing::utc("2025-03-15T23:59:59Z")), 429);
    EXPECT_EQ(postFrom("127.0.0.2", "busy", "Medium", testing::utc("2025-03-16T00:00:00Z")), 201);
    EXPECT_EQ(postFrom("127.0.0.2", "busy", "Medium", testing::utc("2025-03-14T23:59:59Z")), 201) << "the day before";
    EXPECT_EQ(postFrom("127.0.0.2", "quiet", "Medium", testing::utc("2025-03-15T12:00:00Z")), 201);
    EXPECT_EQ(server->storedReportCount(), 28);
}

// One address spreading its reports over ever new device ids and activity days stored 50,000 in
// 22 s, about 88 million a month: it stores only so many a day of the service's clock, whatever
// devices and days they carry.
TEST_F(IndexServerTest, OneAddressStoresOnlySoManyReportsADay) {
    restart({.maxReportsPerAddressPerDay = 4});
    for (const char* device : {"one", "two", "one", "three"}) EXPECT_EQ(postFrom("127.0.0.2", device), 201);
    EXPECT_EQ(postFrom("127.0.0.2", "four"), 429);
    EXPECT_EQ(postFrom("127.0.0.2", "one", "Medium", testing::utc("2025-03-19T12:00:00Z")), 429)
        << "a known device, another activity day";
    EXPECT_EQ(postFrom("127.0.0.3", "four"), 201) << "another address";

    clock.advance(std::chrono::hours(12) - seconds(1));
    EXPECT_EQ(postFrom("127.0.0.2", "four"), 429) << "the service's day, 2025-03-20 UTC, still";
    clock.advance(seconds(1));
    EXPECT_EQ(postFrom("127.0.0.2", "four"), 201);
    EXPECT_EQ(server->storedReportCount(), 6);
}

// A disk that refuses writes (here, a trigger added beside the running service): the reports it
// answered 500 spend none of their address's new devices.
TEST_F(IndexServerTest, AReportThatCouldNotBeStoredSpendsNoneOfItsAddresssNewDevices) {
    restart({.maxNewDevicesPerAddressPerHour = 2});
    platform::Database beside((folder.path() / "reports.db").string(), platform::Database::Access::readWrite);
    beside.execute("CREATE TRIGGER full BEFORE INSERT ON reports BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    {
        const testing::CapturedStandardError log;
        for (const char* device : {"one", "two", "three"}) EXPECT_EQ(postFrom("127.0.0.2", device), 500);
    }
    beside.execute("DROP TRIGGER full");
    for (const char* device : {"one", "two"}) EXPECT_EQ(postFrom("127.0.0.2", device), 201);
    EXPECT_EQ(postFrom("127.0.0.2", "three"), 429);
    EXPECT_EQ(contributors(), 2);
}

TEST_F(IndexServerTest, AnswersAMethodThatAPathIsNotServedForWithTheMethodsItIs) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"GET", "/v1/activity", "POST"},         {"PUT", "/v1/activity", "POST"},
        {"POST", "/v1/benchmarks", "GET, HEAD"}, {"DELETE", "/v1/stats/contributors", "GET, HEAD"},
        {"GET", "/v1/devices/abc", "DELETE"},
    };
    for (const auto& [method, path, allowed] : cases) {
        const auto answer =
            RawConnection(port, method + " " + path + " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n").answer();
        ASSERT_TRUE(answer) << method << " " << path;
        EXPECT_EQ(answer->rfind("HTTP/1.1 405 ", 0), 0u) << *answer;
        EXPECT_NE(answer->find("\r\nAllow: " + allowed + "\r\n"), std::string::npos) << *answer;
    }
    EXPECT_EQ(RawConnection(port, "GET /v1/nowhere HTTP/1.1\r\nHost: x\r\n\r\n").status(), 404);
    EXPECT_EQ(RawConnection(port, "HEAD /v1/benchmarks HTTP/1.1\r\nHost: x\r\n\r\n").status(), 200);
}

TEST_F(IndexServerTest, ServesOnTheIpv6LoopbackUnderItsAddressInBrackets) {
    server.reset();
    IndexServer onIpv6((folder.path() / "reports.db").string());
    int ipv6Port = 0;
    try {
        ipv6Port = onIpv6.start("::1");
    } catch (const std::runtime_error& error) {
        GTEST_SKIP() << "this system has no IPv6 loopback: " << error.what();
    }
    EXPECT_EQ(onIpv6.baseURL(), "http://[::1]:" + std::to_string(ipv6Port) + "/v1");
    EXPECT_EQ(
        http.perform({.method = "GET", .url = onIpv6.baseURL() + "/stats/contributors", .timeout = seconds(5)}).status,
        200);
}

// An absolute-form target was answered 404, a 20 KB one with a closed connection, a 15 KB header
// 400 with no word, and a device id no client sends taken for one that has no reports.
TEST_F(IndexServerTest, AnswersEachRequestAsHttpAsksAndSaysWhy) {
    const auto get = [](const std::string& target, const std::string& fields = {}) {
        return "GET " + target + " HTTP/1.1\r\nHost: index\r\n" + fields + "\r\n";
    };
    const auto remove = [](const std::string& id) {
        return "DELETE /v1/devices/" + id + " HTTP/1.1\r\nHost: x\r\n\r\n";
    };
    // A request line and a field line of `bytes`, their line breaks included.
    const auto requestLine = [](std::size_t bytes) {
        return "GET /v1/" + std::string(bytes - std::strlen("GET /v1/ HTTP/1.1\r\n"), 'a') + " HTTP/1.1\r\n";
    };
    const auto fieldLine = [](std::size_t bytes) {
        return "X-Padding: " + std::string(bytes - std::strlen("X-Padding: \r\n"), 'x') + "\r\n";
    };
    // Header fields of `bytes` in all, the Host field and the blank line that ends them included.
    const auto fieldsOf = [&fieldLine](std::size_t bytes) {
        const std::string host = "Host: index\r\n";
        return host + fieldLine(8192) + fieldLine(bytes - host.size() - 8192 - 2) + "\r\n";
    };
    const std::string field = "X-Padding: " + std::string(15 * 1024, 'x') + "\r\n";
    const std::string fields = "A: " + std::string(6000, 'a') + "\r\nB: " + std::string(6000, 'b') +
                               "\r\nC: " + std::string(6000, 'c') + "\r\n";
    const std::vector<std::tuple<std::string, int, std::string>> cases{
        {get("http://127.0.0.1/v1/benchmarks"), 200, "contributor_count"},
        {get("HTTP://index:80/v1/stats/contributors"), 200, "count"},
        {"DELETE http://index/v1/devices/abc HTTP/1.1\r\nHost: index\r\n\r\n", 200, "deleted"},
        {get("/v1/" + std::string(20 * 1024, 'a')), 414, "request line exceeds 8192 bytes"},
        {get("/v1/" + std::string(10 * 1024, 'a')), 414, "request line exceeds 8192 bytes"},
        {requestLine(8192) + "Host: index\r\n\r\n", 404, "Nothing is served"},
        {requestLine(8193) + "Host: index\r\n\r\n", 414, "request line exceeds 8192 bytes"},
        {get("/v1/benchmarks", fieldLine(8192)), 200, "contributor_count"},
        {get("/v1/benchmarks", fieldLine(8193)), 431, "header field X-Padding exceeds 8192 bytes"},
        {get("/v1/benchmarks", field), 431, "header field X-Padding exceeds 8192 bytes"},
        {get("/v1/benchmarks", fields), 431, "header fields exceed 16384 bytes"},
        // The request line has its bound of its own: the fields' 16,384 bytes do not count it.
        {"GET /v1/benchmarks HTTP/1.1\r\n" + fieldsOf(16384), 200, "contributor_count"},
        {"GET /v1/benchmarks HTTP/1.1\r\n" + fieldsOf(16385), 431, "header fields exceed 16384 bytes"},
        {requestLine(8192) + fieldsOf(16384), 404, "Nothing is served"},
        {requestLine(8192) + fieldsOf(16385), 431, "header fields exceed 16384 bytes"},
        {get("/v1/nowhere"), 404, "Nothing is served"},
        {remove(std::string(200, 'x')), 400, "1 to 128 bytes"},
        {remove("a%00b"), 400, "control characters"},
        {remove("%FF"), 400, "The device id"},
    };
    for (const auto& [request, status, reason] : cases) {
        const auto answer = RawConnection(port, request).answer();
        ASSERT_TRUE(answer) << request.substr(0, 60);
        EXPECT_EQ(answer->substr(0, 12), "HTTP/1.1 " + std::to_string(status)) << request.substr(0, 60);
        EXPECT_NE(answer->find(reason, answer->find("\r\n\r\n")), std::string::npos) << *answer;
    }
}

TEST_F(IndexServerTest, AnswersARequestWithoutExactlyOneHost400AsHttpAsks) {
    const std::vector<std::pair<std::string, int>> cases{
        {"GET /v1/stats/contributors HTTP/1.1\r\n\r\n", 400},
        {"GET /v1/stats/contributors HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n", 400},
        {"GET /v1/stats/contributors HTTP/1.0\r\nHost: a\r\nHost: a\r\n\r\n", 400},
        {"PUT /v1/activity HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 400},
        {"GET /v1/stats/contributors HTTP/1.0\r\n\r\n", 200},
        {"GET /v1/stats/contributors HTTP/1.1\r\nHost: a\r\n\r\n", 200},
    };
    for (const auto& [request, status] : cases) {
        EXPECT_EQ(RawConnection(port, request).status(), status) << request;
    }
}

TEST_F(IndexServerTest, CountsEveryReportOfManyClientsAtOnce) {
    constexpr int clients = 20;
    constexpr int postsEach = 200;
    std::atomic<int> refused = 0;
    std::vector<std::thread> threads;
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            const auto from = "127.0.0." + std::to_string(2 + client);
            for (int i = 0; i < postsEach; ++i) {
                refused += postFrom(from.c_str(), "device-" + std::to_string(client)) != 201;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(server->storedReportCount(), clients * postsEach);
    EXPECT_EQ(contributors(), clients);
}

TEST_F(IndexServerTest, PublishesABucketAndTheGlobalFiguresOnlyFromFiveContributors) {
    // One report in the largest bucket would otherwise publish exactly its figures.
    EXPECT_EQ(postFrom("127.0.0.2", "lonely", "Enterprise"), 201);
    const auto one = benchmarks();
    EXPECT_EQ(one["contributor_count"], 0) << "nobody behind a published figure";
    EXPECT_TRUE(one["by_size_bucket"].empty()) << one.dump();
    EXPECT_TRUE(one["global"].empty()) << one.dump();

    for (int device = 1; device < 5; ++device) {
        const auto from = "127.0.0." + std::to_string(2 + device);
        EXPECT_EQ(postFrom(from.c_str(), "crowd-" + std::to_string(device), "Enterprise"), 201);
    }
    const auto five = benchmarks();
    EXPECT_EQ(five["contributor_count"], 5);
    EXPECT_EQ(five["by_size_bucket"]["Enterprise"]["sample_size"], 5);
    EXPECT_TRUE(five["global"].contains("throughput"));
}

TEST_F(IndexServerTest, ServesTheBenchmarksComputedOnceForEachChange) {
    const auto first = benchmarks();
    clock.advance(seconds(30));
    EXPECT_EQ(benchmarks(), first) << "nothing changed, nothing computed";

    for (int device = 0; device < 6; ++device)
        call("POST", "activity", report("device-" + std::to_string(device)).dump());
    const auto changed = benchmarks();
    EXPECT_EQ(changed["generated_at"], "2025-03-20T12:00:30Z");
    EXPECT_EQ(changed["contributor_count"], 6);
    // A report of a withheld bucket changes nothing that is published, not even when it was made.
    clock.advance(seconds(30));
    call("POST", "activity", report("alone", "Enterprise").dump());
    EXPECT_EQ(benchmarks(), changed);
    call("DELETE", "devices/device-0");
    EXPECT_EQ(benchmarks()["contributor_count"], 5);
}

TEST_F(IndexServerTest, OneAddressHoldsNoMoreThanItsShareOfTheConnections) {
    restart({.limits = {.maxConnectionsPerAddress = 3}});
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 3; ++i) idle.push_back(std::make_unique<RawConnection>(port, "", "127.0.0.2"));
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnectionsFrom("127.0.0.2") == 3; }));
    EXPECT_EQ(RawConnection(port, "", "127.0.0.2").status(seconds(2)), 429);
    // Everyone else is served meanwhile.
    EXPECT_EQ(postFrom("127.0.0.3", "other address"), 201);
    EXPECT_EQ(call("GET", "stats/contributors").status, 200);

    idle.clear();
    ASSERT_TRUE(testing::waitUntil([&] { return server->openConnectionsFrom("127.0.0.2") == 0; }));
    EXPECT_EQ(postFrom("127.0.0.2", "again"), 201);
}

TEST_F(IndexServerTest, OneAddressBringsOnlySoManyNewDevicesAnHour) {
    restart({.maxNewDevicesPerAddressPerHour = 3});
    for (const char* device : {"one", "two", "three"}) EXPECT_EQ(postFrom("127.0.0.2", device), 201);
    EXPECT_EQ(postFrom("127.0.0.2", "four"), 429);
    EXPECT_EQ(postFrom("127.0.0.2", "one"), 201) << "a device the service knows";
    EXPECT_EQ(postFrom("127.0.0.3", "four"), 201) << "another address";
    EXPECT_EQ(postFrom("127.0.0.2", "five"), 429);

    clock.advance(std::chrono::minutes(59));
    EXPECT_EQ(postFrom("127.0.0.2", "five"), 429);
    clock.advance(std::chrono::minutes(1));
    EXPECT_EQ(postFrom("127.0.0.2", "five"), 201);
    // Ten minutes later the table of the first three is used again, for the ten minutes to come:
    // of the hour before, "five" alone counts.
    clock.advance(std::chrono::minutes(10));
    for (const char* device : {"six", "seven"}) EXPECT_EQ(postFrom("127.0.0.2", device), 201);
    EXPECT_EQ(postFrom("127.0.0.2", "eight"), 429);
    EXPECT_EQ(contributors(), 7);
}

TEST_F(IndexServerTest, TheProgramRefusesADataFileThatHoldsAnythingElse) {
    const auto store = folder.path() / "norvane.store";
    NorvaneDatabase::makeContainer(store);
    const auto notes = folder.path() / "notes.db";
    platform::Database(notes.string(), platform::Database::Access::readWrite).execute("CREATE TABLE notes (text TEXT)");
    const auto text = folder.path() / "notes.txt";
    std::ofstream(text) << "Notes, not a database\n";

    platform::PosixProcessRunner runner;
    for (const auto& file : {store, notes, text}) {
        const auto before = contents(file);
        // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
        const auto result = runner.run({.executable = "timeout",
                                        .arguments = {"10", testing::builtProgram("norvane-index-server").string(),
                                                      "--port", "0", "--data", file.string()}});
        EXPECT_EQ(result.exitStatus, 1) << file;
        EXPECT_NE(result.standardError.find(file.string()), std::string::npos) << result.standardError;
        EXPECT_TRUE(contents(file) == before) << file << " changed";
        EXPECT_FALSE(std::filesystem::exists(file.string() + "-wal")) << file;
    }
}

// What another program adds to the service's own file could drop what the service has answered
// that it keeps: each is refused by name, and the file stays as it was.
TEST_F(IndexServerTest, TheProgramRefusesATriggerAViewOrAnIndexOfAnotherProgramInItsDataFile) {
    const std::vector<std::pair<std::string, std::string>> additions{
        {"CREATE TRIGGER keep_nothing AFTER INSERT ON reports BEGIN DELETE FROM reports WHERE id = new.id; END",
         "trigger keep_nothing"},
        {"CREATE VIEW recent AS SELECT * FROM reports", "view recent"},
        {"CREATE INDEX reports_by_day ON reports (activity_date)", "index reports_by_day"},
        // An index of the name an earlier version gave its own.
        {"CREATE UNIQUE INDEX reports_by_device ON reports (device_id)", "index reports_by_device made otherwise"},
    };
    platform::PosixProcessRunner runner;
    for (const auto& [sql, named] : additions) {
        const auto file = folder.path() / "added.db";
        std::filesystem::remove(file);
        IndexServer(file.string()).start();
        platform::Database(file.string(), platform::Database::Access::readWrite).execute(sql);
        const auto before = contents(file);

        // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
        const auto result = runner.run({.executable = "timeout",
                                        .arguments = {"10", testing::builtProgram("norvane-index-server").string(),
                                                      "--port", "0", "--data", file.string()}});
        EXPECT_EQ(result.exitStatus, 1) << named;
        EXPECT_EQ(result.standardError, "norvane-index-server: " + file.string() +
                                            " holds what the service does not make there (" + named +
                                            "); give the service a data file of its own\n");
        EXPECT_TRUE(contents(file) == before) << named;
    }
}

/// Starts `command` without waiting for it, its output going to the file `output` and its errors to
/// the descriptor `errors`.
pid_t startInBackground(const std::vector<std::string>& command, const std::filesystem::path& output, int errors) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, errors, STDERR_FILENO);
    std::vector<char*> arguments;
    for (const auto& argument : command) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_t process = 0;
    posix_spawn(&process, arguments.front(), &files, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    return process;
}

/// The same, its errors going to the file `errors`.
pid_t startInBackground(const std::vector<std::string>& command, const std::filesystem::path& output,
                        const std::filesystem::path& errors) {
    const int descriptor = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t process = startInBackground(command, output, descriptor);
    ::close(descriptor);
    return process;
}

// The program's name and the message were written apart, and a thread's line went in between
// ("norvane-index-server: norvane-index-server: Failed to update the benchmarks"). Here its
// standard error keeps each write apart, as a message of its own.
TEST_F(IndexServerTest, TheProgramWritesEachLineOfItsLogAtOnce) {
    const auto data = folder.path() / "logged.db";
    IndexServer(data.string()).start();
    std::array<int, 2> errors{};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, errors.data()), 0);
    const std::vector<std::string> command{testing::builtProgram("norvane-index-server").string(), "--port", "0",
                                           "--data", data.string()};
    const pid_t service = startInBackground(command, folder.path() / "out.txt", errors[1]);
    const auto listening = testing::waitForLine(folder.path() / "out.txt");
    ASSERT_EQ(listening.rfind("Listening on ", 0), 0u) << listening;
    // Refused: the first one holds the file.
    ::waitpid(startInBackground(command, folder.path() / "refused.txt", errors[1]), nullptr, 0);
    ::close(errors[1]);
    platform::Database(data.string(), platform::Database::Access::readWrite)
        .execute("CREATE TRIGGER full BEFORE INSERT ON reports BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    EXPECT_EQ(http.perform({.method = "POST",
                            .url = listening.substr(std::strlen("Listening on ")) + "/activity",
                            .headers = {"Content-Type: application/json"},
                            .body = reportOfToday("unstored").dump(),
                            .timeout = seconds(5)})
                  .status,
              500);
    ::kill(service, SIGTERM);
    ::waitpid(service, nullptr, 0);

    std::vector<std::string> writes;
    std::array<char, 65536> buffer{};
    for (ssize_t received = 0; (received = ::recv(errors[0], buffer.data(), buffer.size(), 0)) > 0;) {
        writes.emplace_back(buffer.data(), static_cast<std::size_t>(received));
    }
    ::close(errors[0]);
    EXPECT_EQ(writes.size(), 2u);
    for (const auto& write : writes) {
        EXPECT_TRUE(write.starts_with("norvane-index-server: ") && write.find('\n') == write.size() - 1) << write;
    }
}

// The data file on a disk that fills up while the service runs (a small file system of its own, in
// a user and mount namespace, so no root is needed): the client is told that the report failed, and
// the service's log says why.
TEST_F(IndexServerTest, TheProgramLogsWhyItCouldNotStoreAReport) {
    if (!testing::mayMountOwnFileSystems()) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    const auto data = folder.path() / "full.db";
    IndexServer(data.string()).start();
    const auto disk = folder.path() / "disk";
    std::filesystem::create_directory(disk);
    const std::string script = "mount -t tmpfs -o size=1m tmpfs \"$0\" || { echo cannot mount; exit 1; }\n"
                               "cp \"$1\" \"$0/reports.db\"\n"
                               "free=$(df -k --output=avail \"$0\" | tail -n 1)\n"
                               "head -c $(( (free - 64) * 1024 )) /dev/zero > \"$0/filler\"\n"
                               "exec \"$2\" --port 0 --data \"$0/reports.db\"\n";
    const pid_t service =
        startInBackground({"/usr/bin/unshare", "--user", "--map-root-user", "--mount", "--", "/bin/sh", "-c", script,
                           disk.string(), data.string(), testing::builtProgram("norvane-index-server").string()},
                          folder.path() / "out.txt", folder.path() / "errors.txt");
    const auto listening = testing::waitForLine(folder.path() / "out.txt");
    if (listening == "cannot mount") {
        ::waitpid(service, nullptr, 0);
        GTEST_SKIP() << "this system lets no one mount a file system of their own";
    }
    ASSERT_EQ(listening.rfind("Listening on ", 0), 0u) << listening << testing::readFile(folder.path() / "errors.txt");

    long status = 201;
    for (int sent = 0; sent < 200 && status == 201; ++sent) {
        status = http.perform({.method = "POST",
                               .url = listening.substr(std::strlen("Listening on ")) + "/activity",
                               .headers = {"Content-Type: application/json"},
                               .body = reportOfToday("filling").dump(),
                               .timeout = seconds(5)})
                     .status;
    }
    ::kill(service, SIGTERM);
    ::waitpid(service, nullptr, 0);
    EXPECT_EQ(status, 500);
    const auto log = testing::readFile(folder.path() / "errors.txt");
    EXPECT_NE(log.find("norvane-index-server: POST /v1/activity: the disk is full"), std::string::npos) << log;
}

// A FIFO as the data file kept the program waiting for a writer for good.
TEST_F(IndexServerTest, TheProgramRefusesADataFileThatIsNoRegularFile) {
    const auto fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    platform::PosixProcessRunner runner;
    for (const auto& [file, kind] : {std::pair{fifo, "a FIFO"}, std::pair{folder.path(), "a folder"}}) {
        // Bounded by timeout(1), which kills it if it ignores the first signal.
        const auto result =
            runner.run({.executable = "timeout",
                        .arguments = {"-k", "5", "10", testing::builtProgram("norvane-index-server").string(), "--port",
                                      "0", "--data", file.string()}});
        EXPECT_EQ(result.exitStatus, 1) << kind;
        EXPECT_EQ(result.standardError, "norvane-index-server: " + file.string() + " is " + kind +
                                            ", not a regular file; give the service a file for its reports\n");
    }
}

// SIGTERM and SIGINT were blocked from the start, so a program that waited for its data file
// (another program's lock on it, a FIFO) ignored them until it served.
TEST_F(IndexServerTest, TheProgramEndsAtASignalWhileItWaitsForItsDataFile) {
    const auto data = folder.path() / "locked.db";
    platform::Database locking(data.string(), platform::Database::Access::readWrite);
    locking.execute("BEGIN EXCLUSIVE; CREATE TABLE held (x)");
    const pid_t service =
        startInBackground({testing::builtProgram("norvane-index-server").string(), "--port", "0", "--data", data},
                          folder.path() / "out.txt", folder.path() / "errors.txt");
    // It holds the file open once it waits for the lock.
    ASSERT_TRUE(testing::waitUntil([&] {
        std::error_code error;
        for (const auto& open :
             std::filesystem::directory_iterator("/proc/" + std::to_string(service) + "/fd", error)) {
            if (std::filesystem::read_symlink(open.path(), error) == data) return true;
        }
        return false;
    }));
    ::kill(service, SIGTERM);
    int status = 0;
    ::waitpid(service, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << testing::readFile(folder.path() / "errors.txt");
}

TEST_F(IndexServerTest, TheProgramSaysWhatItCannotTakeOnItsCommandLine) {
    const auto data = (folder.path() / "other.db").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--bogus"}, "The following argument was not expected: --bogus"},
        {{"--data", data, "--bogus"}, "The following argument was not expected: --bogus"},
        {{}, "--data is required"},
        {{"--data", data, "--port", "abc"}, "--port: Value abc not in range 0 to 65535"},
        {{"--data", data, "--port", "70000"}, "--port: Value 70000 not in range 0 to 65535"},
        {{"--data", ""}, "--data: the file name is empty"},
        {{"--data=" + data, "--port=70000"}, "--port: Value 70000 not in range 0 to 65535"},
        // A word beside --help or --version is a mistake, as it is to the other programs.
        {{"--help", "bogus"}, "The following argument was not expected: bogus"},
        {{"--version", "--bogus"}, "The following argument was not expected: --bogus"},
    };
    platform::PosixProcessRunner runner;
    for (const auto& [arguments, message] : cases) {
        // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
        std::vector<std::string> command{"10", testing::builtProgram("norvane-index-server").string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto result = runner.run({.executable = "timeout", .arguments = command});
        EXPECT_EQ(result.exitStatus, 2) << message;
        EXPECT_EQ(result.standardError, "norvane-index-server: " + message +
                                            "\nUsage: norvane-index-server [OPTIONS]\nRun with --help for more "
                                            "information.\n");
    }
    EXPECT_FALSE(std::filesystem::exists(data));
}

TEST_F(IndexServerTest, TheProgramRefusesAnAddressInUse) {
    // Bounded by timeout(1), so a server that wrongly starts cannot hang the test.
    platform::PosixProcessRunner runner;
    const auto result =
        runner.run({.executable = "timeout",
                    .arguments = {"10", testing::builtProgram("norvane-index-server").string(), "--port",
                                  std::to_string(port), "--data", (folder.path() / "other.db").string()}});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("Cannot listen on 127.0.0.1:" + std::to_string(port) + ": "), std::string::npos)
        << result.standardError;
    // Nor is an address of no interface here (one of those kept for documentation).
    const auto elsewhere =
        runner.run({.executable = "timeout",
                    .arguments = {"10", testing::builtProgram("norvane-index-server").string(), "--host", "192.0.2.1",
                                  "--data", (folder.path() / "other.db").string()}});
    EXPECT_EQ(elsewhere.standardError,
              "norvane-index-server: Cannot listen on 192.0.2.1:8080: Cannot assign requested address\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "other.db")) << "made before the address was tried";
    const auto noAddress =
        runner.run({.executable = "timeout",
                    .arguments = {"10", testing::builtProgram("norvane-index-server").string(), "--host", "999.1.1.1",
                                  "--data", (folder.path() / "unheard.db").string()}});
    EXPECT_EQ(noAddress.exitStatus, 1);
    EXPECT_EQ(noAddress.standardError, "norvane-index-server: Cannot listen on 999.1.1.1: not a valid address\n");
    // The address is checked before the data file is made.
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "unheard.db"));

    const auto version =
        runner.run({.executable = testing::builtProgram("norvane-index-server").string(), .arguments = {"--version"}});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput, "norvane-index-server 0.1.0\n");

    const auto help =
        runner.run({.executable = testing::builtProgram("norvane-index-server").string(), .arguments = {"--help"}});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.standardOutput.find("only from 5 or more distinct contributors"), std::string::npos)
        << help.standardOutput;
    // As `norvane-index-server --help > /dev/full` runs it: what could not be written is a failure.
    for (const char* asked : {"--help", "--version"}) {
        const auto lost = runner.run({.executable = "/bin/sh",
                                      .arguments = {"-c", "exec \"$0\" \"$1\" > /dev/full",
                                                    testing::builtProgram("norvane-index-server").string(), asked}});
        EXPECT_EQ(lost.exitStatus, 1) << asked;
        EXPECT_EQ(lost.standardError,
                  "norvane-index-server: Cannot write to standard output: No space left on device\n")
            << asked;
    }
}

} // namespace
} // namespace norvane::indexserver
