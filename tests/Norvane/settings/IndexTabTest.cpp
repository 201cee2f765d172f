#include "Norvane/settings/IndexTab.h"

#include <algorithm>
#include <cstddef>

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QThreadPool>

#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/ContributorMilestone.h"
#include "Norvane/settings/IndexProgressView.h"
#include "Norvane/state/KitServices.h"
#include "core/community/NorvaneIndexService.h"
#include "index-server/IndexServer.h"
#include "tests/Norvane/settings/SettingsFixture.h"
#include "tests/support/UnwritableFile.h"

namespace norvane::app {
namespace {

using indexserver::IndexServer;
using testing::eventually;
using Route = IndexServer::Route;

/// Presses `action` in the confirmation the tab has open.
void confirm(IndexTab& tab, const QString& action) {
    ASSERT_TRUE(eventually([&] { return tab.findChild<QMessageBox*>() != nullptr; }));
    auto* alert = tab.findChild<QMessageBox*>();
    for (auto* button : alert->buttons()) {
        if (button->text() == action) button->click();
    }
}

TEST(ContributorMilestone, EachCountIsOnItsWayToOneTarget) {
    using Kind = ContributorMilestone::Kind;
    const struct {
        int count;
        Kind kind;
        double progress;
        QString countText;
    } cases[] = {{-5, Kind::early, 0.0, "-5 / 100"},         {0, Kind::early, 0.0, "0 / 100"},
                 {99, Kind::early, 0.99, "99 / 100"},        {100, Kind::full, 0.0, "100 / 500"},
                 {500, Kind::segmented, 0.0, "500 / 1000"},  {999, Kind::segmented, 0.998, "999 / 1000"},
                 {1000, Kind::complete, 1.0, "1000 / 1000"}, {2500, Kind::complete, 1.0, "2500 / 1000"}};
    for (const auto& row : cases) {
        const auto& milestone = ContributorMilestone::current(row.count);
        EXPECT_EQ(milestone.kind, row.kind) << row.count;
        EXPECT_DOUBLE_EQ(milestone.progress(row.count), row.progress) << row.count;
        EXPECT_EQ(IndexProgressView::countText(row.count), row.countText);
    }
    EXPECT_EQ(IndexTab::deviceIdPrefix("ABC"), "ABC...");
    EXPECT_EQ(IndexTab::deviceIdPrefix(""), "...");
}

TEST(IndexTab, TheSwitchMakesAnIdOnceAndDataManagementFollowsTheId) {
    testing::SettingsFixture fixture;
    fixture.index->pendingCount = 2;
    auto window = fixture.open(fixture.services());
    auto& tab = window->indexTab();
    window->tabs().setCurrentWidget(&tab);
    EXPECT_FALSE(tab.shareToggle().isChecked());
    EXPECT_FALSE(tab.showsDataManagement());

    tab.shareToggle().click();
    const QString id = fixture.preferences.anonymousDeviceId();
    EXPECT_TRUE(fixture.preferences.shareAnonymousMetrics());
    EXPECT_EQ(id.size(), 36);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_EQ(tab.deviceIdText(), id.left(8) + "...");
    EXPECT_TRUE(eventually([&] { return tab.shownPendingText() == "2 reports pending"; }));

    // Leaving keeps the id, and with it the way to delete what was sent; coming back reuses it.
    tab.shareToggle().click();
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), id);
    EXPECT_TRUE(tab.showsDataManagement());
    EXPECT_EQ(tab.shownPendingText(), "");
    tab.shareToggle().click();
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), id);

    tab.resetButton().click();
    confirm(tab, "Reset");
    ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId() != id; }));
    EXPECT_EQ(fixture.index->forgottenDevices, std::vector<std::string>{id.toStdString()});
    EXPECT_EQ(fixture.preferences.anonymousDeviceId().size(), 36);
    EXPECT_TRUE(fixture.preferences.shareAnonymousMetrics());
}

// The real client against our own service on 127.0.0.1.
TEST(IndexTab, DeletionWaitsForTheServiceAndClearsTheIdOnlyWhenItAgrees) {
    testing::SettingsFixture fixture;
    indexserver::IndexServer server(":memory:", {.recordedRequests = 4});
    server.start();
    norvane::testing::TemporaryFolder storage;
    NorvaneIndexService service(server.baseURL(), storage.path());
    fixture.preferences.setShareAnonymousMetrics(true);
    fixture.preferences.setAnonymousDeviceId("C0FFEE00-0000-4000-8000-000000000001");
    auto window =
        fixture.open(fixture.services(platform::defaultProcessRunner(), std::make_shared<SharedIndexClient>(service)));
    auto& tab = window->indexTab();
    window->tabs().setCurrentWidget(&tab);

    server.enqueueAnswer(Route::deletion, {.status = 500, .delay = std::chrono::milliseconds(200)});
    tab.deleteButton().click();
    confirm(tab, "Delete");
    EXPECT_FALSE(tab.deleteButton().isEnabled());
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), "C0FFEE00-0000-4000-8000-000000000001");
    ASSERT_TRUE(eventually([&] { return tab.deleteButton().isEnabled(); }));
    EXPECT_EQ(tab.deletionMessage().text(), "Failed to delete data");
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), "C0FFEE00-0000-4000-8000-000000000001");
    EXPECT_TRUE(fixture.preferences.shareAnonymousMetrics());
    EXPECT_TRUE(tab.showsDataManagement());

    tab.deleteButton().click();
    confirm(tab, "Delete");
    ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId().isEmpty(); }));
    EXPECT_FALSE(fixture.preferences.shareAnonymousMetrics());
    EXPECT_FALSE(tab.showsDataManagement());
    const auto requests = server.receivedRequests();
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests.back().method, "DELETE");
    EXPECT_EQ(requests.back().target, "/v1/devices/C0FFEE00-0000-4000-8000-000000000001");
}

/// A report of today under `deviceId`, as the client builds after a collection.
AnonymousActivityReport reportOf(const QString& deviceId) {
    const auto now = platform::currentDate();
    return {.deviceId = deviceId.toStdString(),
            .reportedAt = now,
            .activityDate = now,
            .sizeBucket = "Small",
            .projectType = "organic"};
}

// Opt in, a report waits in the queue after the service failed, and the id is deleted or reset.
TEST(IndexTab, DeletingOrResettingTheIdDropsWhatWaitsUnderItBeforeANewIdIsUsed) {
    testing::SettingsFixture fixture;
    indexserver::IndexServer server(":memory:");
    server.start();
    norvane::testing::TemporaryFolder storage;
    NorvaneIndexService service(server.baseURL(), storage.path());
    auto window =
        fixture.open(fixture.services(platform::defaultProcessRunner(), std::make_shared<SharedIndexClient>(service)));
    auto& tab = window->indexTab();
    window->tabs().setCurrentWidget(&tab);
    tab.shareToggle().click();
    const QString deleted = fixture.preferences.anonymousDeviceId();
    server.setAnswer(Route::activity, IndexServer::ScriptedAnswer{.status = 500});
    service.configure(true, deleted.toStdString()).get();
    service.submitReport(reportOf(deleted)).get();
    ASSERT_EQ(service.pendingReportCount().get(), 1u);

    tab.deleteButton().click();
    confirm(tab, "Delete");
    ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId().isEmpty(); }));
    EXPECT_EQ(service.pendingReportCount().get(), 0u);

    // Back in, with a new id: the next collection configures the client, which resends its queue.
    server.setAnswer(Route::activity, std::nullopt);
    tab.shareToggle().click();
    const QString replaced = fixture.preferences.anonymousDeviceId();
    EXPECT_NE(replaced, deleted);
    service.configure(true, replaced.toStdString()).get();
    service.retryPendingReports().get();
    EXPECT_EQ(server.storedReportCount(), 0);

    server.setAnswer(Route::activity, IndexServer::ScriptedAnswer{.status = 500});
    service.submitReport(reportOf(replaced)).get();
    ASSERT_EQ(service.pendingReportCount().get(), 1u);
    tab.resetButton().click();
    confirm(tab, "Reset");
    ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId() != replaced; }));
    EXPECT_EQ(service.pendingReportCount().get(), 0u);
}

/// The settings window over a benchmark client of its own on `storage`, as one run of the
/// application: closing it and opening another over the same folder is a restart.
struct IndexRun {
    IndexRun(testing::SettingsFixture& fixture, const IndexServer& server, const std::filesystem::path& storage)
        : service(server.baseURL(), storage),
          window(fixture.open(
              fixture.services(platform::defaultProcessRunner(), std::make_shared<SharedIndexClient>(service)))) {
        window->tabs().setCurrentWidget(&tab());
    }
    ~IndexRun() {
        // Work the window handed to the thread pool may still ask the client.
        window.reset();
        QThreadPool::globalInstance()->waitForDone();
    }
    IndexRun(const IndexRun&) = delete;
    IndexRun& operator=(const IndexRun&) = delete;
    IndexTab& tab() const { return window->indexTab(); }

    NorvaneIndexService service;
    std::unique_ptr<SettingsView> window;
};

// The queue's file cannot be rewritten when the id is deleted or reset (a full or read-only disk),
// so it still holds the old id's report at the next start.
TEST(IndexTab, AnIdDeletedOrResetWhileTheQueueCannotBeSavedIsNotSentAfterARestart) {
    testing::SettingsFixture fixture;
    IndexServer server(":memory:", {.recordedRequests = 100});
    server.start();
    norvane::testing::TemporaryFolder storage;
    const auto queueFile = storage.path() / "pending-reports.json";
    const QString queueFailure = "The reports waiting to be sent could not be saved: Cannot write " +
                                 QString::fromStdString(queueFile.string()) + ": Is a directory";
    fixture.preferences.setShareAnonymousMetrics(true);
    const QString deleted = "DE1E7ED0-0000-4000-8000-000000000001";
    const QString replaced = "2E91ACED-0000-4000-8000-000000000002";
    fixture.preferences.setAnonymousDeviceId(deleted);
    const auto queueUnder = [&](IndexRun& run, const QString& deviceId) {
        server.setAnswer(Route::activity, IndexServer::ScriptedAnswer{.status = 500});
        run.service.configure(true, deviceId.toStdString()).get();
        run.service.submitReport(reportOf(deviceId)).get();
        ASSERT_EQ(run.service.pendingReportCount().get(), 1u);
    };
    // Whether a report under the id went out since the requests counted in `before`.
    const auto sentUnder = [&](const QString& deviceId, std::size_t before) {
        const auto requests = server.receivedRequests();
        return std::any_of(requests.begin() + std::ptrdiff_t(before), requests.end(), [&](const auto& request) {
            return request.method == "POST" && request.body.find(deviceId.toStdString()) != std::string::npos;
        });
    };

    {
        IndexRun run(fixture, server, storage.path());
        queueUnder(run, deleted);
        norvane::testing::UnwritableFile queue(queueFile);
        run.tab().deleteButton().click();
        confirm(run.tab(), "Delete");
        ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId().isEmpty(); }));
        EXPECT_EQ(run.tab().queueMessage().text(), queueFailure);
        EXPECT_TRUE(run.tab().queueMessage().isVisible());
    }
    server.setAnswer(Route::activity, std::nullopt);
    auto before = server.receivedRequests().size();
    {
        IndexRun run(fixture, server, storage.path());
        run.tab().shareToggle().click();
        run.service.configure(true, fixture.preferences.anonymousDeviceId().toStdString()).get();
        run.service.retryPendingReports().get();
        EXPECT_EQ(run.service.pendingReportCount().get(), 0u);
    }
    EXPECT_FALSE(sentUnder(deleted, before));

    fixture.preferences.setAnonymousDeviceId(replaced);
    {
        IndexRun run(fixture, server, storage.path());
        queueUnder(run, replaced);
        norvane::testing::UnwritableFile queue(queueFile);
        run.tab().resetButton().click();
        confirm(run.tab(), "Reset");
        ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId() != replaced; }));
        EXPECT_EQ(run.tab().queueMessage().text(), queueFailure);
    }
    server.setAnswer(Route::activity, std::nullopt);
    before = server.receivedRequests().size();
    {
        IndexRun run(fixture, server, storage.path());
        run.service.configure(true, fixture.preferences.anonymousDeviceId().toStdString()).get();
        run.service.retryPendingReports().get();
        run.service.submitReport(reportOf(fixture.preferences.anonymousDeviceId())).get();
    }
    EXPECT_FALSE(sentUnder(replaced, before));
    EXPECT_TRUE(sentUnder(fixture.preferences.anonymousDeviceId(), before)) << "the new id goes out";
}

// Found after leaving and coming back: leaving had dropped the report that waited, and the tab
// still said "1 report pending".
TEST(IndexTab, ThePendingCountFollowsTheSwitch) {
    testing::SettingsFixture fixture;
    IndexServer server(":memory:");
    server.start();
    norvane::testing::TemporaryFolder storage;
    const QString id = "5EED1E55-0000-4000-8000-000000000005";
    fixture.preferences.setShareAnonymousMetrics(true);
    fixture.preferences.setAnonymousDeviceId(id);
    IndexRun run(fixture, server, storage.path());
    // The application's state hands the switch to the client: leaving drops what waits.
    AppState state({std::make_shared<testing::FakeCollection>(),
                    std::make_shared<testing::FakeMetrics>(),
                    std::make_shared<SharedIndexClient>(run.service),
                    std::shared_ptr<Preferences>(&fixture.preferences, [](Preferences*) {}),
                    {},
                    {}},
                   {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)});
    server.setAnswer(Route::activity, IndexServer::ScriptedAnswer{.status = 500});
    run.service.configure(true, id.toStdString()).get();
    run.service.submitReport(reportOf(id)).get();
    run.window->tabs().setCurrentIndex(0);
    run.window->tabs().setCurrentWidget(&run.tab());
    ASSERT_TRUE(eventually([&] { return run.tab().shownPendingText() == "1 report pending"; }));

    run.tab().shareToggle().click();
    ASSERT_TRUE(eventually([&] { return run.service.pendingReportCount().get() == 0; }));
    run.tab().shareToggle().click();
    EXPECT_TRUE(eventually([&] { return run.tab().shownPendingText().isEmpty(); }))
        << run.tab().shownPendingText().toStdString();
}

// An id that the preferences kept although the client forgot it (a reset or a deletion that ended
// before the preferences were saved): the tab says that nothing goes out under it, until a reset.
TEST(IndexTab, AnIdTheClientForgotIsShownAsSendingNothingUntilItIsReset) {
    testing::SettingsFixture fixture;
    IndexServer server(":memory:");
    server.start();
    norvane::testing::TemporaryFolder storage;
    const QString id = "F0C0FFEE-0000-4000-8000-000000000004";
    storage.writeFile("forgotten-devices.json", "[\"F0C0FFEE-0000-4000-8000-000000000004\"]");
    fixture.preferences.setShareAnonymousMetrics(true);
    fixture.preferences.setAnonymousDeviceId(id);
    IndexRun run(fixture, server, storage.path());

    ASSERT_TRUE(eventually([&] { return !run.tab().forgottenMessage().text().isEmpty(); }));
    EXPECT_EQ(run.tab().forgottenMessage().text(), "Nothing is sent under this device ID: it was reset, or its data "
                                                   "deleted. Reset the Device ID to share again.");
    EXPECT_FALSE(run.tab().saysItHelps());

    run.tab().resetButton().click();
    confirm(run.tab(), "Reset");
    ASSERT_TRUE(eventually([&] { return fixture.preferences.anonymousDeviceId() != id; }));
    EXPECT_EQ(run.tab().forgottenMessage().text(), "");
    EXPECT_TRUE(run.tab().saysItHelps());
}

// With the forgotten ids' own file unwritable, neither is done: the old id stays, and says why.
TEST(IndexTab, AnIdThatCannotBeSetAsideIsNeitherResetNorDeleted) {
    testing::SettingsFixture fixture;
    IndexServer server(":memory:", {.recordedRequests = 100});
    server.start();
    norvane::testing::TemporaryFolder storage;
    const QString id = "0DD1D000-0000-4000-8000-000000000003";
    fixture.preferences.setShareAnonymousMetrics(true);
    fixture.preferences.setAnonymousDeviceId(id);
    IndexRun run(fixture, server, storage.path());
    const auto forgottenFile = storage.path() / "forgotten-devices.json";
    const QString refusal = "Cannot write " + QString::fromStdString(forgottenFile.string()) + ": Is a directory";
    norvane::testing::UnwritableFile forgotten(forgottenFile);

    run.tab().resetButton().click();
    confirm(run.tab(), "Reset");
    ASSERT_TRUE(eventually([&] { return !run.tab().deletionMessage().text().isEmpty(); }));
    EXPECT_EQ(run.tab().deletionMessage().text(), "Failed to reset the device ID: " + refusal);
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), id);

    run.tab().deleteButton().click();
    confirm(run.tab(), "Delete");
    ASSERT_TRUE(eventually([&] { return run.tab().deleteButton().isEnabled(); }));
    EXPECT_EQ(run.tab().deletionMessage().text(), "Failed to delete data: " + refusal);
    EXPECT_EQ(fixture.preferences.anonymousDeviceId(), id);
    EXPECT_TRUE(server.receivedRequests().empty()) << "no deletion asked for an id that could come back";
}

} // namespace
} // namespace norvane::app
