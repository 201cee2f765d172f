#include "Norvane/state/Updater.h"

#include <atomic>
#include <mutex>
#include <thread>

#include <QPushButton>
#include <QSignalSpy>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include "Norvane/state/CheckForUpdatesView.h"
#include "Norvane/state/CheckForUpdatesViewModel.h"
#include "Norvane/state/UpdateDialogPresenter.h"
#include "Norvane/state/UpdateFeed.h"
#include "tests/Norvane/state/TestApplication.h"

namespace norvane::app {
namespace {

constexpr int waitMilliseconds = 10'000;

/// Serves the update feed on 127.0.0.1 and counts the requests.
class FeedServer {
public:
    FeedServer() {
        server_.Get("/feed.json", [this](const httplib::Request&, httplib::Response& response) {
            ++hits;
            const std::lock_guard lock(mutex_);
            response.status = status_;
            response.set_content(body_, "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~FeedServer() {
        server_.stop();
        thread_.join();
    }

    void serve(int status, std::string body) {
        const std::lock_guard lock(mutex_);
        status_ = status;
        body_ = std::move(body);
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/feed.json").arg(port_); }

    std::atomic<int> hits = 0;

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    int status_ = 200;
    std::string body_;
};

/// Keeps what the updater told the user, one line per message.
class RecordingPresenter final : public UpdatePresenter {
public:
    void showUpdateAvailable(const QString& newest, const QString& current, const QUrl& page) override {
        messages.push_back(QStringLiteral("available %1 over %2 at %3").arg(newest, current, page.toString()));
    }
    void showUpToDate(const QString& current) override { messages.push_back("up to date " + current); }
    void showCheckFailed(const QString& reason) override { messages.push_back("failed " + reason); }

    QStringList messages;
};

// Starts a check and waits until the updater allows the next one.
void checkAndWait(Updater& updater) {
    QSignalSpy spy(&updater, &Updater::canCheckForUpdatesChanged);
    updater.checkForUpdates();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_FALSE(updater.canCheckForUpdates());
    ASSERT_TRUE(spy.wait(waitMilliseconds));
    EXPECT_TRUE(updater.canCheckForUpdates());
}

TEST(UpdateFeed, ReadsTheNewestVersionAndItsPage) {
    const auto feed = UpdateFeed::parse(R"({"version": "1.4.0", "url": "https://example.org/download", "notes": 1})");
    ASSERT_TRUE(feed.has_value());
    EXPECT_EQ(feed->version, "1.4.0");
    EXPECT_EQ(feed->url, "https://example.org/download");
    for (const char* bad : {"", "[]", "{", R"({"version": "1.4"})", R"({"version": 2, "url": "https://x"})",
                            R"({"version": "1.x", "url": "https://x"})", R"({"version": "1.4", "url": "file:///x"})"}) {
        EXPECT_EQ(UpdateFeed::parse(bad), std::nullopt) << bad;
    }
}

TEST(UpdateFeed, ComparesVersionsNumerically) {
    EXPECT_EQ(compareVersions("1.10.0", "1.9.3"), std::strong_ordering::greater);
    EXPECT_EQ(compareVersions("1.2", "1.2.0"), std::strong_ordering::equal);
    EXPECT_EQ(compareVersions("0.1.0", "0.1.1"), std::strong_ordering::less);
    EXPECT_EQ(compareVersions("2", "10"), std::strong_ordering::less);
    for (const char* bad : {"", "1.", ".1", "1..2", "v1.0", "1.0-beta", "1. 0", "-1"}) {
        EXPECT_EQ(compareVersions(bad, "1.0"), std::nullopt) << bad;
    }
}

TEST(Updater, WithoutAFeedNoCheckCanStart) {
    testing::testApplication();
    RecordingPresenter presenter;
    for (const QString& feed :
         {QString(), QStringLiteral("ftp://example.org/feed.json"), QStringLiteral("not a url")}) {
        Updater updater(feed, "1.0.0", presenter);
        EXPECT_FALSE(updater.canCheckForUpdates());
        updater.checkForUpdates();
    }
    EXPECT_TRUE(presenter.messages.isEmpty());
}

TEST(Updater, TellsOfANewerReleaseTheNewestOrAFeedItCannotUse) {
    testing::testApplication();
    FeedServer server;
    RecordingPresenter presenter;
    Updater updater(server.url(), "1.2.0", presenter);
    EXPECT_TRUE(updater.canCheckForUpdates());
    for (const char* version : {"1.10.0", "1.2", "1.1.9"}) {
        server.serve(200, std::string(R"({"version": ")") + version + R"(", "url": "https://example.org/norvane"})");
        checkAndWait(updater);
    }
    server.serve(200, "<html>not json</html>");
    checkAndWait(updater);
    server.serve(404, "missing");
    checkAndWait(updater);
    ASSERT_EQ(presenter.messages.size(), 5);
    EXPECT_EQ(presenter.messages.mid(0, 4),
              (QStringList{"available 1.10.0 over 1.2.0 at https://example.org/norvane", "up to date 1.2.0",
                           "up to date 1.2.0", "failed The update feed could not be read."}));
    EXPECT_TRUE(presenter.messages[4].startsWith("failed ")) << presenter.messages[4].toStdString();
    EXPECT_NE(presenter.messages[4], presenter.messages[3]);
}

TEST(CheckForUpdatesViewModel, MirrorsTheUpdaterFromTheStart) {
    testing::testApplication();
    RecordingPresenter presenter;
    Updater disabled(QString(), "1.0.0", presenter);
    EXPECT_FALSE(CheckForUpdatesViewModel(disabled).canCheckForUpdates());
    CheckForUpdatesView disabledItem(new CheckForUpdatesViewModel(disabled));
    EXPECT_FALSE(disabledItem.isEnabled());
    EXPECT_EQ(disabledItem.text(), "Check for Updates...");

    FeedServer server;
    server.serve(200, R"({"version": "1.0.0", "url": "https://example.org/"})");
    Updater updater(server.url(), "1.0.0", presenter);
    auto* model = new CheckForUpdatesViewModel(updater);
    EXPECT_TRUE(model->canCheckForUpdates());
    CheckForUpdatesView item(model);
    EXPECT_TRUE(item.isEnabled());
    QSignalSpy modelSpy(model, &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
    item.trigger();
    EXPECT_FALSE(model->canCheckForUpdates());
    EXPECT_FALSE(item.isEnabled());
    item.trigger();
    ASSERT_TRUE(modelSpy.wait(waitMilliseconds));
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(server.hits, 1);
    item.trigger();
    ASSERT_TRUE(modelSpy.wait(waitMilliseconds));
    EXPECT_EQ(server.hits, 2);
    EXPECT_EQ(presenter.messages.size(), 2);
}

TEST(UpdateDialogPresenter, TheAvailableBoxNamesBothVersionsAndDefaultsToLater) {
    testing::testApplication();
    const auto available = UpdateDialogPresenter::makeUpdateAvailableBox("1.2.0", "1.0.0");
    EXPECT_EQ(available->informativeText(),
              "Norvane 1.2.0 is now available (you have 1.0.0). Would you like to open its download page?");
    EXPECT_EQ(available->defaultButton()->text(), "Later");
    EXPECT_EQ(UpdateDialogPresenter::makeCheckFailedBox("Connection refused")->detailedText(), "Connection refused");
}

} // namespace
} // namespace norvane::app
