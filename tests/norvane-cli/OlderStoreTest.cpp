#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreHolder.h"

#include "platform/ProcessRunner.h"

#include <gmock/gmock.h>
#include <sqlite3.h>

#include <fstream>
#include <future>
#include <memory>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

/// A store as the version before this one left it, schema 1.3.0: the booked history of its project
/// keeps the repository's git folder, where this version keeps where the work tree begins.
class OlderStore : public CliTest {
protected:
    void SetUp() override {
        repository = makeRepository();
        addProject("demo", repository->path());
        sqlite3* store = nullptr;
        sqlite3_open(storeFile().c_str(), &store);
        const auto downgrade = "UPDATE norvane_metadata SET value = '1.3.0' WHERE key = 'schemaVersion';"
                               "UPDATE booked_history SET repository = '" +
                               gitFolder() + "'";
        ASSERT_EQ(sqlite3_exec(store, downgrade.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(store);
    }

    std::string gitFolder() const { return repository->pathString() + "/.git"; }

    /// The schema version and the booked history's repository, read as another program reads them:
    /// a container of this version would bring the store up to date.
    static std::pair<std::string, std::string> stored() {
        sqlite3* store = nullptr;
        sqlite3_open_v2(storeFile().c_str(), &store, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(store,
                           "SELECT (SELECT value FROM norvane_metadata WHERE key = 'schemaVersion'), "
                           "(SELECT repository FROM booked_history)",
                           -1, &query, nullptr);
        std::pair<std::string, std::string> read;
        if (sqlite3_step(query) == SQLITE_ROW) {
            read = {reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                    reinterpret_cast<const char*>(sqlite3_column_text(query, 1))};
        }
        sqlite3_finalize(query);
        sqlite3_close(store);
        return read;
    }

    std::unique_ptr<GitTestRepository> repository;
};

/// Another program's commands, one after another beside the test's runs of the tool until `stop`
/// exists: each opens a connection of its own, reads and writes the store, waiting at most half a
/// second for a lock. Prints how many ran; the first that fails ends the program with its error.
constexpr const char* commandsBeside = R"(
import os, sqlite3, sys, time
commands = 0
while not os.path.exists(sys.argv[2]):
    connection = sqlite3.connect(sys.argv[1], timeout=0.5)
    connection.execute("SELECT count(*) FROM project").fetchone()
    connection.execute("UPDATE project SET status = 'archived'")
    connection.commit()
    connection.close()
    commands += 1
    time.sleep(0.01)  # leaves the machine to the runs
print(commands)
)";

// Found with the version before running `norvane add` of a large repository as this version's
// `list` started: the list brought the store up to date under the add, which then booked its
// repository as the git folder. The list waits its whole lock wait (10 s) before it gives up, and
// keeps nobody out meanwhile: lists in a row held every other program's new connection up for their
// whole waits, and its commands failed.
TEST_F(OlderStore, AProgramThatHasItOpenKeepsItAsItIsAndIsNamed) {
    {
        const StoreHolder older(storeFile());
        const auto stop = home.path() / "stop";
        auto beside = std::async(std::launch::async, [&] {
            return platform::PosixProcessRunner().run(
                {"python3", {"-c", commandsBeside, storeFile().string(), stop.string()}});
        });
        for (int run = 0; run < 2; ++run) {
            const auto listed = norvane({"list"});
            EXPECT_EQ(listed.status, 1);
            EXPECT_EQ(listed.out, "");
            EXPECT_THAT(listed.err,
                        HasSubstr("norvane: The store " + storeFile().string() +
                                  " was written by an earlier version of Norvane (schema 1.3.0), and another "
                                  "program has it open (" +
                                  StoreHolder::name + ", process " + std::to_string(older.process()) +
                                  "): an older Norvane, or one that reads the store. Quit"));
            EXPECT_THAT(listed.err, HasSubstr("nothing was changed"));
        }
        std::ofstream{stop};
        const auto commands = beside.get();
        EXPECT_EQ(commands.standardError, "");
        EXPECT_THAT(commands.standardOutput, MatchesRegex("[1-9][0-9]*\n"));
        EXPECT_EQ(stored(), std::pair(std::string("1.3.0"), gitFolder()));
    }
    const auto listed = norvane({"list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_THAT(listed.out, HasSubstr("demo  archived"));
    EXPECT_EQ(stored(), std::pair(std::string("1.4.0"), repository->pathString()));
}

// The run waits its whole lock wait for the programs that have the store open, and says so after a
// second: a reader that lets go only once it has been said finds the store brought up to date. A wait
// cut short (to one second) made such a reader, five seconds long, fail the run.
TEST_F(OlderStore, AReaderThatLetsGoWhileTheRunWaitsLetsItBringTheStoreUpToDate) {
    auto reader = std::make_unique<StoreHolder>(storeFile());
    const auto errors = home.path() / "errors";
    auto list = std::async(std::launch::async, [&] {
        return norvane({"list"}, {.environment = {{"ERRORS", errors.string()}},
                                  .launcher = {"/bin/sh", "-c", "exec \"$@\" 2>\"$ERRORS\"", "sh"}});
    });
    const auto note = waitForLine(errors);
    const auto readerProcess = reader->process();
    reader.reset();
    const auto listed = list.get();

    EXPECT_EQ(note, "norvane: note: waiting for another program (" + std::string(StoreHolder::name) + ", process " +
                        std::to_string(readerProcess) + ") to close the store " + storeFile().string() +
                        ", which was written by an earlier version of Norvane (schema 1.3.0) and is brought up to "
                        "date only while no other program has it open; should it stay open, this gives up after "
                        "10 seconds and changes nothing");
    EXPECT_EQ(listed.status, 0) << readFile(errors);
    EXPECT_THAT(listed.out, HasSubstr("demo  active"));
    EXPECT_EQ(readFile(errors), note + "\n");
    EXPECT_EQ(stored(), std::pair(std::string("1.4.0"), repository->pathString()));
}

TEST_F(OlderStore, RunsThatFindItAtOnceBringItUpToDateAndAllGoOn) {
    auto first = std::async(std::launch::async, [this] { return norvane({"list"}); });
    const auto second = norvane({"list"});
    for (const auto& listed : {first.get(), second}) {
        EXPECT_EQ(listed.status, 0) << listed.err;
        EXPECT_THAT(listed.out, HasSubstr("demo  active"));
    }
    EXPECT_EQ(stored(), std::pair(std::string("1.4.0"), repository->pathString()));
}

} // namespace
} // namespace norvane::testing
