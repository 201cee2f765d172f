#include "core/models/NorvaneDatabase.h"

#include "core/models/BookedCommitRecord.h"
#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/Project.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/ModelContext.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include "platform/persistence/StoreError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include <sqlite3.h>
#include <sys/stat.h>

namespace norvane {
namespace {

/// A store as the first release wrote it (no record of the keys handed out): the project "demo" with a
/// code count, two history points, today's activity and attribution, and the rows of a removed
/// project's attribution.
constexpr const char* firstReleaseStore = R"sql(
CREATE TABLE "app_settings" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "averageWage" REAL NOT NULL, "overhead" REAL NOT NULL, "headcount" INTEGER NOT NULL, "defaultProjectType" TEXT NOT NULL, "peakThroughput" REAL, "peakThroughputStartDate" INTEGER, "peakThroughputEndDate" INTEGER, "peakCalculatedAt" INTEGER);
CREATE TABLE "daily_activity" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "date" INTEGER NOT NULL, "totalInsertions" INTEGER NOT NULL, "totalDeletions" INTEGER NOT NULL, "linesTouched" INTEGER NOT NULL, "commitCount" INTEGER NOT NULL, "filesChanged" INTEGER NOT NULL, "codeLinesInserted" INTEGER NOT NULL, "codeLinesDeleted" INTEGER NOT NULL, "docsLinesInserted" INTEGER NOT NULL, "docsLinesDeleted" INTEGER NOT NULL, "testLinesInserted" INTEGER NOT NULL, "testLinesDeleted" INTEGER NOT NULL, "configLinesInserted" INTEGER NOT NULL, "configLinesDeleted" INTEGER NOT NULL, "estimatedEffortMonths" REAL NOT NULL, "estimatedCost" REAL NOT NULL, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
INSERT INTO "daily_activity" VALUES(1,X'205B112071FD45E0B14EDDD062456BC9',1796601600000000,1,0,1,1,1,0,0,1,0,0,0,0,0,1.69906988252193041737e-03,5.09720964756579064669e+01,1);
CREATE TABLE "daily_portfolio_snapshot" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "date" INTEGER NOT NULL, "activeProjectCount" INTEGER NOT NULL, "totalInsertions" INTEGER NOT NULL, "totalDeletions" INTEGER NOT NULL, "totalLinesChanged" INTEGER NOT NULL, "dailyEffortMonths" REAL NOT NULL, "cumulativeEffortMonths" REAL NOT NULL, "headcount" INTEGER NOT NULL, "totalCommits" INTEGER NOT NULL, "activeProjectNames" TEXT NOT NULL);
CREATE TABLE "model_daily_activity" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "date" INTEGER NOT NULL, "modelRaw" TEXT NOT NULL, "insertions" INTEGER NOT NULL, "deletions" INTEGER NOT NULL, "commitCount" INTEGER NOT NULL, "filesChanged" INTEGER NOT NULL, "estimatedEffortMonths" REAL NOT NULL, "estimatedCost" REAL NOT NULL, "project" INTEGER REFERENCES "project"(pk) ON DELETE SET NULL);
INSERT INTO "model_daily_activity" VALUES(1,X'7CECFB616C41425AB7B7160C62E1683C',1796601600000000,'claude',1,0,1,1,1.69906988252193041737e-03,5.09720964756579064669e+01,1);
INSERT INTO "model_daily_activity" VALUES(2,X'F8132BDDE48D49C3A24F5EE7DFFA4EB1',1796601600000000,'claude',1,0,1,1,1.69906988252193041737e-03,5.09720964756579064669e+01,NULL);
CREATE TABLE norvane_metadata (key TEXT PRIMARY KEY, value TEXT NOT NULL);
INSERT INTO "norvane_metadata" VALUES('schemaVersion','1.0.0');
CREATE TABLE "project" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "name" TEXT NOT NULL UNIQUE, "path" TEXT NOT NULL, "projectDescription" TEXT, "status" TEXT NOT NULL, "projectType" TEXT NOT NULL, "firstCommitAt" INTEGER, "latestCommitAt" INTEGER, "createdAt" INTEGER NOT NULL, "updatedAt" INTEGER NOT NULL, "baselineVelocity" REAL, "baselineCalculatedAt" INTEGER);
INSERT INTO "project" VALUES(1,X'DB4397EF205C4D35A36FB964DCB25BFA','demo','/srv/demo',NULL,'active','organic',1704888000000000,1796604027000000,1796604027794226,1796604027810585,NULL,NULL);
CREATE TABLE "snapshot" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "capturedAt" INTEGER NOT NULL, "snapshotTypeRaw" TEXT NOT NULL, "totalFiles" INTEGER NOT NULL, "totalLines" INTEGER NOT NULL, "codeLines" INTEGER NOT NULL, "commentLines" INTEGER NOT NULL, "blankLines" INTEGER NOT NULL, "totalComplexity" INTEGER NOT NULL, "latestCommitHash" TEXT, "latestCommitMessage" TEXT, "latestCommitAuthor" TEXT, "latestCommitDate" INTEGER, "analyzedCommitHash" TEXT, "cumulativeInsertions" INTEGER NOT NULL, "cumulativeDeletions" INTEGER NOT NULL, "cumulativeLinesChanged" INTEGER NOT NULL, "cumulativeEffortMonths" REAL NOT NULL, "cumulativeEstimatedCost" REAL NOT NULL, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
INSERT INTO "snapshot" VALUES(1,X'C3F443A9736D48A28EBE4AC143218BF3',1796604027805382,'scc',2,2,2,0,0,0,'1796bf399ae20a5fe98ee4b6530c2e9e73464457','Add readme [claude]','A',1796604027000000,'1796bf399ae20a5fe98ee4b6530c2e9e73464457',0,0,0,0.0,0.0,1);
INSERT INTO "snapshot" VALUES(2,X'A3F8CB19923B449B9CFC50CF646E4E4A',1704888000000000,'gitHistory',0,0,1,0,0,0,'78b7c49ea738413df4f956139e6467672bea6730','Initial commit','A',1704888000000000,'78b7c49ea738413df4f956139e6467672bea6730',1,0,1,1.69906988252193041737e-03,5.09720964756579064669e+01,1);
INSERT INTO "snapshot" VALUES(3,X'4AAD90FB6D96420F8F4F7DD688B9148E',1796604027000000,'gitHistory',0,0,2,0,0,0,'1796bf399ae20a5fe98ee4b6530c2e9e73464457','Add readme [claude]','A',1796604027000000,'1796bf399ae20a5fe98ee4b6530c2e9e73464457',2,0,2,3.51797490506048889449e-03,1.05539247151814677752e+02,1);
CREATE TABLE "snapshot_language" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "language" TEXT NOT NULL, "files" INTEGER NOT NULL, "lines" INTEGER NOT NULL, "code" INTEGER NOT NULL, "comments" INTEGER NOT NULL, "blanks" INTEGER NOT NULL, "complexity" INTEGER NOT NULL, "category" TEXT, "snapshot" INTEGER REFERENCES "snapshot"(pk) ON DELETE CASCADE);
INSERT INTO "snapshot_language" VALUES(1,X'2F2CC57640F34E7CAC42541B2326F90F','C',1,1,1,0,0,0,'code',1);
INSERT INTO "snapshot_language" VALUES(2,X'5BBFA7E55B904189A9F992148EA8D980','Markdown',1,1,1,0,0,0,'docs',1);
CREATE INDEX "snapshot_by_project_capturedAt" ON "snapshot" ("project", "capturedAt");
CREATE INDEX "snapshot_by_capturedAt" ON "snapshot" ("capturedAt");
CREATE INDEX "snapshot_language_by_snapshot" ON "snapshot_language" ("snapshot");
CREATE UNIQUE INDEX "daily_activity_by_project_date" ON "daily_activity" ("project", "date");
CREATE INDEX "daily_activity_by_date" ON "daily_activity" ("date");
CREATE INDEX "daily_portfolio_snapshot_by_date" ON "daily_portfolio_snapshot" ("date");
CREATE INDEX "model_daily_activity_by_date" ON "model_daily_activity" ("date");
CREATE INDEX "model_daily_activity_by_project" ON "model_daily_activity" ("project");
)sql";

/// What the release before kept of the commits the rows count, added to the store above: the
/// project "demo" booked two commits on one day, one first seen ahead of its date, and two other
/// projects each hold an entry that does not read: no moment, or text after it.
constexpr const char* bookedAsText = R"sql(
INSERT INTO "project" VALUES(2,X'0B4397EF205C4D35A36FB964DCB25BFA','other','/srv/other',NULL,'active','organic',NULL,NULL,1796604027794226,1796604027810585,NULL,NULL);
CREATE TABLE "booked_history" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "head" TEXT, "tips" TEXT NOT NULL, "timeZone" TEXT NOT NULL, "shallowBoundary" TEXT NOT NULL, "firstBookedAt" INTEGER, "pricedWage" REAL NOT NULL, "pricedOverhead" REAL NOT NULL, "pricedType" TEXT NOT NULL, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
CREATE UNIQUE INDEX "booked_history_by_project" ON "booked_history" ("project");
INSERT INTO "booked_history" VALUES(1,X'E7556A6B18634F9297E788B02EF84DAE','1796bf399ae20a5fe98ee4b6530c2e9e73464457','1796bf399ae20a5fe98ee4b6530c2e9e73464457','/usr/share/zoneinfo/Etc/UTC','',1704888000000000,150000.0,2.4,'organic',1);
INSERT INTO "booked_history" VALUES(2,X'F7556A6B18634F9297E788B02EF84DAE','2796bf399ae20a5fe98ee4b6530c2e9e73464457','2796bf399ae20a5fe98ee4b6530c2e9e73464457','/usr/share/zoneinfo/Etc/UTC','',1704888000000000,150000.0,2.4,'organic',2);
CREATE TABLE "booked_day" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "date" INTEGER NOT NULL, "commits" TEXT NOT NULL, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
CREATE UNIQUE INDEX "booked_day_by_project_date" ON "booked_day" ("project", "date");
INSERT INTO "booked_day" VALUES(1,X'8812C744F57441C5BA57D956866E9A04',1796601600000000,'78b7c49ea738413df4f956139e6467672bea6730 1796bf399ae20a5fe98ee4b6530c2e9e73464457@1796604027000000',1);
INSERT INTO "booked_day" VALUES(2,X'9812C744F57441C5BA57D956866E9A04',1796601600000000,'2796bf399ae20a5fe98ee4b6530c2e9e73464457@soon',2);
INSERT INTO "project" VALUES(3,X'1B4397EF205C4D35A36FB964DCB25BFA','third','/srv/third',NULL,'active','organic',NULL,NULL,1796604027794226,1796604027810585,NULL,NULL);
INSERT INTO "booked_history" VALUES(3,X'07556A6B18634F9297E788B02EF84DAE','3796bf399ae20a5fe98ee4b6530c2e9e73464457','3796bf399ae20a5fe98ee4b6530c2e9e73464457','/usr/share/zoneinfo/Etc/UTC','',1704888000000000,150000.0,2.4,'organic',3);
INSERT INTO "booked_day" VALUES(3,X'A812C744F57441C5BA57D956866E9A04',1796601600000000,'3796bf399ae20a5fe98ee4b6530c2e9e73464457@1796604027000000s',3);
)sql";

/// What the release before this one kept of the commits "demo" counts, one a row: the second one
/// first seen ahead of its date.
constexpr const char* bookedOneARow = R"sql(
UPDATE "norvane_metadata" SET value = '1.2.0';
CREATE TABLE "booked_history" (pk INTEGER PRIMARY KEY, "id" BLOB NOT NULL UNIQUE, "head" TEXT, "tips" TEXT NOT NULL, "timeZone" TEXT NOT NULL, "shallowBoundary" TEXT NOT NULL, "firstBookedAt" INTEGER, "replacements" TEXT NOT NULL, "infoFiles" TEXT NOT NULL, "pricedWage" REAL NOT NULL, "pricedOverhead" REAL NOT NULL, "pricedType" TEXT NOT NULL, "provisionalUntil" INTEGER, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
INSERT INTO "booked_history" VALUES(1,X'E7556A6B18634F9297E788B02EF84DAE','1796bf399ae20a5fe98ee4b6530c2e9e73464457','1796bf399ae20a5fe98ee4b6530c2e9e73464457','/usr/share/zoneinfo/Etc/UTC','',1704888000000000,'','',150000.0,2.4,'organic',NULL,1);
CREATE TABLE "booked_commit" (pk INTEGER PRIMARY KEY, "hash" TEXT NOT NULL, "date" INTEGER NOT NULL, "firstSeenAt" INTEGER, "project" INTEGER REFERENCES "project"(pk) ON DELETE CASCADE);
INSERT INTO "booked_commit" VALUES(1,'78b7c49ea738413df4f956139e6467672bea6730',1796601600000000,NULL,1);
INSERT INTO "booked_commit" VALUES(2,'1796bf399ae20a5fe98ee4b6530c2e9e73464457',1796601600000000,1796604027000000,1);
)sql";

/// A store file made by running `sql`.
void makeStore(const std::filesystem::path& file, std::initializer_list<const char*> sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    for (const char* part : sql) ASSERT_EQ(sqlite3_exec(raw, part, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
}

TEST(NorvaneDatabase, CreatesTheStoreFolderUnderTheDataHome) {
    testing::TemporaryHome home;
    EXPECT_EQ(NorvaneDatabase::containerURL(), home.dataHome() / "Norvane" / "norvane.store");
    EXPECT_FALSE(std::filesystem::exists(home.dataHome() / "Norvane")) << "reading the location creates nothing";
    auto first = NorvaneDatabase::makeContainer();
    auto second = NorvaneDatabase::makeContainer();
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(std::filesystem::exists(home.dataHome() / "Norvane" / "norvane.store"));
}

// Found with the application open while the store's folder was deleted: its next use made the
// store again as a start makes it; a command that makes no store leaves none behind meanwhile.
TEST(NorvaneDatabase, AStoreDeletedWhileInUseIsMadeAgainOnlyByWhatMakesOne) {
    testing::TemporaryHome home;
    const auto folder = home.dataHome() / "Norvane";
    auto making = NorvaneDatabase::makeContainer();
    const auto changing = NorvaneDatabase::makeContainerIfStored();
    const auto reading = NorvaneDatabase::makeReadingContainer();
    // A command that made the store at its start makes it no second time.
    const auto command = NorvaneDatabase::makeContainerForOneCommand();
    std::filesystem::remove_all(folder);
    for (const auto& container : {changing, reading, command}) {
        EXPECT_THAT(
            testing::errorMessageOf<platform::StoreError>([&] { platform::ModelContext(container).fetch<Project>(); }),
            ::testing::HasSubstr("norvane.store was deleted while it was in use"));
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(platform::ModelContext(making).fetch<Project>().empty());
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    EXPECT_EQ(std::filesystem::status(folder / "norvane.store").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// The store's own folder is closed to others; a folder the caller chose, such as /tmp, is not ours.
TEST(NorvaneDatabase, ClosesItsOwnFolderButNotAFolderTheCallerChose) {
    testing::TemporaryHome home;
    const auto ownFolder = home.dataHome() / "Norvane";
    const auto sharedFolder = home.dataHome() / "shared";
    for (const auto& folder : {ownFolder, sharedFolder}) {
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    }
    NorvaneDatabase::makeContainer();
    NorvaneDatabase::makeContainer(sharedFolder / "norvane.store");
    EXPECT_EQ(std::filesystem::status(ownFolder).permissions(),
              std::filesystem::perms::owner_all | std::filesystem::perms::sticky_bit);
    EXPECT_EQ(std::filesystem::status(sharedFolder).permissions(),
              std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
    EXPECT_EQ(std::filesystem::status(sharedFolder / "norvane.store").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A link at the store's path that leads where nothing is yet: the store made there is private too.
TEST(NorvaneDatabase, AStoreMadeThroughALinkIsTheOwnersAlone) {
    testing::TemporaryHome home;
    const auto target = home.path() / "elsewhere" / "norvane.store";
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::create_directories(NorvaneDatabase::containerURL().parent_path());
    std::filesystem::create_symlink(target, NorvaneDatabase::containerURL());
    const mode_t previous = ::umask(022);
    platform::ModelContext context(NorvaneDatabase::makeContainer());
    context.insert(Project::create("demo", "/srv/demo", std::nullopt, ProjectType::organic));
    context.save();
    ::umask(previous);
    EXPECT_TRUE(std::filesystem::is_symlink(NorvaneDatabase::containerURL()));
    for (const auto* suffix : {"", "-wal"}) {
        EXPECT_EQ(std::filesystem::status(target.string() + suffix).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << suffix;
    }
}

TEST(NorvaneDatabase, AStoreOfTheFirstReleaseIsChangedInPlaceAndKeepsItsData) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    makeStore(file, {firstReleaseStore});

    platform::ModelContext context(NorvaneDatabase::makeContainer(file));

    const auto projects = context.fetch<Project>();
    ASSERT_EQ(projects.size(), 1U);
    const auto& demo = projects.front();
    EXPECT_EQ(std::tuple(demo->name, demo->path, demo->snapshots().size(), context.fetch<SnapshotLanguage>().size(),
                         demo->dailyActivities().size(), context.fetch<ModelDailyActivity>().size()),
              std::tuple("demo", "/srv/demo", 3U, 2U, 1U, 2U));

    // Keys of rows deleted from now on are not handed out again, and the cascades still hold.
    auto added = Project::create("added", "/srv/added", std::nullopt, ProjectType::organic);
    context.insert(added);
    context.save();
    const auto addedKey = added->persistentKey();
    context.remove(added);
    context.remove(demo);
    context.save();
    auto later = Project::create("later", "/srv/later", std::nullopt, ProjectType::organic);
    context.insert(later);
    context.save();
    EXPECT_GT(later->persistentKey(), addedKey);
    EXPECT_EQ(std::tuple(context.fetch<Snapshot>().size(), context.fetch<SnapshotLanguage>().size(),
                         context.fetch<DailyActivity>().size(), context.fetch<ModelDailyActivity>().size()),
              std::tuple(0U, 0U, 0U, 2U));
}

TEST(NorvaneDatabase, AStoreOfSchemaOneIsBroughtUpToDateAndThenRefusedByTheProgramsOfThatSchema) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    makeStore(file, {firstReleaseStore, bookedAsText});

    {
        platform::ModelContext context(NorvaneDatabase::makeContainer(file));
        std::set<std::tuple<std::string, platform::Date, std::string>> booked;
        for (const auto& commit : context.fetch<BookedCommitRecord>()) {
            booked.emplace(commit->hash, commit->date, commit->project->name);
        }
        const platform::Date day(std::chrono::microseconds(1796601600000000));
        EXPECT_EQ(booked, (decltype(booked){
                              {"78b7c49ea738413df4f956139e6467672bea6730", day, "demo"},
                              {"1796bf399ae20a5fe98ee4b6530c2e9e73464457", day, "demo"},
                          }));
        // The projects whose entries do not read are read whole at their next collection, and so is
        // the one whose commit counted on the day it was first seen ahead of its date: it counts on
        // its own day now once the clock reaches it.
        const auto histories = context.fetch<BookedHistory>();
        ASSERT_EQ(histories.size(), 1U);
        EXPECT_EQ(std::tuple(histories[0]->project->name, histories[0]->tips, histories[0]->replacements,
                             histories[0]->provisionalUntil, histories[0]->repository),
                  std::tuple("demo", "1796bf399ae20a5fe98ee4b6530c2e9e73464457", "",
                             std::optional(platform::Date(std::chrono::microseconds(1796604027000000))), ""));
    }
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT (SELECT value FROM norvane_metadata WHERE key = 'schemaVersion'), "
                       "(SELECT count(*) FROM sqlite_master WHERE name = 'booked_day')",
                       -1, &query, nullptr);
    ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sqlite3_column_text(query, 0))), "1.4.0");
    EXPECT_EQ(sqlite3_column_int(query, 1), 0);
    sqlite3_finalize(query);
    sqlite3_close(raw);

    // A program of a schema before would book rows its own way: it is refused and changes nothing.
    for (const auto* version : {"1.0.0", "1.2.0", "1.3.0"}) {
        const platform::Schema before{version, NorvaneDatabase::schema().entities};
        EXPECT_THAT(
            testing::errorMessageOf<platform::StoreError>([&] { platform::ModelContainer::open(file, before); }),
            ::testing::HasSubstr("was written by a newer version of Norvane (schema 1.4.0)"));
    }
}

// Read whole at the next collection, as its commit first seen ahead of its date asks, the project
// keeps from then on the date of each commit booked ahead of it.
TEST(NorvaneDatabase, AStoreOfTheReleaseBeforeKeepsTheDatesOfCommitsBookedAheadOfThem) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    makeStore(file, {firstReleaseStore, bookedOneARow});
    platform::ModelContext context(NorvaneDatabase::makeContainer(file));
    const auto histories = context.fetch<BookedHistory>();
    ASSERT_EQ(histories.size(), 1U);
    EXPECT_EQ(histories[0]->provisionalUntil, platform::Date(std::chrono::microseconds(1796604027000000)));
    const platform::Date ahead(std::chrono::microseconds(4070908800000000));
    context.removeAll(BookedCommitField::project == histories[0]->project);
    context.insert(BookedCommitRecord::create(histories[0]->project, ahead, {std::string(40, 'a'), ahead}));
    context.save();
    const auto commits = context.fetch<BookedCommitRecord>();
    ASSERT_EQ(commits.size(), 1U);
    EXPECT_EQ(commits[0]->aheadUntil, ahead);
}

} // namespace
} // namespace norvane
