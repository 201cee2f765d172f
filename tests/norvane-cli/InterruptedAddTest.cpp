#include "tests/norvane-cli/CliTestFixture.h"

#include "core/facade/NorvaneStore.h"
#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/Snapshot.h"

#include "tests/core/collection/GitLoggedDays.h"

#include <gmock/gmock.h>
#include <sqlite3.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

/// `norvane add` ended by kill -9 right after one of its saves, and what finishes it afterwards.
class InterruptedAdd : public CliTest {
protected:
    void SetUp() override {
        repository = makeRepository();
        // A counter that stays until it is killed, and says it runs: the project row is saved by then.
        const auto script = tools.writeFile("scc", "#!/bin/sh\necho $$ > '" + (tools.path() / "running").string() +
                                                       ".new'\nmv '" + (tools.path() / "running").string() + ".new' '" +
                                                       (tools.path() / "running").string() + "'\nexec sleep 1000\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    /// Kills `add` while its code counter runs: after its first save, the project's own row.
    void killWhileCounting() { killWhileCounting({"add", "demo", repository->pathString()}); }

    /// Kills the run with `arguments` while its code counter runs, once `meanwhile` has run.
    void killWhileCounting(const std::vector<std::string>& arguments, const std::function<void()>& meanwhile = {}) {
        const auto run =
            start(arguments, {.environment = {{"PATH", tools.path().string() + ":" + std::getenv("PATH")}}});
        const auto running = tools.path() / "running";
        while (!std::filesystem::exists(running)) {
            ASSERT_EQ(waitpid(run, nullptr, WNOHANG), 0) << "the run ended before its code count";
            std::this_thread::sleep_for(2ms);
        }
        if (meanwhile) meanwhile();
        kill(run, SIGKILL);
        waitpid(run, nullptr, 0);
        pid_t counter = 0;
        std::ifstream(running) >> counter;
        kill(counter, SIGKILL);
        std::filesystem::remove(running);
    }

    /// An `add` held after it saved its code count and before its import is saved, and the end of
    /// the pipe that holds it: every git that it runs reads its global configuration from a FIFO,
    /// and so waits until the test opens the other end; the test lets each through with an empty
    /// configuration until one waits after the count was saved. That one is the import's: the
    /// count's own git runs end before its save.
    struct HeldAdd {
        pid_t add = -1;
        int waitingGit = -1;
    };

    HeldAdd holdBeforeTheImport() {
        // The store is made with its tables before it is opened here.
        openStore();
        const auto configuration = tools.path() / "gitconfig";
        EXPECT_EQ(mkfifo(configuration.c_str(), 0600), 0);
        const auto add = start({"add", "demo", repository->pathString()},
                               {.environment = {{"GIT_CONFIG_GLOBAL", configuration.string()}}});
        sqlite3* store = nullptr;
        sqlite3_open_v2(storeFile().c_str(), &store, SQLITE_OPEN_READONLY, nullptr);
        HeldAdd held{add};
        while (held.waitingGit < 0) {
            const int waitingGit = open(configuration.c_str(), O_WRONLY | O_NONBLOCK);
            if (waitingGit < 0) {
                EXPECT_EQ(waitpid(add, nullptr, WNOHANG), 0) << "the add ended before its import";
                if (HasFailure()) break;
                std::this_thread::sleep_for(1ms);
            } else if (count(store, "SELECT count(*) FROM snapshot WHERE snapshotTypeRaw = 'scc'") > 0) {
                held.waitingGit = waitingGit;
            } else {
                close(waitingGit);
            }
        }
        sqlite3_close(store);
        return held;
    }

    /// Kills `add` after it saved its code count and before its import is saved.
    void killBeforeTheImport() {
        const auto held = holdBeforeTheImport();
        kill(held.add, SIGKILL);
        waitpid(held.add, nullptr, 0);
        close(held.waitingGit);
    }

    static std::int64_t count(sqlite3* store, const char* query) {
        sqlite3_stmt* statement = nullptr;
        std::int64_t value = 0;
        if (sqlite3_prepare_v2(store, query, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            value = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
        return value;
    }

    void expectUnfinished() {
        const auto listed = norvane({"list"});
        EXPECT_THAT(listed.out, HasSubstr("demo  unfinished")) << listed.out;
        EXPECT_TRUE(stored<BookedHistory>().empty());
        EXPECT_EQ(storedSnapshots("demo", "gitHistory"), 0u);
    }

    /// The add is whole: history, a row for each day git shows, model rows, what the rows were booked from.
    void expectComplete() {
        EXPECT_EQ(stored<BookedHistory>().size(), 1u);
        EXPECT_GT(storedSnapshots("demo", "gitHistory"), 0u);
        EXPECT_EQ(stored<DailyActivity>().size(), loggedDays(*repository).size());
        EXPECT_EQ(stored<ModelDailyActivity>().size(), 1u) << "the commit tagged [claude]";
        EXPECT_THAT(norvane({"list"}).out, Not(HasSubstr("unfinished")));
    }

    std::unique_ptr<GitTestRepository> repository;
    TemporaryFolder tools;
};

TEST_F(InterruptedAdd, AfterTheProjectsOwnSaveTheNextCollectFinishesIt) {
    killWhileCounting();
    EXPECT_EQ(storedSnapshots("demo", "scc"), 0u);
    expectUnfinished();
    // A collect that finishes it runs the add: `list` calls it interrupted only once that ends too.
    killWhileCounting({"collect"}, [this] { EXPECT_THAT(norvane({"list"}).out, HasSubstr("demo  adding")); });
    expectUnfinished();
    // Archived meanwhile: a collection of every project still finishes its add, as `list` says.
    ASSERT_EQ(norvane({"archive", "demo"}).status, 0);
    expectUnfinished();
    const auto collected = norvane({"collect"});
    EXPECT_EQ(collected.status, 0) << collected.err;
    expectComplete();
    EXPECT_EQ(storedSnapshots("demo", "scc"), 1u) << "as an add and an archive make";
}

TEST_F(InterruptedAdd, AfterTheProjectsOwnSaveAddingItAgainFinishesIt) {
    killWhileCounting();
    const auto added = norvane({"add", "demo", repository->pathString()});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_THAT(added.out, HasSubstr("Finishing the add of demo"));
    expectComplete();
    const auto again = norvane({"add", "demo", repository->pathString()});
    EXPECT_NE(again.status, 0);
    EXPECT_THAT(again.err, HasSubstr("already exists"));
}

TEST_F(InterruptedAdd, AfterTheCodeCountTheNextCollectImportsTheHistory) {
    killBeforeTheImport();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(storedSnapshots("demo", "scc"), 1u);
    expectUnfinished();
    const auto collected = norvane({"collect", "demo"});
    EXPECT_EQ(collected.status, 0) << collected.err;
    expectComplete();
}

// Found with `norvane list` beside an add of a large repository: the add that still ran was called
// interrupted, by the list and by the window's check, which then collected the project too.
TEST_F(InterruptedAdd, AnAddThatStillRunsIsNotCalledInterrupted) {
    const auto held = holdBeforeTheImport();
    ASSERT_FALSE(HasFailure());
    const auto listed = norvane({"list"});
    EXPECT_THAT(listed.out, HasSubstr("demo  adding"));
    EXPECT_THAT(listed.out, HasSubstr("\nadding: the add still runs"));
    EXPECT_THAT(listed.out, Not(HasSubstr("unfinished")));
    const auto application = NorvaneStore::open(storeFile()).listProjects();
    ASSERT_EQ(application.size(), 1u);
    EXPECT_FALSE(application.front().addUnfinished);
    const auto again = norvane({"add", "demo", repository->pathString()});
    EXPECT_EQ(again.status, 1);
    EXPECT_THAT(again.err, HasSubstr("The add of demo still runs in another program"));
    EXPECT_EQ(storedSnapshots("demo", "gitHistory"), 0u) << "the history is the running add's to import";

    kill(held.add, SIGKILL);
    waitpid(held.add, nullptr, 0);
    close(held.waitingGit);
    expectUnfinished();
    EXPECT_TRUE(NorvaneStore::open(storeFile()).listProjects().front().addUnfinished);
}

TEST_F(InterruptedAdd, AnAddWhoseFirstCollectionFailsLeavesNothingBehind) {
    const auto refused =
        norvane({"add", "demo", repository->pathString()}, {.environment = {{"GIT_TEST_ASSUME_DIFFERENT_OWNER", "1"}}});
    EXPECT_NE(refused.status, 0);
    EXPECT_THAT(refused.err, HasSubstr("dubious ownership"));
    EXPECT_TRUE(stored<Project>().empty());
    EXPECT_TRUE(stored<Snapshot>().empty());
    const auto added = norvane({"add", "demo", repository->pathString()});
    EXPECT_EQ(added.status, 0) << added.err;
}

} // namespace
} // namespace norvane::testing
