#include "core/community/JsonCoding.h"
#include "core/models/DailyActivity.h"
#include "platform/persistence/ModelContainer.h"
#include "tests/core/community/IndexServiceFixture.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/CapturedStandardError.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/UnwritableFile.h"

#include <gmock/gmock.h>

#include <cmath>
#include <fstream>

namespace norvane {
namespace {

using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::seconds;
using testing::CapturedStandardError;
using ::testing::HasSubstr;
using testing::readFile;
using testing::UnwritableFile;

class NorvaneIndexServiceReports : public testing::IndexServiceFixture, protected testing::InMemoryStore {
protected:
    std::shared_ptr<Project> project =
        Project::create("Secret Project Zebra", "/home/alice/secret-zebra", "Private notes", ProjectType::organic);

    void SetUp() override {
        IndexServiceFixture::SetUp();
        context->insert(project);
    }

    void queueThree() {
        server.setAnswer(Route::activity, Answer{.status = 500});
        client->configure(true, "device").get();
        for (const char* device : {"first", "second", "third"}) client->submitReport(report(device)).get();
        server.setAnswer(Route::activity, std::nullopt);
        ASSERT_EQ(client->pendingReportCount().get(), 3u);
    }
};

TEST_F(NorvaneIndexServiceReports, PostsTheReportAsJsonWithTheClientHeaders) {
    const auto sent = report("device-1");
    client->send(sent).get();
    const auto received = requests("POST", "/v1/activity");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].body, sent.toJSONString());
    EXPECT_EQ(header(received[0], "User-Agent"), "NorvaneKit/0.1.0");
    EXPECT_EQ(header(received[0], "Content-Type"), "application/json");
    EXPECT_EQ(server.storedReportCount(), 1);
}

TEST_F(NorvaneIndexServiceReports, TakesTheServiceAddressWithOrWithoutItsVersionPathAndFinalSlash) {
    const std::string host = server.baseURL().substr(0, server.baseURL().size() - std::string("/v1").size());
    std::int64_t devices = 0;
    for (const auto& address : {host, host + "/", host + "/v1", host + "/v1/", host + "//"}) {
        NorvaneIndexService addressed(address, folder.path(), {.clock = clock.clock(), .timeouts = {}});
        EXPECT_NO_THROW(addressed.send(report(address)).get()) << address;
        EXPECT_EQ(addressed.fetchContributorCount().get(), ++devices) << address;
    }
    EXPECT_EQ(posts(), 5u);
    EXPECT_EQ(requests("GET", "/v1/stats/contributors").size(), 5u);
}

TEST_F(NorvaneIndexServiceReports, MapsEveryStatusOfThePostAndFollowsNoRedirect) {
    server.enqueueAnswer(Route::activity, {.status = 201});
    EXPECT_NO_THROW(client->send(report("device")).get());
    // Each kind of SubmissionError has a text of its own.
    for (const auto& [status, message] :
         std::vector<std::pair<int, std::string>>{{429, "Rate limited - will retry later"},
                                                  {404, "Client error: 404"},
                                                  {503, "Server error: 503"},
                                                  {307, "Unexpected status: 307"},
                                                  {600, "Unexpected status: 600"}}) {
        server.enqueueAnswer(Route::activity, {.status = status, .headers = {{"Location", "/v1/stats/contributors"}}});
        EXPECT_EQ(failureOf(client->send(report("device"))), message);
    }
    EXPECT_EQ(server.receivedRequests().size(), 6u);
}

TEST_F(NorvaneIndexServiceReports, ASlowAnswerTimesOutAndTheReportIsQueued) {
    client = makeClient(milliseconds(200));
    server.setAnswer(Route::activity, Answer{.delay = seconds(2)});
    EXPECT_THROW(client->send(report("device")).get(), platform::HttpTransportError);

    client->configure(true, "device").get();
    client->submitReport(report("slow")).get();
    EXPECT_EQ(client->pendingReportCount().get(), 1u);
    EXPECT_EQ(queuedDevices(), std::vector<std::string>{"slow"});
}

TEST_F(NorvaneIndexServiceReports, SubmitsOnlyWhileEnabledWithADeviceIdAndBuildsNothingOtherwise) {
    const auto activity = DailyActivity::create(project, clock.now())->info();
    const auto submit = [&] { client->submitReport(activity, *project, std::nullopt, std::nullopt).get(); };
    server.setAnswer(Route::activity, Answer{.status = 500});
    submit();
    client->configure(true, std::nullopt);
    submit();
    EXPECT_FALSE(client->isSubmissionEnabled().get());
    client->configure(false, "device");
    submit();
    client->submitReport(report("disabled")).get();
    EXPECT_EQ(posts(), 0u);
    EXPECT_EQ(client->pendingReportCount().get(), 0u);

    client->configure(true, "").get();
    EXPECT_TRUE(client->isSubmissionEnabled().get());
    submit();
    EXPECT_EQ(posts(), 1u);
    EXPECT_EQ(client->pendingReportCount().get(), 1u);
}

TEST_F(NorvaneIndexServiceReports, BuildsTheReportFromTheStoreWithoutNamesPathsOrCommitText) {
    project->firstCommitAt = clock.now() - hours(24 * 90);
    auto snapshot = addSnapshot(project, clock.now(), SnapshotType::scc, {{"Rust", 1200}});
    snapshot->latestCommitHash = "deadbeefcafebabe";
    snapshot->latestCommitMessage = "Rotate the zebra credentials";
    snapshot->latestCommitAuthor = "Alice Example";
    auto activity = DailyActivity::create(project, clock.now());
    activity->codeLinesInserted = 40;
    context->insert(activity);
    context->save();

    client->configure(true, "4A1B").get();
    client->submitReport(*activity, *project, snapshot->info(), VelocityRetention::tooEarly()).get();
    const auto received = requests("POST", "/v1/activity");
    ASSERT_EQ(received.size(), 1u);
    const std::string& body = received[0].body;
    for (const char* secret :
         {"Secret", "Zebra", "zebra", "alice", "Alice", "/home", "Private", "deadbeef", "credentials", "Rotate"}) {
        EXPECT_EQ(body.find(secret), std::string::npos) << secret;
    }
    const auto decoded = AnonymousActivityReport::fromJSON(nlohmann::json::parse(body));
    EXPECT_EQ(decoded.deviceId, "4A1B");
    EXPECT_EQ(decoded.primaryLanguage, "Rust");
    // A retention without a percent sends only its history days.
    EXPECT_FALSE(decoded.velocityRetention);
    EXPECT_EQ(decoded.velocityHistoryDays, 90);
}

TEST_F(NorvaneIndexServiceReports, AReportThatCannotBeEncodedIsNeitherSentNorQueued) {
    auto broken = report("device");
    broken.velocityRetention = std::nan("");
    EXPECT_THROW(client->send(broken).get(), JsonEncodingError);
    client->configure(true, "device").get();
    client->submitReport(broken).get();
    client->enqueue(broken).get();
    EXPECT_EQ(posts(), 0u);
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
}

TEST_F(NorvaneIndexServiceReports, ARetryPassKeepsExactlyTheReportsThatFailedAgain) {
    queueThree();
    server.enqueueAnswer(Route::activity, {});
    server.enqueueAnswer(Route::activity, {.status = 429});
    client->retryPendingReports().get();
    EXPECT_EQ(client->pendingReportCount().get(), 1u);
    EXPECT_EQ(queuedDevices(), std::vector<std::string>{"second"});

    client->retryPendingReports().get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    EXPECT_EQ(readFile(queueFile()), "[]");
}

// A full queue (100 reports stayed, and went out when the user opted in again within the week).
TEST_F(NorvaneIndexServiceReports, OptingOutDropsTheQueueSoNothingOfItGoesOutOnOptingInAgain) {
    queueThree();
    for (int filler = 0; filler < 97; ++filler) client->enqueue(report("filler")).get();
    ASSERT_EQ(client->pendingReportCount().get(), 100u);
    client->configure(false, "device").get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    EXPECT_FALSE(std::filesystem::exists(queueFile()));

    restartClient();
    client->configure(true, "device").get();
    client->retryPendingReports().get();
    EXPECT_EQ(posts(), 3u) << "only the first tries";
    EXPECT_EQ(server.storedReportCount(), 0);
}

TEST_F(NorvaneIndexServiceReports, AReportUnderWayWhenTheUserOptsOutIsNotKept) {
    server.setAnswer(Route::activity, Answer{.status = 500, .delay = milliseconds(300)});
    client->configure(true, "device").get();
    auto underWay = client->submitReport(report("late"));
    ASSERT_TRUE(testing::waitUntil([this] { return posts() == 1; }));
    client->configure(false, "device").get();
    underWay.get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    EXPECT_FALSE(std::filesystem::exists(queueFile()));
}

// A service that holds as many reports of the device's day as it keeps answers 429: the report
// waits in the queue, and each pass tries it again.
TEST_F(NorvaneIndexServiceReports, AReportBeyondItsDevicesDayWaitsInTheQueue) {
    indexserver::IndexServer bounded(":memory:", {.maxReportsPerDevicePerDay = 1});
    bounded.start();
    NorvaneIndexService limited(bounded.baseURL(), folder.path() / "bounded", {.clock = clock.clock()});
    limited.configure(true, "device").get();
    limited.submitReport(report("device")).get();
    limited.submitReport(report("device")).get();
    EXPECT_EQ(bounded.storedReportCount(), 1);
    EXPECT_EQ(limited.pendingReportCount().get(), 1u);
    limited.retryPendingReports().get();
    EXPECT_EQ(limited.pendingReportCount().get(), 1u);
    EXPECT_EQ(bounded.storedReportCount(), 1);
}

TEST_F(NorvaneIndexServiceReports, ReportsQueuedDuringAPassAreKept) {
    queueThree();
    server.setAnswer(Route::activity, Answer{.delay = milliseconds(300)});
    auto pass = client->retryPendingReports();
    // The client keeps answering while the pass waits on the network.
    client->enqueue(report("latecomer")).get();
    EXPECT_EQ(client->pendingReportCount().get(), 4u);
    pass.get();
    EXPECT_EQ(client->pendingReportCount().get(), 1u);
    EXPECT_EQ(queuedDevices(), std::vector<std::string>{"latecomer"});
}

TEST_F(NorvaneIndexServiceReports, APassStopsSendingOnceDisabled) {
    queueThree();
    server.setAnswer(Route::activity, Answer{.delay = milliseconds(300)});
    auto pass = client->retryPendingReports();
    auto secondPass = client->retryPendingReports();
    client->configure(false, "device").get();
    pass.get();
    secondPass.get();
    EXPECT_EQ(posts(), 4u);
    EXPECT_EQ(client->pendingReportCount().get(), 0u) << "opting out drops what was not tried";
}

TEST_F(NorvaneIndexServiceReports, TheQueueDropsOldReportsAndKeepsTheNewestHundred) {
    client->enqueue(report("too-old", seconds(604800))).get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    EXPECT_FALSE(std::filesystem::exists(queueFile()));

    client->enqueue(report("just-young-enough", seconds(604799))).get();
    client->enqueue(report("from-the-future", -hours(5))).get();
    for (int i = 0; i < 98; ++i) client->enqueue(report("filler")).get();
    EXPECT_EQ(client->pendingReportCount().get(), 100u);
    client->enqueue(report("newest")).get();
    const auto devices = queuedDevices();
    ASSERT_EQ(devices.size(), 100u);
    EXPECT_EQ(devices.front(), "from-the-future");
    EXPECT_EQ(devices.back(), "newest");

    const auto before = std::filesystem::last_write_time(queueFile());
    client->enqueue(report("too-old", seconds(700000))).get();
    EXPECT_EQ(std::filesystem::last_write_time(queueFile()), before);
}

TEST_F(NorvaneIndexServiceReports, LoadsTheQueueFileAtStartAndDropsWhatAged) {
    nlohmann::ordered_json file = nlohmann::ordered_json::array();
    for (const auto& [device, days] :
         std::vector<std::pair<std::string, int>>{{"eight", 8}, {"six", 6}, {"three", 3}}) {
        file.push_back(report(device, hours(24 * days)).toJSON());
    }
    folder.writeFile("pending-reports.json", file.dump());
    restartClient();
    EXPECT_EQ(client->pendingReportCount().get(), 2u);
    EXPECT_EQ(queuedDevices(), (std::vector<std::string>{"eight", "six", "three"}));

    client->configure(true, "device").get();
    client->retryPendingReports().get();
    EXPECT_EQ(posts(), 2u);
    EXPECT_EQ(readFile(queueFile()), "[]");
}

TEST_F(NorvaneIndexServiceReports, LoadsAtMostTheNewestHundredReportsOfTheQueueFile) {
    nlohmann::ordered_json file = nlohmann::ordered_json::array();
    for (int index = 0; index < 150; ++index) file.push_back(report("report-" + std::to_string(index)).toJSON());
    folder.writeFile("pending-reports.json", file.dump());
    restartClient();
    EXPECT_EQ(client->pendingReportCount().get(), 100u);

    client->enqueue(report("newest")).get();
    const auto devices = queuedDevices();
    ASSERT_EQ(devices.size(), 100u);
    EXPECT_EQ(devices.front(), "report-51");
    EXPECT_EQ(devices.back(), "newest");
}

TEST_F(NorvaneIndexServiceReports, ABrokenQueueFileLoadsEmptyAndStaysUntilTheNextSave) {
    folder.writeFile("pending-reports.json", "{ not json");
    {
        const CapturedStandardError standardError;
        restartClient();
        EXPECT_EQ(client->pendingReportCount().get(), 0u);
        EXPECT_THAT(standardError.text(), HasSubstr("The reports waiting to be sent in " + queueFile().string() +
                                                    " cannot be read, so they are left out: "));
    }
    EXPECT_EQ(readFile(queueFile()), "{ not json");

    auto withFraction = report("fraction").toJSON();
    withFraction["activity_date"] = "2025-03-14T08:30:00.250Z";
    folder.writeFile("pending-reports.json",
                     nlohmann::ordered_json::array({report("fine").toJSON(), withFraction}).dump());
    restartClient();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);

    client->enqueue(report("fresh")).get();
    EXPECT_EQ(queuedDevices(), std::vector<std::string>{"fresh"});
}

TEST_F(NorvaneIndexServiceReports, RequestsDeletionOfOneDeviceAsOnePathStep) {
    client->send(report("abc")).get();
    client->send(report("a/b c")).get();
    EXPECT_EQ(client->fetchContributorCount().get(), 2);

    client->requestDeletion("abc").get();
    client->requestDeletion("a/b c").get();
    EXPECT_EQ(requests("DELETE", "/v1/devices/abc").size(), 1u);
    EXPECT_EQ(requests("DELETE", "/v1/devices/a%2Fb%20c").size(), 1u);
    EXPECT_EQ(client->fetchContributorCount().get(), 0);
    EXPECT_EQ(server.storedReportCount(), 0);

    server.enqueueAnswer(Route::deletion, {.status = 500});
    EXPECT_EQ(failureOf(client->requestDeletion("abc")), "Failed to delete data");
    server.enqueueAnswer(Route::deletion, {.status = 204});
    EXPECT_NO_THROW(client->requestDeletion("abc").get());
}

TEST_F(NorvaneIndexServiceReports, NothingQueuedUnderADeletedOrReplacedIdIsEverSent) {
    server.setAnswer(Route::activity, Answer{.status = 500});
    client->configure(true, "deleted").get();
    client->submitReport(report("deleted")).get();
    server.setAnswer(Route::activity, Answer{.status = 500, .delay = milliseconds(300)});
    auto underWay = client->submitReport(report("deleted"));
    ASSERT_EQ(client->pendingReportCount().get(), 1u);

    client->requestDeletion("deleted").get();
    underWay.get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u) << "neither the queued report nor the one under way";
    EXPECT_EQ(readFile(queueFile()), "[]");
    client->submitReport(report("deleted")).get();

    // Replaced rather than deleted: the same.
    server.setAnswer(Route::activity, Answer{.status = 500});
    client->configure(true, "replaced").get();
    client->submitReport(report("replaced")).get();
    client->forgetDevice("replaced").get();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);

    server.setAnswer(Route::activity, std::nullopt);
    const auto postsBefore = posts();
    client->configure(true, "new").get();
    client->retryPendingReports().get();
    client->submitReport(report("new")).get();
    const auto sent = requests("POST", "/v1/activity");
    ASSERT_EQ(sent.size(), postsBefore + 1);
    EXPECT_EQ(nlohmann::json::parse(sent.back().body)["device_id"], "new");
    EXPECT_EQ(server.storedReportCount(), 1);

    // Named again, a deleted id still sends nothing; one whose deletion the service refused is the
    // user's again, and so is sent under.
    client->configure(true, "deleted").get();
    client->submitReport(report("deleted")).get();
    EXPECT_EQ(failureOf(client->send(report("deleted"))),
              "Nothing is sent under a device ID that was deleted or replaced");
    EXPECT_EQ(server.storedReportCount(), 1);
    server.enqueueAnswer(Route::deletion, {.status = 500});
    EXPECT_EQ(failureOf(client->requestDeletion("kept")), "Failed to delete data");
    client->configure(true, "kept").get();
    client->submitReport(report("kept")).get();
    EXPECT_EQ(server.storedReportCount(), 2);
}

// The queue file cannot be rewritten at the moment of the deletion or the reset, so it still holds
// the old ids' reports at the next start.
TEST_F(NorvaneIndexServiceReports, AnIdDeletedOrResetWhileTheQueueCannotBeSavedIsNeverSentAfterARestart) {
    server.setAnswer(Route::activity, Answer{.status = 500});
    for (const char* device : {"deleted", "replaced"}) {
        client->configure(true, device).get();
        client->submitReport(report(device)).get();
    }
    ASSERT_EQ(queuedDevices(), (std::vector<std::string>{"deleted", "replaced"}));
    EXPECT_EQ(client->pendingReportsSaveFailure().get(), std::nullopt);

    UnwritableFile queue(queueFile());
    client->requestDeletion("deleted").get();
    client->forgetDevice("replaced").get();
    EXPECT_EQ(client->pendingReportsSaveFailure().get(),
              "The reports waiting to be sent could not be saved: Cannot write " + queueFile().string() +
                  ": Is a directory");
    queue.restore();
    ASSERT_EQ(queuedDevices(), (std::vector<std::string>{"deleted", "replaced"}));

    server.setAnswer(Route::activity, std::nullopt);
    const auto postsBefore = posts();
    restartClient();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    client->configure(true, "new").get();
    client->retryPendingReports().get();
    client->submitReport(report("deleted")).get();
    client->submitReport(report("new")).get();
    const auto sent = requests("POST", "/v1/activity");
    ASSERT_EQ(sent.size(), postsBefore + 1);
    EXPECT_EQ(nlohmann::json::parse(sent.back().body)["device_id"], "new");
    EXPECT_EQ(server.storedReportCount(), 1);
    EXPECT_EQ(client->pendingReportsSaveFailure().get(), std::nullopt) << "the retry pass saved the queue again";
}

TEST_F(NorvaneIndexServiceReports, AnIdThatCannotBeKeptForgottenIsNeitherForgottenNorDeleted) {
    server.setAnswer(Route::activity, Answer{.status = 500});
    client->configure(true, "kept").get();
    client->submitReport(report("kept")).get();
    const auto forgottenFile = folder.path() / "forgotten-devices.json";
    UnwritableFile forgotten(forgottenFile);

    const auto refusal = "Cannot write " + forgottenFile.string() + ": Is a directory";
    EXPECT_EQ(failureOf(client->requestDeletion("kept")), refusal);
    EXPECT_EQ(failureOf(client->forgetDevice("kept")), refusal);
    EXPECT_TRUE(requests("DELETE", "/v1/devices/kept").empty()) << "not asked before the id is set aside";
    EXPECT_EQ(queuedDevices(), std::vector<std::string>{"kept"});

    // Which ids were given up can no longer be read: nothing queued is taken for safe.
    forgotten.restore();
    std::ofstream(forgottenFile) << "[\"half";
    server.setAnswer(Route::activity, std::nullopt);
    restartClient();
    EXPECT_EQ(client->pendingReportCount().get(), 0u);
    client->configure(true, "kept").get();
    client->retryPendingReports().get();
    EXPECT_EQ(server.storedReportCount(), 0);
}

TEST_F(NorvaneIndexServiceReports, TheClientsFilesAreForTheUserAloneWhateverTheyReplace) {
    std::filesystem::create_symlink("/dev/null", queueFile());
    server.setAnswer(Route::activity, Answer{.status = 500});
    client->configure(true, "device").get();
    client->submitReport(report("device")).get();
    client->getBenchmarks(true).get();
    client->forgetDevice("old").get();
    for (const auto& file : {queueFile(), cacheFile(), folder.path() / "forgotten-devices.json"}) {
        const auto status = std::filesystem::symlink_status(file);
        EXPECT_TRUE(std::filesystem::is_regular_file(status)) << file;
        EXPECT_EQ(status.permissions(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << file;
    }
}

TEST_F(NorvaneIndexServiceReports, CountsContributorsAndRejectsOtherAnswers) {
    for (const char* device : {"one", "two", "two", "three"}) client->send(report(device)).get();
    EXPECT_EQ(client->fetchContributorCount().get(), 3);
    server.enqueueAnswer(Route::contributors, {.status = 201, .body = R"({"count": 5})"});
    EXPECT_EQ(failureOf(client->fetchContributorCount()), "Invalid response from server");
    server.enqueueAnswer(Route::contributors, {.status = 200, .body = R"({"total": 5})"});
    EXPECT_THROW(client->fetchContributorCount().get(), JsonDecodingError);
}

TEST_F(NorvaneIndexServiceReports, WithoutAServiceAddressReportsWaitInTheQueue) {
    NorvaneIndexService offline("", folder.path(), {.clock = clock.clock(), .timeouts = {}});
    offline.configure(true, "device").get();
    offline.submitReport(report("offline")).get();
    EXPECT_EQ(offline.pendingReportCount().get(), 1u);
    EXPECT_THROW(offline.fetchBenchmarks().get(), platform::HttpTransportError);
    EXPECT_FALSE(offline.getBenchmarks(false).get());
}

} // namespace
} // namespace norvane
