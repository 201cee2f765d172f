#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"

#include "tests/core/collection/DailyRowsFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace norvane {
namespace {

using namespace std::chrono_literals;
using testing::localDate;

/// Each case is a way people use git over days that once left rows unlike git's for good.
class DailyRows : public testing::DailyRowsFixture {
protected:
    /// Collects at `when` and expects the rows to be git's.
    void collectAndCompare(platform::Date when, const std::map<std::string, platform::Date>& bookedOn = {}) {
        collectAt(when);
        const auto expected = gitDays(bookedOn);
        EXPECT_EQ(storedDays(), expected) << "rows:\n"
                                          << testing::describe(storedDays()) << "git:\n"
                                          << testing::describe(expected);
    }

    static platform::Date november(int day, int hour, int minute = 0) { return localDate(2025, 11, day, hour, minute); }
};

TEST_F(DailyRows, ADaySwitchedAwayFromOrCheckedOutPastKeepsItsCommits) {
    commitLines("base.c", 5, november(1, 9));
    git({"branch", "release"});
    git({"tag", "v1"});
    commitLines("main.c", 26, november(2, 9, 30));
    collectAndCompare(november(2, 10));
    git({"checkout", "-q", "release"});
    collectAndCompare(november(2, 20));
    for (int day = 3; day <= 4; ++day) {
        commitLines("release.c", day, november(day, 11));
        collectAndCompare(november(day, 20));
    }
    git({"checkout", "-q", "main"});
    collectAndCompare(november(5, 20));
    // An old tag, then a bisect step: a detached HEAD changes nothing either.
    git({"checkout", "-q", "v1"});
    collectAndCompare(november(6, 9));
    git({"bisect", "start", "main", "v1"});
    collectAndCompare(november(6, 10));
    git({"bisect", "reset"});
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays());
    EXPECT_EQ(std::get<1>(storedDays().at(platform::LocalCalendar::startOfDay(november(2, 12)))), 26);
}

TEST_F(DailyRows, WorkThatBecomesReachableLaterIsBookedOnItsOwnDay) {
    commitLines("base.c", 5, november(1, 9));
    collectAndCompare(november(1, 20));
    testing::TemporaryFolder elsewhere;
    const auto upstream = (elsewhere.path() / "upstream").string();
    testing::runGit({"clone", "-q", repository.pathString(), upstream});
    {
        // Work of 2 November in another clone, fetched on the 3rd: a remote's branch is no local one.
        const auto when = testing::gitDate(november(2, 15));
        testing::runGit({"-C", upstream, "-c", "user.name=Bo", "-c", "user.email=bo@example.com", "commit", "-q",
                         "--allow-empty", "-m", "empty"},
                        {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
        std::ofstream(std::filesystem::path(upstream) / "feature.c") << std::string(11, '\n');
        testing::runGit({"-C", upstream, "add", "feature.c"});
        testing::runGit(
            {"-C", upstream, "-c", "user.name=Bo", "-c", "user.email=bo@example.com", "commit", "-q", "-m", "feature"},
            {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
    }
    git({"fetch", "-q", upstream, "main:refs/remotes/upstream/main"});
    collectAndCompare(november(3, 20));
    EXPECT_EQ(storedDays().size(), 1U);
    git({"merge", "-q", "--ff-only", "upstream/main"});
    collectAndCompare(november(4, 20));
    EXPECT_EQ(std::get<1>(storedDays().at(platform::LocalCalendar::startOfDay(november(2, 12)))), 11);

    // A patch written on 1 November, applied on the 5th keeping its dates.
    git({"checkout", "-q", "-b", "patch"});
    commitLines("patch.c", 8, november(1, 11));
    const auto patch = git({"format-patch", "-1", "--stdout"});
    git({"checkout", "-q", "main"});
    git({"branch", "-q", "-D", "patch"});
    repository.git(
        {"-c", "user.name=Ann", "-c", "user.email=ann@example.com", "am", "-q", "--committer-date-is-author-date"}, {},
        patch);
    collectAndCompare(november(5, 20));
    EXPECT_EQ(std::get<0>(storedDays().at(platform::LocalCalendar::startOfDay(november(1, 12)))), 2);
}

TEST_F(DailyRows, HistoryRewrittenBySquashRebaseOrAmendCountsOnce) {
    commitLines("base.c", 5, november(1, 9));
    git({"checkout", "-q", "-b", "feature"});
    commitLines("one.c", 40, november(2, 10));
    commitLines("two.c", 60, november(2, 11));
    collectAndCompare(november(2, 20));
    git({"checkout", "-q", "main"});
    clock.advance(november(3, 9) - clock.now());
    git({"merge", "-q", "--squash", "feature"});
    git({"commit", "-q", "-m", "squashed"});
    git({"branch", "-q", "-D", "feature"});
    collectAndCompare(november(3, 20));
    std::int64_t inserted = 0;
    for (const auto& [day, figures] : storedDays()) inserted += std::get<1>(figures);
    EXPECT_EQ(inserted, 105) << "the base and the squash: 5 + 100";

    // A feature branch rebased onto main every morning for five days.
    git({"checkout", "-q", "-b", "topic"});
    commitLines("topic.c", 12, november(4, 10));
    for (int day = 4; day <= 8; ++day) {
        git({"checkout", "-q", "main"});
        commitLines("main" + std::to_string(day) + ".c", 3, november(day, 8));
        git({"checkout", "-q", "topic"});
        clock.advance(november(day, 9) - clock.now());
        git({"rebase", "-q", "main"});
        collectAndCompare(november(day, 20));
    }
    // Yesterday's commit amended today.
    clock.advance(november(9, 9) - clock.now());
    repository.writeFile("topic.c", "int amended;\n");
    git({"commit", "-q", "-a", "--amend", "--no-edit"});
    collectAndCompare(november(9, 20));
}

TEST_F(DailyRows, AZoneChangeDatesTheRowsAsAnImportWould) {
    commitLines("early.c", 4, november(2, 0, 30));
    commitLines("late.c", 6, november(2, 10));
    collectAndCompare(november(2, 20));
    for (const auto* zone : {"America/New_York", "Asia/Tokyo", "Pacific/Pago_Pago", "Europe/Berlin"}) {
        const testing::ScopedTimeZone elsewhere(zone);
        commitLines(std::string(zone).substr(0, 4) + ".c", 3, clock.now() + 1h);
        collectAndCompare(clock.now() + 12h);
        ASSERT_FALSE(pinned.collectHistory(project, 7).error) << zone;
        EXPECT_EQ(storedDays(), gitDays()) << zone;
    }
}

TEST_F(DailyRows, ACommitFromAClockAheadCountsOnceOnTheDayItWasFirstSeen) {
    commitLines("base.c", 5, november(1, 9));
    git({"checkout", "-q", "-b", "ahead"});
    const auto ahead = commitLines("ahead.c", 7, november(4, 10));
    git({"checkout", "-q", "main"});
    collectAndCompare(november(1, 20), {{ahead, november(1, 20)}});
    for (int day = 2; day <= 20; ++day) {
        commitLines("day" + std::to_string(day) + ".c", 2, november(day, 9));
        if (day == 20) git({"merge", "-q", "--no-ff", "-m", "merge", "ahead"});
        collectAndCompare(november(day, 20), {{ahead, november(1, 20)}});
    }
}

TEST_F(DailyRows, AnImportIsStoredWholeOrNotAtAll) {
    commitLines("a.c", 3, november(1, 9));
    git({"commit", "-q", "--allow-empty", "-m", "[claude] tidy"});
    clock.advance(november(2, 9) - clock.now());
    execute("CREATE TRIGGER refuse BEFORE INSERT ON model_daily_activity BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const auto failed = pinned.collectInitialData(project);
    ASSERT_TRUE(failed.error);
    EXPECT_NE(failed.error->message.find("disk full"), std::string::npos);
    EXPECT_TRUE(stored<DailyActivity>().empty() && stored<BookedHistory>().empty());
    for (const auto& snapshot : stored<Snapshot>()) EXPECT_EQ(snapshot->snapshotType(), SnapshotType::scc);
    EXPECT_TRUE(pinned.hasUnfinishedAdd(project));

    execute("DROP TRIGGER refuse");
    collectAt(november(2, 20));
    EXPECT_FALSE(pinned.hasUnfinishedAdd(project));
    EXPECT_EQ(storedDays(), gitDays());
    EXPECT_EQ(stored<ModelDailyActivity>().size(), 1U);
}

TEST_F(DailyRows, APathThatBecameAFileIsAnError) {
    testing::TemporaryFolder folder;
    const auto file = folder.writeFile("notes.txt", "text\n");
    const auto moved = addProject("moved", file.string());
    const auto result = pinned.collectOne(moved);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->message, "Path is not a directory: " + file.string());
    EXPECT_TRUE(stored<Snapshot>().empty());
}

TEST_F(DailyRows, TheUsersOwnGitSettingsChangeNoFigure) {
    // Attributes of the user's own that would make every C file binary.
    const auto home = std::filesystem::path(std::getenv("HOME"));
    std::filesystem::create_directories(home / ".config" / "git");
    std::ofstream(home / ".config" / "git" / "attributes") << "*.c -diff\n";
    commitLines("a.c", 4, november(1, 9));
    // A submodule whose own setting hides its new commits.
    testing::GitTestRepository library;
    library.writeFile("lib.c", "int lib;\n");
    library.commit("lib", november(1, 8));
    git({"-c", "protocol.file.allow=always", "submodule", "add", "-q", library.pathString(), "lib"}, std::nullopt);
    git({"config", "-f", ".gitmodules", "submodule.lib.ignore", "all"});
    git({"commit", "-q", "-am", "add lib"});
    library.writeFile("lib.c", "int lib2;\n");
    library.commit("lib 2", november(1, 10));
    clock.advance(november(1, 11) - clock.now());
    repository.git({"-C", "lib", "pull", "-q"});
    git({"add", "lib"});
    git({"commit", "-q", "-m", "bump lib"});
    collectAt(november(1, 20));
    // a.c's 4 lines; .gitmodules' 4 and the submodule's line; its bump, one line in and one out.
    const auto days = storedDays();
    ASSERT_EQ(days.size(), 1U);
    EXPECT_EQ(days.begin()->second, (testing::DayFigures{3, 10, 1, 3, 10}));
}

TEST_F(DailyRows, ADateFarBeyondAnyClockIsReadNotDropped) {
    commitLines("a.c", 3, november(1, 9));
    repository.writeFile("b.c", "int b;\n");
    repository.git({"add", "-A"});
    auto tree = repository.git({"write-tree"});
    tree.pop_back();
    auto parent = repository.git({"rev-parse", "HEAD"});
    parent.pop_back();
    const std::string signature = "Ann <ann@example.com> 10000000000000 +0000\n";
    auto hash = repository.git({"hash-object", "-t", "commit", "-w", "--literally", "--stdin"}, {},
                               "tree " + tree + "\nparent " + parent + "\nauthor " + signature + "committer " +
                                   signature + "\nFar\n");
    hash.pop_back();
    repository.git({"update-ref", "refs/heads/main", hash});
    collectAt(november(1, 20));
    const auto days = storedDays();
    ASSERT_EQ(days.size(), 1U);
    EXPECT_EQ(std::get<0>(days.begin()->second), 2) << "both commits, the far one on the day it was seen";
}

} // namespace
} // namespace norvane
