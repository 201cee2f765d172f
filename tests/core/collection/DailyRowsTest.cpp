#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"

#include "tests/core/collection/DailyRowsFixture.h"
#include "tests/support/CapturedStandardError.h"
#include "tests/support/RecordingProcessRunner.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

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

    /// How many of the notes that `notes` holds say that the clock may be wrong.
    static std::size_t clockNotes(const testing::CapturedStandardError& notes) {
        std::size_t count = 0;
        const std::string note = "walk: the clock reads ";
        for (auto at = notes.text().find(note); at != std::string::npos; at = notes.text().find(note, at + 1)) ++count;
        return count;
    }
};

TEST_F(DailyRows, ADaySwitchedAwayFromOrCheckedOutPastKeepsItsCommits) {
    commitLines("base.c", 5, november(1, 9));
    git({"branch", "release"});
    git({"tag", "v1"});
    commitLines("main.c", 26, november(2, 9, 30));
    collectAndCompare(november(2, 10));
    // The history series: each commit at its moment, today's too.
    std::vector<platform::Date> series;
    for (const auto& snapshot : stored<Snapshot>()) {
        if (snapshot->snapshotType() == SnapshotType::gitHistory) series.push_back(snapshot->capturedAt);
    }
    std::sort(series.begin(), series.end());
    EXPECT_EQ(series, (std::vector{november(1, 9), november(2, 9, 30)}));
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

TEST_F(DailyRows, CommitsThatGitListsAgainBehindBackDatedWorkCountOnce) {
    commitLines("base.c", 5, november(1, 9));
    const auto shared = commitLines("shared.c", 7, november(5, 10));
    // October's work committed on top, dated before what it builds on.
    for (int day = 11; day <= 18; ++day)
        commitLines("october" + std::to_string(day) + ".c", 1, localDate(2025, 10, day, 10));
    collectAndCompare(november(5, 20));
    // Work from the shared commit merged in: walking from the merge, git meets the shared commit and
    // the base before the left-behind tip's dates lead it there, and lists them as new.
    git({"checkout", "-q", "-b", "feature", shared});
    commitLines("feature.c", 3, november(6, 10));
    git({"checkout", "-q", "main"});
    clock.advance(november(6, 11) - clock.now());
    git({"merge", "-q", "--no-ff", "-m", "merge", "feature"});
    git({"branch", "-q", "-D", "feature"});
    collectAndCompare(november(6, 20));
    EXPECT_EQ(std::get<0>(storedDays().at(platform::LocalCalendar::startOfDay(november(5, 12)))), 1);
}

TEST_F(DailyRows, AZoneChangeDatesTheRowsAsAnImportWould) {
    // Half past midnight in New York's summer time, half past eleven the day before in its winter time.
    commitLines("dawn.c", 2, testing::utc("2025-11-01T04:30:00Z"));
    commitLines("early.c", 4, november(2, 0, 30));
    commitLines("late.c", 6, november(2, 10));
    collectAndCompare(november(2, 20));
    // The last two differ only in when their summer time ends: the day of 1 November's dawn.
    for (const auto* zone : {"America/New_York", "Asia/Tokyo", "Pacific/Pago_Pago", "EST5EDT,M3.2.0,M11.1.0",
                             "EST5EDT,M4.1.0,M10.5.0", "Europe/Berlin"}) {
        const testing::ScopedTimeZone elsewhere(zone);
        commitLines(std::string(zone).substr(0, 4) + ".c", 3, clock.now() + 1h);
        collectAndCompare(clock.now() + 12h);
        ASSERT_FALSE(pinned.collectHistory(project, 7).error) << zone;
        EXPECT_EQ(storedDays(), gitDays()) << zone;
    }
}

TEST_F(DailyRows, AZoneFileReplacedUnderItsNameDatesTheRowsByItsNewRules) {
    testing::TemporaryFolder zones;
    const auto file = zones.path() / "localtime";
    std::filesystem::copy_file("/usr/share/zoneinfo/UTC", file);
    const testing::ScopedTimeZone local(fmt::format(":{}", file.string()));
    commitLines("late.c", 5, testing::utc("2025-11-01T23:30:00Z"));
    collectAndCompare(testing::utc("2025-11-02T20:00:00Z"));
    ASSERT_TRUE(storedDays().contains(platform::LocalCalendar::startOfDay(testing::utc("2025-11-01T12:00:00Z"))));

    // Another zone's rules under the same name, as a copied /etc/localtime is replaced; the
    // calendar reads them once TZ is looked at anew, as in the next process.
    std::filesystem::copy_file("/usr/share/zoneinfo/Asia/Tokyo", file,
                               std::filesystem::copy_options::overwrite_existing);
    {
        const testing::ScopedTimeZone meanwhile("UTC");
        platform::LocalCalendar::startOfDay(clock.now());
    }
    collectAndCompare(testing::utc("2025-11-03T20:00:00Z"));
    EXPECT_TRUE(storedDays().contains(platform::LocalCalendar::startOfDay(testing::utc("2025-11-01T23:30:00Z"))));
    EXPECT_EQ(platform::LocalCalendar::components(storedDays().begin()->first).day, 2);
}

// Dated after the clock, a commit tells that the clock may be behind, or the committer's ahead: it
// counts once, on the day of the latest collection, until the clock reaches its own day. Said once;
// and each collection reads again the days it leaves and joins, not the whole history, be its
// date days or years ahead.
TEST_F(DailyRows, ACommitFromAClockAheadCountsOnceOnTheLatestCollectionsDayUntilItsOwn) {
    commitLines("base.c", 5, november(1, 9));
    git({"checkout", "-q", "-b", "ahead"});
    const auto ahead = commitLines("ahead.c", 7, november(4, 10));
    const auto far = commitLines("far.c", 3, localDate(2099, 1, 1, 0));
    git({"checkout", "-q", "main"});
    const testing::CapturedStandardError notes;
    collectAndCompare(november(1, 20), {{ahead, november(1, 20)}, {far, november(1, 20)}});
    const auto addedWith = gitRuns.requests.size();
    for (int day = 2; day <= 20; ++day) {
        commitLines("day" + std::to_string(day) + ".c", 2, november(day, 9));
        if (day == 20) git({"merge", "-q", "--no-ff", "-m", "merge", "ahead"});
        collectAndCompare(november(day, 20),
                          {{ahead, std::min(november(day, 20), november(4, 10))}, {far, november(day, 20)}});
    }
    // A whole read walks from the tips and leaves nothing out.
    const auto wholeReads = std::count_if(gitRuns.requests.begin() + addedWith, gitRuns.requests.end(), [](auto& run) {
        const auto& arguments = run.arguments;
        const auto has = [&](auto&& matches) { return std::any_of(arguments.begin(), arguments.end(), matches); };
        return has([](const auto& argument) { return argument == "--numstat"; }) && !has([](const auto& argument) {
                   return argument.starts_with("^") || argument.starts_with("--no-walk");
               });
    });
    EXPECT_EQ(wholeReads, 0);
    EXPECT_EQ(clockNotes(notes), 1U) << notes.text();
    // A clock that then reads earlier than an earlier collection's is said once too.
    collectAt(november(19, 20));
    collectAt(november(19, 21));
    EXPECT_EQ(clockNotes(notes), 2U) << notes.text();
}

// As found: the first add, by a clock three days behind, of work committed after what it reads;
// once the clock is right, the rows, the history series and a fresh import agree with git.
TEST_F(DailyRows, TheFirstAddByAClockBehindItsCommitsLeavesNoWrongDayOnceTheClockIsRight) {
    const auto a = commitLines("a.c", 4, november(10, 9));
    const auto b = commitLines("b.c", 6, november(10, 10));
    const auto behind = november(10, 12) - 72h;
    {
        const testing::CapturedStandardError notes;
        collectAndCompare(behind, {{a, behind}, {b, behind}});
        collectAt(behind + 1h);
        EXPECT_EQ(clockNotes(notes), 1U) << notes.text();
        EXPECT_NE(notes.text().find("the clock reads 2025-11-07 12:00:00, earlier than 2025-11-10 10:00:00"),
                  std::string::npos)
            << notes.text();
    }
    commitLines("c.c", 2, november(10, 12, 30));
    collectAndCompare(november(10, 13));
    EXPECT_EQ(storedDays().size(), 1U);
    // Each history point is dated at its commit once the clock has passed it.
    for (const auto& snapshot : stored<Snapshot>()) {
        if (snapshot->snapshotType() == SnapshotType::gitHistory) {
            EXPECT_EQ(snapshot->capturedAt, snapshot->latestCommitDate) << *snapshot->latestCommitHash;
        }
    }
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays());
}

// As found: a commit dated ahead while the note of a clock behind an earlier collection is in force
// made the collection after it say that note again, word for word. Each reason is told once, the
// commit with its own date.
TEST_F(DailyRows, EachReasonToDoubtTheClockIsToldOnce) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(1, 20));
    collectAt(november(30, 9));
    const testing::CapturedStandardError notes;
    collectAt(november(11, 9));
    collectAt(november(12, 9));
    commitLines("b.c", 3, november(20, 10));
    collectAt(november(13, 9));
    collectAt(november(14, 9));
    const auto told = [&notes](const std::string& text) {
        std::size_t count = 0;
        for (auto at = notes.text().find(text); at != std::string::npos; at = notes.text().find(text, at + 1)) ++count;
        return count;
    };
    EXPECT_EQ(std::tuple(clockNotes(notes), told("earlier than 2025-11-30 09:00:00, which an earlier collection saw"),
                         told("the clock reads 2025-11-13 09:00:00, earlier than 2025-11-20 10:00:00, the date of one "
                              "of its commits")),
              std::tuple(2U, 1U, 1U))
        << notes.text();
}

// As found: a clock a fraction of a second behind the last collection's was told as "the clock reads
// 12:00:00, earlier than 12:00:00", and the next collection read the whole history again. Within the
// second the note would show, the clock is not behind.
TEST_F(DailyRows, AClockAFractionOfASecondBehindIsNotBehind) {
    commitLines("a.c", 4, november(1, 9));
    collectAndCompare(november(1, 12) + 500ms);
    const testing::CapturedStandardError notes;
    collectAndCompare(november(1, 12) + 200ms);
    collectAndCompare(november(1, 12) + 300ms);
    EXPECT_EQ(notes.text(), "");
}

// While the clock reads earlier than every code count, the newest count's moment stands in for it,
// for the rows too: a commit dated between the two counts on its own day, one dated after that
// moment on its day, where a fresh import by the clock would count both on the clock's day. From
// the first collection whose clock reads that moment on, the rows are a fresh import's.
TEST_F(DailyRows, AClockBehindEveryCountBooksAtTheNewestCountUntilItReadsIt) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(22, 9));
    commitLines("b.c", 3, november(20, 10));
    const auto after = commitLines("c.c", 2, november(25, 10));
    collectAndCompare(november(10, 20), {{after, november(22, 9)}});
    collectAndCompare(november(11, 20), {{after, november(22, 9)}});
    collectAndCompare(november(23, 20), {{after, november(23, 20)}});
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays({{after, november(23, 20)}}));
}

// Only the project's own moments tell whether its clock may be wrong, and it is told once: not again
// by its imports, nor of a project added later by a clock that reads right.
TEST_F(DailyRows, TheClockIsJudgedByTheProjectsOwnMomentsAndToldOnce) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(22, 9));
    const testing::CapturedStandardError notes;
    collectAt(november(1, 20));
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    ASSERT_FALSE(pinned.collectHistory(project, 0).error);
    EXPECT_EQ(clockNotes(notes), 1U) << notes.text();
    testing::GitTestRepository other;
    other.writeFile("b.c", "int b;\n");
    other.commit("b", november(1, 10));
    const auto later = addProject("later", other.pathString());
    ASSERT_TRUE(pinned.collectInitialData(later).isSuccess());
    ASSERT_TRUE(pinned.collectOne(later).isSuccess());
    ASSERT_FALSE(pinned.collectHistory(later, 7).error);
    EXPECT_EQ(notes.text().find("later: "), std::string::npos) << notes.text();
    for (const auto& booked : stored<BookedHistory>()) {
        EXPECT_EQ(booked->provisionalUntil.has_value(), booked->project->name == "walk") << booked->project->name;
    }
}

/// What one collection's clock reads instead of the right moment.
struct WrongClock {
    std::string name;
    std::function<platform::Date(platform::Date right)> reads;
};

void PrintTo(const WrongClock& clock, std::ostream* out) { *out << clock.name; }

class ClockWrongForTwoCollections : public DailyRows, public ::testing::WithParamInterface<WrongClock> {};

// Once the clock is right again, the rows are a fresh import's, the right collection's count is the
// newest, and work goes on being booked. The second wrong collection keeps until when the first
// one's bookings hold; the first collection whose clock reads earlier than an earlier one's or a
// commit's says so, and the one after it does not again.
TEST_P(ClockWrongForTwoCollections, LeaveNoWrongDayOnceTheClockIsRight) {
    commitLines("base.c", 5, november(1, 9));
    collectAndCompare(november(1, 20));
    commitLines("new.c", 7, november(3, 10));
    {
        const testing::CapturedStandardError notes;
        collectAt(GetParam().reads(november(3, 11)));
        collectAt(GetParam().reads(november(3, 12)));
        collectAndCompare(november(3, 20));
        EXPECT_EQ(clockNotes(notes), 1U) << notes.text();
    }
    const auto snapshots = stored<Snapshot>();
    const auto newest = std::max_element(snapshots.begin(), snapshots.end(),
                                         [](const auto& a, const auto& b) { return a->capturedAt < b->capturedAt; });
    EXPECT_EQ((*newest)->capturedAt, november(3, 20));
    EXPECT_EQ((*newest)->snapshotType(), SnapshotType::scc);
    commitLines("later.c", 3, november(4, 10));
    collectAndCompare(november(4, 20));
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays());
}

INSTANTIATE_TEST_SUITE_P(DailyRows, ClockWrongForTwoCollections,
                         ::testing::Values(WrongClock{"FarBehindAsWithADeadBattery",
                                                      [](auto) { return localDate(2000, 1, 1, 12); }},
                                           WrongClock{"ThreeDaysBehind", [](auto right) { return right - 72h; }},
                                           WrongClock{"ADayAhead", [](auto right) { return right + 24h; }},
                                           WrongClock{"ThreeWeeksAhead", [](auto right) { return right + 21 * 24h; }}),
                         [](const auto& wrongClock) { return wrongClock.param.name; });

TEST_F(DailyRows, WhenTheFirstDayLosesItsCommitsTheHistoryBeginsAnew) {
    // A branch of its own holds the first day's work; main begins three days later.
    commitLines("base.c", 30, november(4, 9));
    git({"checkout", "-q", "--orphan", "early"});
    git({"rm", "-q", "-rf", "."});
    commitLines("early.c", 10, november(1, 9));
    git({"checkout", "-q", "main"});
    // 61 days from the first day: the baseline is the mean of both days.
    collectAndCompare(localDate(2026, 1, 1, 10));
    ASSERT_TRUE(project->baselineVelocity);
    EXPECT_DOUBLE_EQ(*project->baselineVelocity, 20.0);
    // Without the early branch the history begins on 4 November, 58 days ago: too young for one.
    git({"branch", "-q", "-D", "early"});
    collectAndCompare(localDate(2026, 1, 1, 11));
    EXPECT_FALSE(project->baselineVelocity);
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_FALSE(project->baselineVelocity);
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
    // A folder that is no repository has no history to import: its add is never unfinished.
    testing::TemporaryFolder plain;
    EXPECT_FALSE(pinned.hasUnfinishedAdd(addProject("plain", plain.path().string())));

    // Archived meanwhile, the project is still collected once by a collection of every project,
    // which finishes its add and keeps the add's code count, as an add and an archive would.
    execute("DROP TRIGGER refuse");
    project->status = ProjectStatus::archived;
    context->save();
    clock.advance(november(2, 20) - clock.now());
    const auto results = pinned.collectAll();
    ASSERT_EQ(results.size(), 2U);
    EXPECT_TRUE(results.front().isSuccess() && results.back().isSuccess());
    EXPECT_FALSE(pinned.hasUnfinishedAdd(project));
    const auto snapshots = stored<Snapshot>();
    EXPECT_EQ(std::count_if(snapshots.begin(), snapshots.end(),
                            [](const auto& snapshot) { return snapshot->snapshotType() == SnapshotType::scc; }),
              2)
        << "the add's count and the plain folder's";
    EXPECT_EQ(storedDays(), gitDays());
    EXPECT_EQ(stored<ModelDailyActivity>().size(), 1U);
    EXPECT_EQ(pinned.projectsToCollect().size(), 1U) << "only the plain folder, now";
}

TEST_F(DailyRows, AnOldHistoryGraftedUnderTheRootIsBookedOnItsDays) {
    const auto root = commitLines("main.c", 4, november(1, 9));
    collectAndCompare(november(1, 20));
    // An old history beside it, fetched but on no local branch.
    testing::GitTestRepository old;
    old.writeFile("old.c", std::string(30, '\n'));
    old.commit("old", localDate(2025, 10, 10, 10));
    old.writeFile("older.c", std::string(20, '\n'));
    old.commit("older", localDate(2025, 10, 12, 10));
    git({"fetch", "-q", old.pathString(), "main:refs/remotes/old/main"});
    collectAndCompare(november(2, 20));
    ASSERT_EQ(storedDays().size(), 1U);
    // Grafted under the root: no tip moves, and yet HEAD now reaches October.
    git({"replace", "--graft", root, "old/main"});
    collectAndCompare(november(3, 20));
    EXPECT_EQ(std::get<1>(storedDays().at(platform::LocalCalendar::startOfDay(localDate(2025, 10, 10, 12)))), 30);
    git({"replace", "-d", root});
    collectAndCompare(november(4, 20));
    EXPECT_EQ(storedDays().size(), 1U);
    // The same graft as the repository's old graft file, which is then removed again.
    const auto oldTip = git({"rev-parse", "old/main"});
    repository.writeFile(".git/info/grafts", root + " " + oldTip);
    collectAndCompare(november(5, 20));
    EXPECT_EQ(storedDays().size(), 3U);
    repository.removeFile(".git/info/grafts");
    collectAndCompare(november(6, 20));
    EXPECT_EQ(storedDays().size(), 1U);
    // Grafted onto a later commit: the history is a cycle, which git lists by date alone.
    const auto later = commitLines("later.c", 2, november(7, 9));
    git({"replace", "--graft", root, later});
    {
        const testing::CapturedStandardError warnings;
        collectAndCompare(november(7, 20));
        EXPECT_NE(warnings.text().find("warning: walk: the replacement of " + root +
                                       " (git replace) makes the history a cycle"),
                  std::string::npos)
            << warnings.text();
    }
    EXPECT_EQ(storedDays().size(), 2U);
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays());
    git({"replace", "-d", root});
    collectAndCompare(november(8, 20));
}

TEST_F(DailyRows, AFileCountsByItsContentWhateverTheCheckedOutAttributesSay) {
    std::string lock;
    for (int line = 0; line < 500; ++line) lock += "dependency-" + std::to_string(line) + "\n";
    repository.writeFile("yarn.lock", lock);
    repository.commit("lock", november(2, 10));
    collectAt(november(2, 20));
    repository.writeFile(".gitattributes", "yarn.lock -diff\n");
    repository.commit("attributes", november(3, 10));
    const auto lockDay = platform::LocalCalendar::startOfDay(november(2, 12));
    const auto linesOfTheLockDay = [&] { return std::get<1>(storedDays().at(lockDay)); };
    collectAt(november(3, 20));
    EXPECT_EQ(linesOfTheLockDay(), 500);
    // A fresh import, with either branch checked out, books the same.
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(linesOfTheLockDay(), 500);
    git({"checkout", "-q", "-b", "before", "HEAD~1"});
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(linesOfTheLockDay(), 500);
    // The repository's own attributes, which no checkout changes, apply to the rows and the import alike.
    repository.writeFile(".git/info/attributes", "yarn.lock -diff\n");
    collectAt(november(4, 20));
    EXPECT_EQ(linesOfTheLockDay(), 0);
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(linesOfTheLockDay(), 0);
    repository.removeFile(".git/info/attributes");
    collectAt(november(5, 20));
    EXPECT_EQ(linesOfTheLockDay(), 500);
    // A diff driver that they name, which the repository's configuration makes binary later, and not again.
    repository.writeFile(".git/info/attributes", "yarn.lock diff=lock\n");
    collectAt(november(6, 20));
    EXPECT_EQ(linesOfTheLockDay(), 500);
    git({"config", "diff.lock.binary", "true"});
    collectAt(november(7, 20));
    EXPECT_EQ(linesOfTheLockDay(), 0);
    git({"config", "--unset", "diff.lock.binary"});
    collectAt(november(8, 20));
    EXPECT_EQ(linesOfTheLockDay(), 500);
}

TEST_F(DailyRows, ALinkedWorktreeFollowsTheAttributesOfTheRepositoryItBelongsTo) {
    commitLines("lock.c", 40, november(1, 9));
    testing::TemporaryFolder elsewhere;
    const auto tree = elsewhere.path() / "tree";
    git({"worktree", "add", "-q", "-b", "tree", tree.string()});
    project = addProject("tree", tree.string());
    collectAndCompare(november(1, 20));
    // Kept in the folder the worktree shares with the repository, not in its own.
    repository.writeFile(".git/info/attributes", "lock.c -diff\n");
    collectAndCompare(november(2, 20));
    EXPECT_EQ(std::get<1>(storedDays().begin()->second), 0);
}

TEST_F(DailyRows, ARepositoryGoneFromItsFolderIsMissingAndNothingIsStored) {
    testing::TemporaryFolder place;
    // A repository made in `folder`, with one commit of `lines` lines at `when`.
    const auto repositoryIn = [](const std::filesystem::path& folder, int lines, platform::Date when) {
        std::filesystem::create_directories(folder);
        testing::runGit({"-C", folder.string(), "init", "-q", "-b", "main"});
        std::ofstream(folder / (folder.filename().string() + ".c"))
            << std::string(static_cast<std::size_t>(lines), '\n');
        testing::runGit({"-C", folder.string(), "add", "-A"});
        const auto date = testing::gitDate(when);
        testing::runGit({"-C", folder.string(), "-c", "user.name=Ann", "-c", "user.email=ann@example.com", "commit",
                         "-q", "-m", "work"},
                        {{"GIT_AUTHOR_DATE", date}, {"GIT_COMMITTER_DATE", date}});
    };
    // A disk that is not mounted: its mount point is an empty folder.
    const auto unmount = [](const std::filesystem::path& mountPoint) {
        std::filesystem::remove_all(mountPoint);
        std::filesystem::create_directory(mountPoint);
    };
    // A link to a disk's folder, as a project is added through.
    const auto linkTo = [&place](const std::string& link, const std::filesystem::path& disk) {
        std::filesystem::create_directories(disk);
        std::filesystem::create_directory_symlink(disk, place.path() / link);
        return place.path() / link;
    };
    const auto away = repository.path().string() + ".away";
    struct Way {
        std::string name;
        std::filesystem::path folder;
        std::function<void()> leave;
    };
    const Way ways[] = {
        // The disk it lives on is not mounted.
        {"walk", repository.path(),
         [&] {
             std::filesystem::rename(repository.path(), away);
             std::filesystem::create_directory(repository.path());
         }},
        // Behind a link, whose target is the empty mount point.
        {"unmounted", linkTo("unmounted", place.path() / "media" / "disk"),
         [&] { unmount(place.path() / "media" / "disk"); }},
        // The same inside a home folder kept in git: the work tree found begins higher than the
        // booked one did, and its history is not the project's.
        {"home", linkTo("home link", place.path() / "home" / "disk"),
         [&] {
             unmount(place.path() / "home" / "disk");
             repositoryIn(place.path() / "home", 1000, november(1, 9) - 24h * 31);
         }},
        // Its .git removed, the folder lies inside another repository, whose history is not its own.
        {"sub", place.path() / "outer" / "sub",
         [&] {
             repositoryIn(place.path() / "outer", 1000, november(1, 9) - 24h * 31);
             std::filesystem::remove_all(place.path() / "outer" / "sub" / ".git");
         }},
    };
    commitLines("a.c", 4, november(2, 9));
    collectAt(november(2, 20));
    for (const auto& way : ways) {
        auto missingProject = way.name == "walk" ? project : addProject(way.name, way.folder.string());
        if (way.name != "walk") {
            repositoryIn(way.folder, 40, november(1, 10));
            ASSERT_TRUE(pinned.collectInitialData(missingProject).isSuccess()) << way.name;
        }
        const auto days = storedDays();
        const auto snapshots = stored<Snapshot>().size();
        way.leave();
        const auto missing = pinned.collectOne(missingProject);
        ASSERT_TRUE(missing.error) << way.name;
        EXPECT_EQ(missing.error->norvaneError, NorvaneError::repositoryNotFound(way.folder.string())) << way.name;
        const auto imported = pinned.collectHistory(missingProject, 7);
        EXPECT_FALSE(imported.snapshotCount) << way.name;
        EXPECT_EQ(std::tuple(storedDays(), stored<Snapshot>().size()), std::tuple(days, snapshots)) << way.name;
        if (missingProject != project) {
            context->remove(missingProject);
            context->save();
        }
    }
    // An empty repository inside another, which its folder without its .git would read as its own.
    const auto nestedFolder = place.path() / "outer" / "nested";
    std::filesystem::create_directories(nestedFolder);
    testing::runGit({"-C", nestedFolder.string(), "init", "-q"});
    const auto nested = addProject("nested", nestedFolder.string());
    ASSERT_TRUE(pinned.collectInitialData(nested).isSuccess());
    std::filesystem::remove_all(nestedFolder / ".git");
    const auto emptied = pinned.collectOne(nested);
    ASSERT_TRUE(emptied.error);
    EXPECT_EQ(emptied.error->norvaneError, NorvaneError::repositoryNotFound(nestedFolder.string()));

    // A folder that never was a repository is counted as it is, empty or not.
    testing::TemporaryFolder empty;
    EXPECT_TRUE(pinned.collectOne(addProject("plain", empty.path().string())).isSuccess());

    std::filesystem::remove(repository.path());
    std::filesystem::rename(away, repository.path());
    collectAndCompare(november(3, 20));
}

// A project of one folder of a monorepo is still that repository when its whole history is
// rewritten: messages amended from the root and the old commits pruned, then a fresh clone of a
// filtered copy put in its place.
TEST_F(DailyRows, AMonorepoRewrittenUnderAProjectOfOneOfItsFoldersIsReadAsRewritten) {
    commitLines("app/main.c", 5, november(1, 9));
    commitLines("lib/util.c", 7, november(2, 9));
    project = addProject("app", (repository.path() / "app").string());
    collectAndCompare(november(2, 20));
    clock.advance(november(3, 9) - clock.now());
    git({"rebase", "-q", "--root", "--exec", "git commit -q --amend -m \"$(git log -1 --format=%s) amended\""});
    git({"reflog", "expire", "--expire=now", "--all"});
    git({"gc", "-q", "--prune=now"});
    collectAndCompare(november(3, 20));
    ASSERT_FALSE(pinned.collectHistory(project, 7).error);
    EXPECT_EQ(storedDays(), gitDays());

    testing::TemporaryFolder elsewhere;
    const auto filtered = (elsewhere.path() / "filtered").string();
    testing::runGit({"clone", "-q", repository.pathString(), filtered});
    testing::runGit({"-C", filtered, "filter-branch", "--index-filter", "git rm -q -r --cached --ignore-unmatch lib"},
                    {{"FILTER_BRANCH_SQUELCH_WARNING", "1"}});
    std::filesystem::remove_all(repository.path());
    testing::runGit({"clone", "-q", filtered, repository.pathString()});
    collectAndCompare(november(4, 20));
    EXPECT_EQ(storedDays().size(), 1U) << "lib/ and its day went";
}

// Git moves where it keeps a repository's files while its work tree begins where it did: the
// repository is the project's still, whichever way git moved it, also where an earlier version's
// store kept nothing of it.
TEST_F(DailyRows, ARepositoryWhoseGitFolderGitMovedIsStillTheProjects) {
    const auto bookedRepository = [this] { return stored<BookedHistory>().front()->repository; };
    commitLines("a.c", 4, november(1, 9));
    collectAndCompare(november(1, 20));
    const auto top = bookedRepository();
    EXPECT_EQ(top, std::filesystem::canonical(repository.path()).string());
    testing::TemporaryFolder elsewhere;
    git({"init", "-q", "--separate-git-dir", (elsewhere.path() / "gd").string()});
    commitLines("b.c", 3, november(2, 9));
    collectAndCompare(november(2, 20));
    EXPECT_EQ(bookedRepository(), top);
    // Its whole history rewritten as well: only where its work tree begins tells.
    execute("UPDATE booked_history SET repository = ''");
    clock.advance(november(3, 9) - clock.now());
    git({"rebase", "-q", "--root", "--exec", "git commit -q --amend -m rewritten"});
    git({"reflog", "expire", "--expire=now", "--all"});
    git({"gc", "-q", "--prune=now"});
    collectAndCompare(november(3, 20));
    EXPECT_EQ(bookedRepository(), top);

    // A submodule with a .git folder of its own, absorbed into its superproject's, then a plain
    // clone in its place.
    const auto super = elsewhere.path() / "super";
    const auto sub = super / "sub";
    testing::runGit({"init", "-q", "-b", "main", super.string()});
    testing::runGit({"clone", "-q", repository.pathString(), sub.string()});
    testing::runGit({"-C", super.string(), "submodule", "-q", "add", repository.pathString(), "sub"});
    context->remove(project);
    context->save();
    project = addProject("sub", sub.string());
    added = false;
    collectAndCompare(november(4, 20));
    testing::runGit({"-C", super.string(), "submodule", "-q", "absorbgitdirs"});
    ASSERT_TRUE(std::filesystem::is_regular_file(sub / ".git"));
    collectAndCompare(november(5, 20));
    std::filesystem::remove_all(sub);
    testing::runGit({"clone", "-q", repository.pathString(), sub.string()});
    collectAndCompare(november(6, 20));
    EXPECT_EQ(bookedRepository(), std::filesystem::canonical(sub).string());
}

// The project's folder moved into a superproject that absorbed its git folder, a link left where it
// was: still the project's repository, which begins elsewhere now. A branch deleted and pruned
// meanwhile leaves the rest of the history it was booked from, which is read whole again.
TEST_F(DailyRows, AFolderMovedIntoASuperprojectWithALinkLeftWhereItWasIsStillTheProjects) {
    commitLines("a.c", 4, november(1, 9));
    git({"checkout", "-q", "-b", "side"});
    const auto side = commitLines("side.c", 3, november(1, 10));
    git({"checkout", "-q", "main"});
    collectAndCompare(november(1, 20));
    testing::TemporaryFolder elsewhere;
    const auto moved = repository.moveIntoSuperproject(elsewhere.path() / "super");
    git({"branch", "-q", "-D", "side"});
    git({"reflog", "expire", "--expire=now", "--all"});
    git({"gc", "-q", "--prune=now"});
    ASSERT_EQ(git({"cat-file", "--batch-check"}, side + "\n"), side + " missing\n");
    commitLines("b.c", 2, november(2, 9));
    collectAndCompare(november(2, 20));
    // Kept by the path it was booked by, which leads there now.
    EXPECT_EQ(stored<BookedHistory>().front()->repository, repository.pathString());
    EXPECT_EQ(std::filesystem::canonical(repository.path()), std::filesystem::canonical(moved));
}

// Added right after `git init`, the folder then moved with a link left where it was: the repository
// found through the link is the project's, which holds none of the commits booked (there are none).
TEST_F(DailyRows, AnAddRightAfterGitInitIsReadThroughALinkLeftWhereItsFolderWas) {
    testing::TemporaryFolder elsewhere;
    collectAndCompare(november(1, 8));
    repository.moveWithLink(elsewhere.path() / "moved");
    for (int day = 1; day <= 3; ++day) {
        commitLines("day" + std::to_string(day) + ".c", day, november(day, 9));
        collectAndCompare(november(day, 20));
    }
    const auto imported = pinned.collectHistory(project, 7);
    ASSERT_FALSE(imported.error) << imported.error->message;
    EXPECT_EQ(std::tuple(imported.totalCommits, storedDays()), std::tuple(3, gitDays()));
}

// A clone of a detached HEAD checked out as an orphan branch: nothing is reachable, and so nothing is
// booked, when its folder moves with a link left where it was; its first commits there count.
TEST_F(DailyRows, AnOrphanBranchBookedWithoutCommitsIsReadThroughALinkLeftWhereItsFolderWas) {
    commitLines("a.c", 4, november(1, 9));
    git({"checkout", "-q", "--detach"});
    git({"branch", "-q", "-D", "main"});
    collectAndCompare(november(1, 20));
    git({"checkout", "-q", "--orphan", "fresh"});
    collectAndCompare(november(2, 20));
    ASSERT_TRUE(storedDays().empty());
    testing::TemporaryFolder elsewhere;
    repository.moveWithLink(elsewhere.path() / "moved");
    commitLines("b.c", 2, november(3, 9));
    collectAndCompare(november(3, 20));
    EXPECT_EQ(storedDays().size(), 1U);
}

// A new repository made where a folder moved with a link left behind now is: its rows are booked as a
// fresh add books them, as they are for a new repository in place; also once the folder moved again.
TEST_F(DailyRows, ANewRepositoryAtAFolderMovedWithALinkIsBookedAsAFreshAddBooksIt) {
    const auto renew = [this](platform::Date when) {
        std::filesystem::remove_all(repository.path() / ".git");
        git({"init", "-q", "-b", "main"});
        commitLines("new" + std::to_string(linesWritten) + ".c", 3, when);
    };
    commitLines("a.c", 4, november(1, 9));
    collectAndCompare(november(1, 20));
    testing::TemporaryFolder elsewhere;
    repository.moveWithLink(elsewhere.path() / "first");
    renew(november(2, 9));
    collectAndCompare(november(2, 20));
    repository.moveWithLink(elsewhere.path() / "second");
    collectAndCompare(november(3, 20));
    repository.moveWithLink(elsewhere.path() / "third");
    renew(november(4, 9));
    collectAndCompare(november(4, 20));
    EXPECT_EQ(storedDays().size(), 1U) << "the new repository's one day";
}

// A project of a folder of a repository, which moved with a link left where it was and was then made
// anew there: the new one begins a level above the folder, as the booked one did. An empty one made
// in the folder itself begins lower, and is another repository.
TEST_F(DailyRows, ANewRepositoryAroundAProjectsFolderMovedWithALinkIsBookedAsAFreshAddBooksIt) {
    commitLines("app/main.c", 5, november(1, 9));
    project = addProject("app", (repository.path() / "app").string());
    collectAndCompare(november(1, 20));
    testing::TemporaryFolder elsewhere;
    repository.moveWithLink(elsewhere.path() / "moved");
    std::filesystem::remove_all(repository.path() / ".git");
    git({"init", "-q", "-b", "main"});
    commitLines("app/more.c", 2, november(2, 9));
    collectAndCompare(november(2, 20));
    EXPECT_EQ(storedDays().size(), 1U) << "the new repository's one day";

    testing::runGit({"-C", project->path, "init", "-q"});
    const auto days = storedDays();
    const auto nested = pinned.collectOne(project);
    ASSERT_TRUE(nested.error);
    EXPECT_EQ(nested.error->norvaneError, NorvaneError::repositoryNotFound(project->path));
    EXPECT_EQ(storedDays(), days);
}

TEST_F(DailyRows, ABookedCommitThatCannotBeReadIsAnError) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(1, 12));
    execute("UPDATE booked_commit SET hash = 'not a commit'");
    commitLines("b.c", 2, november(1, 14));
    clock.advance(november(1, 20) - clock.now());
    const auto result = pinned.collectOne(project);
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->message.find("cannot be read: \"not a commit\""), std::string::npos)
        << result.error->message;
}

TEST_F(DailyRows, AGitThatIsStoppedWhileCatchingUpFailsTheCollectionInsteadOfReadingAll) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(1, 12));
    commitLines("b.c", 2, november(1, 14));
    // Git's walk from the new tips past the old ones runs too long and is stopped.
    testing::RecordingProcessRunner stuck([](const platform::ProcessRequest& request) {
        if (std::none_of(request.arguments.begin(), request.arguments.end(),
                         [](const auto& argument) { return argument.starts_with("^"); })) {
            return platform::defaultProcessRunner().run(request);
        }
        auto result = testing::exitedWith(128 + 9);
        result.timedOut = true;
        return result;
    });
    Collector stopped(context, SccService(testing::builtInCounterOnly()), GitService(stuck), clock.clock());
    clock.advance(november(1, 20) - clock.now());
    const auto days = storedDays();
    const auto result = stopped.collectOne(project);
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->message.find("git ran for more than 2 hours and was stopped"), std::string::npos)
        << result.error->message;
    EXPECT_EQ(storedDays(), days);
}

/// Refuses every transaction of `store` after the first `bound`, so that work that would begin
/// anew for ever fails instead.
class BoundedTransactions {
public:
    BoundedTransactions(sqlite3* store, int bound) : store_(store), left_(bound) {
        sqlite3_set_authorizer(store_, &BoundedTransactions::authorize, this);
    }
    ~BoundedTransactions() { sqlite3_set_authorizer(store_, nullptr, nullptr); }
    BoundedTransactions(const BoundedTransactions&) = delete;
    BoundedTransactions& operator=(const BoundedTransactions&) = delete;

private:
    static int authorize(void* self, int action, const char* operation, const char*, const char*, const char*) {
        auto& bounded = *static_cast<BoundedTransactions*>(self);
        if (action != SQLITE_TRANSACTION || std::string_view(operation) != "BEGIN") return SQLITE_OK;
        return --bounded.left_ >= 0 ? SQLITE_OK : SQLITE_DENY;
    }

    sqlite3* store_;
    int left_;
};

// Collections of one project by the daily agent, the window and a terminal keep booking it while
// this one reads git: it still ends, with git's rows, and fails rather than tries for ever when it
// cannot.
TEST_F(DailyRows, ACollectionEndsHoweverOftenOtherProgramsBookTheProjectWhileItReadsGit) {
    commitLines("a.c", 4, november(1, 9));
    collectAt(november(1, 12));
    commitLines("b.c", 2, november(1, 14));
    sqlite3* store = nullptr;
    container->withDatabase([&store](platform::Database& database) { store = database.handle(); });
    int bookedMeanwhile = 0;
    testing::RecordingProcessRunner contended([&](const platform::ProcessRequest& request) {
        auto result = platform::defaultProcessRunner().run(request);
        // Another program books the project after each log, unless this collection holds the store.
        const bool log =
            std::find(request.arguments.begin(), request.arguments.end(), "log") != request.arguments.end();
        if (log && sqlite3_get_autocommit(store) != 0) {
            execute("UPDATE booked_history SET pricedWage = pricedWage + 1");
            ++bookedMeanwhile;
        }
        return result;
    });
    Collector busy(context, SccService(testing::builtInCounterOnly()), GitService(contended), clock.clock());
    clock.advance(november(1, 20) - clock.now());
    const auto result = [&] {
        const BoundedTransactions bounded(store, 100);
        return busy.collectOne(project);
    }();
    EXPECT_FALSE(result.error) << result.error->message;
    EXPECT_GE(bookedMeanwhile, 2);
    EXPECT_EQ(storedDays(), gitDays());
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
    // And a size above which a file of 150 lines would count as binary.
    std::ofstream(home / ".config" / "git" / "config") << "[core]\n\tbigFileThreshold = 1k\n";
    commitLines("a.c", 150, november(1, 9));
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
    // a.c's 150 lines; .gitmodules' 4 and the submodule's line; its bump, one line in and one out.
    const auto days = storedDays();
    ASSERT_EQ(days.size(), 1U);
    EXPECT_EQ(days.begin()->second, (testing::DayFigures{3, 156, 1, 3, 156}));
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
