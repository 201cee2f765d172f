#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/StoreHolder.h"

#include <gmock/gmock.h>
#include <sqlite3.h>

#include <future>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;

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
                               "UPDATE booked_history SET repository = '" + gitFolder() + "'";
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

// Found with the version before running `norvane add` of a large repository as this version's
// `list` started: the list brought the store up to date under the add, which then booked its
// repository as the git folder. The list waits its whole lock wait (10 s) before it gives up.
TEST_F(OlderStore, AProgramThatHasItOpenKeepsItAsItIsAndIsNamed) {
    {
        const StoreHolder older(storeFile());
        const auto listed = norvane({"list"});
        EXPECT_EQ(listed.status, 1);
        EXPECT_EQ(listed.out, "");
        EXPECT_THAT(listed.err, HasSubstr("norvane: The store " + storeFile().string() +
                                          " was written by an earlier version of Norvane (schema 1.3.0), and another "
                                          "program has it open (" +
                                          StoreHolder::name + ", process " + std::to_string(older.process()) +
                                          "): an older Norvane, or one that reads the store. Quit"));
        EXPECT_THAT(listed.err, HasSubstr("nothing was changed"));
        EXPECT_EQ(stored(), std::pair(std::string("1.3.0"), gitFolder()));
    }
    const auto listed = norvane({"list"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_THAT(listed.out, HasSubstr("demo  active"));
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
