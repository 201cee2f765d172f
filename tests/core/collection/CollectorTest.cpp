#include "core/collection/Collector.h"
#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/SnapshotLanguage.h"

#include "tests/core/collection/CollectionFixture.h"
#include "tests/core/collection/GitLoggedDays.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/ScopedTimeZone.h"

#include "platform/Iso8601.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

namespace norvane {
namespace {

using testing::GitTestRepository;

class CollectorTest : public testing::CollectionFixture {
protected:
    std::vector<std::shared_ptr<DailyActivity>> rowsByDate() {
        auto rows = stored<DailyActivity>();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
        return rows;
    }
};

using platform::LocalCalendar::startOfDay;

std::string lines(int count, const std::string& text = "x = 1;") {
    std::string result;
    for (int i = 0; i < count; ++i) result += text + "\n";
    return result;
}

TEST_F(CollectorTest, StoresCodeCountCommitAndTodaysActivity) {
    GitTestRepository repository;
    repository.writeFile("src/main.c", "int main() {\n  // start\n  return 0;\n}\n");
    repository.commit("first", daysFromToday(-1));
    repository.writeFile("README.md", "# Demo\n\nText\n");
    repository.writeFile("tests/check.c", "int t;\n");
    const auto secondCommit = repository.commit("Add | docs", daysFromToday(0, 1), "Dana | Lee");
    const auto project = addProject("demo", repository.pathString());

    const auto result = collector.collectOne(project);
    ASSERT_TRUE(result.isSuccess()) << result.error->message;
    const auto& snapshot = *result.snapshot;
    EXPECT_EQ(std::tuple(snapshot.snapshotTypeRaw, snapshot.totalFiles, snapshot.codeLines, snapshot.commentLines),
              std::tuple("scc", 3, 3 + 1 + 2, 1));
    EXPECT_EQ(std::tuple(snapshot.latestCommitHash, snapshot.analyzedCommitHash, snapshot.latestCommitMessage,
                         snapshot.latestCommitAuthor),
              std::tuple(secondCommit, secondCommit, "Add | docs", "Dana | Lee"));
    EXPECT_EQ(std::tuple(project->firstCommitAt, project->latestCommitAt),
              std::tuple(daysFromToday(-1), daysFromToday(0, 1)));
    for (const auto& language : stored<SnapshotLanguage>()) {
        EXPECT_EQ(language->category, language->language == "Markdown" ? OutputCategory::docs : OutputCategory::code);
    }

    // A project's first collection imports its history: yesterday is booked too.
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(std::tuple(rows[0]->date, rows[0]->commitCount, rows[0]->linesTouched),
              std::tuple(startOfDay(daysFromToday(-1)), 1, 4));
    EXPECT_EQ(result.dailyActivity->id, rows[1]->id);
    EXPECT_EQ(std::tuple(rows[1]->date, rows[1]->commitCount, rows[1]->filesChanged, rows[1]->docsLinesInserted,
                         rows[1]->testLinesInserted, rows[1]->linesTouched),
              std::tuple(today(), 1, 2, 3, 1, 4));
}

TEST_F(CollectorTest, CollectingTwiceOnOneDayKeepsOneRow) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(1000));
    repository.commit("one", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    const auto first = collector.collectOne(project);
    ASSERT_TRUE(first.dailyActivity);
    EXPECT_NEAR(first.dailyActivity->estimatedEffortMonths, 2.4, 1e-9);
    EXPECT_NEAR(first.dailyActivity->estimatedCost, 72000, 1e-6);

    repository.writeFile("b.c", lines(5));
    repository.commit("two", daysFromToday(0, 2));
    EXPECT_EQ(collector.collectOne(project).dailyActivity->commitCount, 2);
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->id, first.dailyActivity->id);
    EXPECT_EQ(rows[0]->totalInsertions, 1005);
}

TEST_F(CollectorTest, WhatIsSquashedOrResetAwayStopsCounting) {
    GitTestRepository repository;
    repository.writeFile("base.c", lines(3));
    repository.commit("yesterday", daysFromToday(-1));
    repository.writeFile("a.c", lines(10));
    repository.commit("one", daysFromToday(0, 1));
    repository.writeFile("b.c", lines(20));
    repository.commit("two", daysFromToday(0, 2));
    const auto project = addProject("demo", repository.pathString());
    ASSERT_EQ(collector.collectOne(project).dailyActivity->commitCount, 2);

    // The two commits squashed into one that keeps less of them.
    repository.git({"reset", "-q", "--soft", "HEAD~2"});
    repository.writeFile("b.c", lines(5));
    repository.commit("squashed", daysFromToday(0, 3));
    const auto squashed = collector.collectOne(project);
    ASSERT_TRUE(squashed.isSuccess());
    ASSERT_TRUE(squashed.dailyActivity);
    EXPECT_EQ(std::tuple(squashed.dailyActivity->commitCount, squashed.dailyActivity->totalInsertions),
              std::tuple(1, 15));

    // Today's only commit reset away: today has no row, yesterday keeps its own.
    repository.git({"reset", "-q", "--hard", "HEAD~1"});
    const auto reset = collector.collectOne(project);
    ASSERT_TRUE(reset.isSuccess());
    EXPECT_FALSE(reset.dailyActivity);
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0]->date, startOfDay(daysFromToday(-1)));
}

TEST_F(CollectorTest, EachCommitCountsInOneRowOfItsDayWhateverTheZoneOfEachCollection) {
    GitTestRepository repository;
    const auto now = platform::currentDate();
    for (const auto* message : {"one", "two"}) {
        repository.writeFile(std::string(message) + ".c", lines(2));
        repository.commit(message, now);
    }
    const auto project = addProject("demo", repository.pathString());
    for (const auto* zone : {"Asia/Tokyo", "America/New_York", "Pacific/Kiritimati", "Pacific/Pago_Pago"}) {
        const testing::ScopedTimeZone timeZone(zone);
        ASSERT_TRUE(collector.collectOne(project).isSuccess()) << zone;
        const auto rows = rowsByDate();
        ASSERT_EQ(rows.size(), 1U) << zone;
        EXPECT_EQ(rows[0]->date, today()) << zone;
        EXPECT_EQ(rows[0]->commitCount, 2) << zone;
    }
}

TEST_F(CollectorTest, ACommitCountsOnItsCommitDayAndInTheHistoryOnItsAuthorDay) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(4));
    // Written three days ago, committed (rebased, picked) today.
    repository.commit("[claude] Port", daysFromToday(-3), "Ann", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    ASSERT_TRUE(collector.collectInitialData(project).isSuccess());

    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(std::tuple(rows[0]->date, rows[0]->commitCount), std::tuple(today(), 1));
    EXPECT_EQ(project->firstCommitAt, daysFromToday(-3));
    const auto models = stored<ModelDailyActivity>();
    ASSERT_EQ(models.size(), 1U);
    EXPECT_EQ(models[0]->date, platform::LocalCalendar::startOfDay(daysFromToday(-3)));
    for (const auto& snapshot : stored<Snapshot>()) {
        if (snapshot->snapshotType() == SnapshotType::gitHistory) {
            EXPECT_EQ(snapshot->capturedAt, daysFromToday(-3));
        }
    }
}

TEST_F(CollectorTest, FoldersWithoutCommitsGetACodeCountAlone) {
    testing::TemporaryFolder folder;
    folder.writeFile("main.py", "print(1)\n");
    GitTestRepository empty;
    empty.writeFile("draft.c", "int x;\n");
    for (const auto& path : {folder.path().string(), empty.pathString()}) {
        const auto project = addProject(path, path);
        const auto before = project->updatedAt;
        const auto result = collector.collectOne(project);
        ASSERT_TRUE(result.isSuccess()) << path;
        EXPECT_EQ(result.snapshot->codeLines, 1);
        EXPECT_FALSE(result.snapshot->latestCommitHash || result.dailyActivity || project->firstCommitAt ||
                     project->latestCommitAt);
        EXPECT_GE(project->updatedAt, before);
    }
    EXPECT_TRUE(stored<DailyActivity>().empty());
}

TEST_F(CollectorTest, DetachedHeadAndShallowClone) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(2));
    const auto first = repository.commit("one", daysFromToday(0, 1));
    repository.writeFile("a.c", lines(4));
    repository.commit("two", daysFromToday(0, 2));
    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "1", "file://" + repository.pathString(), clone});
    repository.git({"checkout", "-q", "--detach", first});

    const auto detached = collector.collectOne(addProject("detached", repository.pathString()));
    ASSERT_TRUE(detached.isSuccess());
    // The branch's commits count whatever HEAD names.
    EXPECT_EQ(std::tuple(detached.snapshot->latestCommitHash, detached.dailyActivity->commitCount),
              std::tuple(first, 2));
    const auto shallow = collector.collectInitialData(addProject("shallow", clone));
    ASSERT_TRUE(shallow.isSuccess()) << shallow.error->message;
    EXPECT_EQ(std::tuple(shallow.totalCommits, shallow.historySnapshots), std::tuple(1, 1));
}

TEST_F(CollectorTest, AShallowCloneCountsOnlyTheChangesItHolds) {
    GitTestRepository repository;
    repository.writeFile("big.c", lines(500));
    repository.commit("one", daysFromToday(-9));
    repository.writeFile("a.c", lines(5));
    repository.commit("two", daysFromToday(-5));
    repository.writeFile("a.c", lines(7));
    repository.commit("three", daysFromToday(-2));
    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "2", "file://" + repository.pathString(), clone});
    const auto project = addProject("shallow", clone);

    const auto result = collector.collectInitialData(project);
    ASSERT_TRUE(result.isSuccess()) << result.error->message;
    // The boundary commit stands for all that came before it: its tree is no day's work.
    EXPECT_EQ(std::tuple(result.totalCommits, result.shallowHistoryFrom), std::tuple(2, daysFromToday(-5)));
    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(std::tuple(rows[0]->date, rows[0]->totalInsertions),
              std::tuple(platform::LocalCalendar::startOfDay(daysFromToday(-2)), 2));
    for (const auto& snapshot : stored<Snapshot>()) {
        if (snapshot->snapshotType() == SnapshotType::gitHistory) {
            EXPECT_LE(snapshot->cumulativeInsertions, 2);
        }
    }
}

TEST_F(CollectorTest, ACommitFromAClockAheadIsBookedTodayNeverOnADayToCome) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("[claude] ahead", testing::utc("2099-12-31T12:00:00Z"));
    const auto project = addProject("ahead", repository.pathString());
    ASSERT_TRUE(collector.collectInitialData(project).isSuccess());
    ASSERT_TRUE(collector.collectOne(project).isSuccess());

    const auto rows = rowsByDate();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(std::tuple(rows[0]->date, rows[0]->commitCount), std::tuple(today(), 1));
    const auto models = stored<ModelDailyActivity>();
    ASSERT_EQ(models.size(), 1U);
    EXPECT_EQ(models[0]->date, today());
    for (const auto& snapshot : stored<Snapshot>()) EXPECT_LE(snapshot->capturedAt, platform::currentDate());
}

TEST_F(CollectorTest, WhatGitOrTheCounterCannotReadFailsAndStoresNothing) {
    testing::TemporaryFolder tools;
    const auto failing = tools.writeFile("scc", "#!/bin/sh\necho broken >&2\nexit 4\n");
    std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("one", daysFromToday(0, 1));
    const auto path = repository.pathString();
    const auto project = addProject("demo", path);
    const auto expectFailure = [&](Collector& with, const std::string& message) {
        const auto result = with.collectInitialData(project);
        ASSERT_TRUE(result.error) << message;
        EXPECT_TRUE(result.error->message.starts_with(message)) << result.error->message;
        if (message.starts_with("git")) {
            EXPECT_TRUE(with.collectHistory(project, 0).error->message.starts_with(message));
        }
        EXPECT_FALSE(project->latestCommitAt) << message;
        EXPECT_TRUE(stored<Snapshot>().empty() && stored<DailyActivity>().empty()) << message;
    };
    Collector brokenCounter(context, SccService({{failing}, tools.path() / "no-which", {}}));
    expectFailure(brokenCounter, "scc failed: scc exited with status 4: broken\n");
    {
        const testing::ScopedEnvironment otherOwner("GIT_TEST_ASSUME_DIFFERENT_OWNER", "1");
        expectFailure(collector, "git failed: detected dubious ownership in repository at '" + path + "'");
    }
    repository.writeFile(".git/HEAD", "garbage\n");
    expectFailure(collector, "git failed: not a git repository");
}

TEST_F(CollectorTest, FailedActivitySaveIsReported) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("one", daysFromToday(0, 1));
    const auto project = addProject("demo", repository.pathString());
    execute("CREATE TRIGGER refuse BEFORE INSERT ON daily_activity BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    const auto result = collector.collectOne(project);
    EXPECT_NE(result.error->message.find("disk full"), std::string::npos);
    EXPECT_FALSE(result.dailyActivity);
    EXPECT_TRUE(stored<DailyActivity>().empty());
    EXPECT_EQ(stored<Snapshot>().size(), 1U); // the code count itself was stored
}

TEST_F(CollectorTest, CollectingEveryProjectLooksForTheCounterOnceAndAsksGitOnlyWhatChanged) {
    std::vector<std::unique_ptr<GitTestRepository>> repositories;
    for (const auto* name : {"atlas", "beacon", "comet"}) {
        auto& repository = *repositories.emplace_back(std::make_unique<GitTestRepository>());
        repository.writeFile("main.c", "int main;\n");
        repository.commit("the start", daysFromToday(-30));
        repository.writeFile("main.c", "int main();\n");
        repository.commit("today's work", daysFromToday(0, 1));
        auto project = addProject(name, repository.pathString());
        project->firstCommitAt = daysFromToday(-30);
        context->save();
    }
    testing::RecordingProcessRunner runner(testing::runningForReal());
    Collector counted(context, SccService(testing::builtInCounterOnly(), runner), GitService(runner));
    ASSERT_EQ(counted.collectAll().size(), 3U) << "the first collection imports each history";
    for (const auto& repository : repositories) {
        repository->writeFile("main.c", "int main(void);\n");
        repository->commit("today's work", daysFromToday(0, 2));
    }
    runner.requests.clear();

    const auto results = counted.collectAll();
    ASSERT_EQ(results.size(), 3U);
    for (const auto& result : results) {
        ASSERT_TRUE(result.isSuccess()) << result.error->message;
        EXPECT_EQ(result.snapshot->latestCommitMessage, "today's work");
    }
    std::vector<std::string> programs;
    for (const auto& request : runner.requests)
        programs.push_back(std::filesystem::path(request.executable).filename());
    EXPECT_EQ(programs,
              (std::vector<std::string>{"no-such-which", "norvane-count", "git", "git", "git", "norvane-count", "git",
                                        "git", "git", "norvane-count", "git", "git", "git"}))
        << "the counter, then git's tips, one log of what they reach anew (the newest commit with it), and one "
           "of today's earlier commit, counted anew with it";
}

// Another program removes a project while the collection counts it: that is no failure of the
// collection, which goes on with the others.
TEST_F(CollectorTest, CollectingEveryProjectReportsEachFailureButAProjectRemovedMeanwhileIsNone) {
    testing::TemporaryFolder folders;
    for (const auto* name : {"atlas", "comet", "delta"}) folders.writeFile(std::string(name) + "/main.c", "int a;\n");
    addProject("atlas", (folders.path() / "atlas").string());
    addProject("beacon", (folders.path() / "missing").string());
    const auto comet = addProject("comet", (folders.path() / "comet").string());
    ProjectService(context).archiveProject(addProject("delta", (folders.path() / "delta").string()));
    testing::RecordingProcessRunner runner([&](const platform::ProcessRequest& request) {
        if (std::ranges::find(request.arguments, comet->path) != request.arguments.end()) {
            const auto other = std::make_shared<platform::ModelContext>(container);
            ProjectService(other).deleteProject(ProjectService(other).getProject("comet"));
        }
        return testing::runningForReal()(request);
    });
    Collector removing(context, SccService(testing::builtInCounterOnly(), runner));

    const auto results = removing.collectAll();

    ASSERT_EQ(results.size(), 3U) << "the archived project is left out";
    EXPECT_TRUE(results[0].isSuccess());
    EXPECT_EQ(std::tuple(results[0].projectName, results[0].snapshot->codeLines, results[0].project->name),
              std::tuple("atlas", 1, "atlas"));
    EXPECT_TRUE(results[1].isFailure());
    EXPECT_EQ(results[1].error->message, "Path not found: " + (folders.path() / "missing").string());
    EXPECT_EQ(std::tuple(results[2].projectName, results[2].projectRemoved, results[2].isFailure(),
                         results[2].error.has_value(), results[2].snapshot.has_value()),
              std::tuple("comet", true, false, false, false));
    EXPECT_EQ(stored<Project>().size(), 3U);
    EXPECT_EQ(stored<Snapshot>().size(), 1U) << "atlas's count alone";

    execute("ALTER TABLE project RENAME TO hidden");
    EXPECT_THROW(removing.collectAll(), std::exception) << "projects that cannot be listed are not none";
}

// Found with `norvane collect` before any add: it looked for the counter with `which` to count
// nothing.
TEST_F(CollectorTest, ACollectionOfNoProjectOrOnlyArchivedOnesRunsNoProgram) {
    testing::RecordingProcessRunner runner(testing::runningForReal());
    Collector counted(context, SccService(testing::builtInCounterOnly(), runner), GitService(runner));
    EXPECT_TRUE(counted.collectAll().empty());
    GitTestRepository repository;
    repository.writeFile("main.c", "int a;\n");
    repository.commit("the start", daysFromToday(-1));
    const auto project = addProject("archived", repository.pathString());
    ASSERT_TRUE(collector.collectOne(project).isSuccess());
    ProjectService(context).archiveProject(project);
    EXPECT_TRUE(counted.collectAll().empty());
    EXPECT_EQ(runner.commandLines(), std::vector<std::string>());
}

// A store of 1.3.0 kept each repository's git folder, where 1.4.0 keeps where its work tree begins:
// opened, a repository's own .git becomes the folder above it and a git folder elsewhere none, so
// that each project is its own still once git moved its files and its history was rewritten.
TEST_F(CollectorTest, AStoreThatKeptGitFoldersKeepsWhereEachWorkTreeBegins) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    GitTestRepository plain;
    GitTestRepository unkept;
    const auto sub = folder.path() / "super" / "sub";
    testing::runGit({"init", "-q", "-b", "main", sub.parent_path().string()});
    for (const auto* repository : {&plain, &unkept}) {
        repository->writeFile("a.c", lines(2));
        repository->commit("the start", daysFromToday(-2));
    }
    testing::runGit({"clone", "-q", plain.pathString(), sub.string()});
    testing::runGit({"-C", sub.parent_path().string(), "submodule", "-q", "add", plain.pathString(), "sub"});
    testing::runGit({"-C", sub.parent_path().string(), "submodule", "-q", "absorbgitdirs"});
    const std::map<std::string, std::string> paths{
        {"plain", plain.pathString()}, {"sub", sub.string()}, {"unkept", unkept.pathString()}};
    const auto git = [](const std::string& path, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"-C", path, "-c", "user.name=Ann", "-c", "user.email=ann@example.com"});
        auto output = testing::runGit(arguments);
        output.pop_back();
        return output;
    };
    const auto plainGitFolder = git(plain.pathString(), {"rev-parse", "--absolute-git-dir"});
    const auto subGitFolder = git(sub.string(), {"rev-parse", "--absolute-git-dir"});
    ASSERT_EQ(std::tuple(plainGitFolder, subGitFolder),
              std::tuple(plain.pathString() + "/.git", sub.parent_path().string() + "/.git/modules/sub"));
    {
        const auto writing = std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(file));
        Collector older(writing, SccService(testing::builtInCounterOnly()));
        for (const auto& [name, path] : paths) {
            auto project = Project::create(name, path, std::nullopt, ProjectType::organic);
            writing->insert(project);
            writing->save();
            ASSERT_TRUE(older.collectInitialData(project).isSuccess()) << name;
        }
        // What 1.3.0 kept, or nothing, as after an upgrade from 1.2.0.
        writing->container()->withDatabase([&](platform::Database& database) {
            database.execute("UPDATE norvane_metadata SET value = '1.3.0' WHERE key = 'schemaVersion'");
            for (const auto& [name, repository] :
                 {std::pair{"plain", plainGitFolder}, {"sub", subGitFolder}, {"unkept", std::string()}}) {
                database.execute("UPDATE booked_history SET repository = '" + repository +
                                 "' WHERE project = (SELECT pk FROM project WHERE name = '" + name + "')");
            }
        });
    }
    // Git moves the plain one's files, and every history is rewritten: none of the booked tips stays.
    git(plain.pathString(), {"init", "-q", "--separate-git-dir", (folder.path() / "gd").string()});
    for (const auto& [name, path] : paths) {
        git(path, {"commit", "-q", "--amend", "-m", "rewritten"});
        git(path, {"reflog", "expire", "--expire=now", "--all"});
        git(path, {"gc", "-q", "--prune=now"});
    }

    const auto opened = NorvaneDatabase::makeContainer(file);
    const auto reading = std::make_shared<platform::ModelContext>(opened);
    const auto keptRepositories = [&reading] {
        std::map<std::string, std::string> kept;
        for (const auto& booked : reading->fetch<BookedHistory>()) kept[booked->project->name] = booked->repository;
        return kept;
    };
    const auto version = opened->withDatabase([](platform::Database& database) {
        auto query = database.prepare("SELECT value FROM norvane_metadata WHERE key = 'schemaVersion'");
        return query.step() ? std::get<std::string>(query.column(0)) : std::string();
    });
    EXPECT_EQ(version, "1.4.0");
    EXPECT_EQ(keptRepositories(),
              (std::map<std::string, std::string>{{"plain", plain.pathString()}, {"sub", ""}, {"unkept", ""}}));
    Collector upgraded(reading, SccService(testing::builtInCounterOnly()));
    for (const auto& project : reading->fetch<Project>()) {
        const auto result = upgraded.collectOne(project);
        EXPECT_TRUE(result.isSuccess()) << project->name << ": " << result.error->message;
    }
    std::map<std::string, std::string> workTrees;
    for (const auto& [name, path] : paths) workTrees[name] = git(path, {"rev-parse", "--show-toplevel"});
    EXPECT_EQ(keptRepositories(), workTrees);
}

TEST_F(CollectorTest, AProjectWithoutNewCommitsCollectedDailyRunsOneGitProcess) {
    GitTestRepository repository;
    repository.writeFile("a.c", lines(3));
    repository.commit("the start", daysFromToday(-9));
    repository.writeFile("a.c", lines(4));
    const auto head = repository.commit("the last work", daysFromToday(-5));
    const auto project = addProject("quiet", repository.pathString());
    testing::ManualClock clock(daysFromToday(-2, 20));
    testing::RecordingProcessRunner runner(testing::runningForReal());
    Collector pinned(context, SccService(testing::builtInCounterOnly(), runner), GitService(runner), clock.clock());
    for (int day = -2; day <= 0; ++day) {
        clock.advance(daysFromToday(day, 20) - clock.now());
        runner.requests.clear();
        const auto result = pinned.collectOne(project);
        ASSERT_TRUE(result.isSuccess()) << result.error->message;
        EXPECT_EQ(result.snapshot->latestCommitHash, head);
    }
    std::vector<std::string> programs;
    for (const auto& request : runner.requests)
        programs.push_back(std::filesystem::path(request.executable).filename());
    EXPECT_EQ(programs, (std::vector<std::string>{"no-such-which", "norvane-count", "git"}))
        << "git's tips alone tell that nothing changed";
    EXPECT_EQ(rowsByDate().size(), 2U);
}

} // namespace
} // namespace norvane
