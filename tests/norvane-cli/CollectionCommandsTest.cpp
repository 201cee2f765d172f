#include "tests/core/collection/GitLoggedDays.h"
#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/LocalDate.h"

#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/Project.h"
#include "core/models/Snapshot.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <gmock/gmock.h>

#include <climits>
#include <regex>
#include <sstream>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class CollectionCommands : public CliTest {};

TEST_F(CollectionCommands, VersionAndHelpForEveryCommand) {
    const auto version = norvane({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "norvane 0.1.0\n");

    const auto help = norvane({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(norvane({"help"}).out, help.out) << "help is --help, as git takes it";
    const std::map<std::string, std::string> commands{
        {"collect", "NAME"}, {"add", "--type"},   {"history", "--interval"}, {"list", "list"},
        {"archive", "NAME"}, {"remove", "--yes"}, {"export", "--output"},    {"help", "COMMAND"}};
    for (const auto& [command, mentioned] : commands) {
        EXPECT_THAT(help.out, HasSubstr("  " + command + " ")) << command;
        const auto ofCommand = norvane({command, "--help"});
        EXPECT_EQ(ofCommand.status, 0) << command;
        EXPECT_THAT(ofCommand.out, HasSubstr(mentioned)) << command;
        const auto helpCommand = norvane({"help", command});
        EXPECT_EQ(std::tuple(helpCommand.status, helpCommand.out, helpCommand.err), std::tuple(0, ofCommand.out, ""))
            << command;
    }
    const auto unknown = norvane({"help", "bogus"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_THAT(unknown.err, HasSubstr("norvane: Unknown command: bogus\n"));
    EXPECT_FALSE(std::filesystem::exists(storeFile())) << "help needs no store";
}

TEST_F(CollectionCommands, AddStoresTheProjectAndShowsEachStageOfItsFirstCollection) {
    const auto repository = makeRepository();
    const auto run =
        norvane({"add", "demo", repository->pathString(), "--description", "A demo", "--type", "semiDetached"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // Without a terminal (a log, a pipe) the history import shows no progress, only its outcome.
    EXPECT_EQ(run.out, "Adding demo (" + repository->pathString() +
                           ")\nStarting the first collection\nCounting code lines\nCounted 10 code lines\n"
                           "Imported 3 history snapshots\nFirst collection complete\n");

    const auto project = storedProject("demo");
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(std::tuple(project->path, project->projectDescription, project->projectType,
                         storedSnapshots("demo", "scc"), storedSnapshots("demo", "gitHistory")),
              std::tuple(repository->pathString(), "A demo", ProjectType::semiDetached, 1u, 3u));
}

TEST_F(CollectionCommands, AddTakesTheCurrentFolderAsAnAbsolutePath) {
    const auto repository = makeRepository();
    const auto run = norvane({"add", "here"}, {.workingFolder = repository->path() / "src" / ".."});

    ASSERT_EQ(run.status, 0) << run.err;
    const auto project = storedProject("here");
    ASSERT_NE(project, nullptr);
    EXPECT_TRUE(std::filesystem::path(project->path).is_absolute());
    EXPECT_EQ(project->path.back(), repository->pathString().back()) << "no trailing separator or dot";
    EXPECT_TRUE(std::filesystem::equivalent(project->path, repository->path()));
    EXPECT_EQ(project->projectType, ProjectType::organic);
}

TEST_F(CollectionCommands, CollectingTwiceStoresTwoCountsButOneActivityRowForToday) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const std::regex line(R"(demo: 10 code lines, \d+\.\d\d person-months, \$\d+\n)");

    for (int round = 0; round < 2; ++round) {
        const auto run = norvane({"collect"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(std::regex_match(run.out, line)) << run.out;
        EXPECT_EQ(run.err, "");
    }

    // Rows read whole again are told of as a note, which is no error.
    repository->writeFile(".git/info/attributes", "*.none -diff\n");
    const auto reread = norvane({"collect"});
    EXPECT_TRUE(std::regex_match(reread.out, line)) << reread.out;
    EXPECT_EQ(std::tuple(reread.status, reread.err),
              std::tuple(0, "norvane: note: demo: its daily activity is read again from the whole history: the "
                            "repository's info/attributes or info/grafts, or the diff drivers they name, changed\n"));

    EXPECT_EQ(storedSnapshots("demo", "scc"), 4u);
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    auto rows = stored<DailyActivity>();
    // The two days of 2024 that `add` imported, and today's.
    ASSERT_EQ(rows.size(), 3u);
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
    EXPECT_EQ(rows.back()->date, today);
    EXPECT_EQ(rows.back()->commitCount, 1);
}

// A count dated weeks ahead, as a clock set that far ahead leaves it, of a project since archived:
// the other projects' collections and adds say nothing of it, and that project's own collection
// says once that its clock reads earlier, not again at the next one.
TEST_F(CollectionCommands, ACountDatedAheadByAWrongClockConcernsItsOwnProjectAndIsToldOnce) {
    const auto ahead = makeRepository();
    addProject("ahead", ahead->path());
    {
        const auto context = openStore();
        for (const auto& snapshot : context->fetch<Snapshot>()) {
            snapshot->capturedAt = platform::LocalCalendar::addingDays(platform::currentDate(), 21);
        }
        context->save();
    }
    EXPECT_EQ(norvane({"archive", "ahead"}).status, 0);
    const auto repository = makeRepository();
    const auto added = norvane({"add", "demo", repository->pathString()});
    const auto collected = norvane({"collect"});
    EXPECT_EQ(std::tuple(added.status, added.err, collected.status, collected.err), std::tuple(0, "", 0, ""));

    const auto first = norvane({"collect", "ahead"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(lineCount(first.err), 1u) << first.err;
    EXPECT_THAT(first.err, HasSubstr("norvane: note: ahead: the clock reads "));
    const auto next = norvane({"collect", "ahead"});
    EXPECT_EQ(std::tuple(next.status, next.err), std::tuple(0, ""));
}

TEST_F(CollectionCommands, CollectByNameMeasuresThatProjectOnly) {
    const auto first = makeRepository();
    const auto second = makeRepository();
    addProject("first", first->path());
    addProject("second", second->path());

    const auto run = norvane({"collect", "second"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 1u);
    EXPECT_THAT(run.out, HasSubstr("second: 10 code lines"));
    EXPECT_EQ(storedSnapshots("first", "scc"), 1u);
    EXPECT_EQ(storedSnapshots("second", "scc"), 2u);
}

TEST_F(CollectionCommands, CollectReportsAVanishedFolderAndFailsButMeasuresTheRest) {
    const auto kept = makeRepository();
    auto vanishing = std::make_unique<TemporaryFolder>();
    vanishing->writeFile("main.c", "int main(void) { return 0; }\n");
    addProject("kept", kept->path());
    addProject("vanished", vanishing->path());
    const auto vanishedPath = vanishing->path().string();
    vanishing.reset();
    // A disk that is not mounted: its mount point is there, empty.
    const auto unmounted = makeRepository();
    addProject("mnt", unmounted->path());
    std::filesystem::remove_all(unmounted->path());
    std::filesystem::create_directory(unmounted->path());

    const auto run = norvane({"collect"});

    EXPECT_NE(run.status, 0);
    EXPECT_THAT(run.out, HasSubstr("kept: 10 code lines"));
    EXPECT_THAT(run.out, Not(HasSubstr("vanished")));
    EXPECT_THAT(run.out, Not(HasSubstr("mnt")));
    EXPECT_EQ(run.err, "norvane: mnt: Repository not found: " + unmounted->path().string() +
                           " no longer holds the project's git repository (is its disk mounted?)\n"
                           "norvane: vanished: Path not found: " +
                           vanishedPath + "\n");
    EXPECT_EQ(std::tuple(storedSnapshots("kept", "scc"), storedSnapshots("mnt", "scc")), std::tuple(2u, 1u));
    // An import says the same of the same cause.
    const auto history = norvane({"history", "mnt"});
    EXPECT_EQ(std::tuple(history.status, history.err),
              std::tuple(1, "norvane: Repository not found: " + unmounted->path().string() +
                                " no longer holds the project's git repository (is its disk mounted?)\n"));
    // The gone folder alone fails a collection too, of every project or of that one.
    ASSERT_EQ(norvane({"remove", "mnt", "--yes"}).status, 0);
    for (const auto& arguments :
         {std::vector<std::string>{"collect"}, std::vector<std::string>{"collect", "vanished"}}) {
        const auto alone = norvane(arguments);
        EXPECT_EQ(std::tuple(alone.status, alone.err),
                  std::tuple(1, "norvane: vanished: Path not found: " + vanishedPath + "\n"))
            << arguments.size();
    }
}

// As found: `git init --separate-git-dir` in the project's folder left a project that no collection
// could read. And a store of 1.2.0, which kept no repository, collects after its upgrade, the history
// rewritten since too.
TEST_F(CollectionCommands, AProjectFollowsItsRepositoryWhereverGitKeepsItsFiles) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    TemporaryFolder elsewhere;
    repository->git({"init", "-q", "--separate-git-dir", (elsewhere.path() / "gd").string()});
    for (const auto& arguments : {std::vector<std::string>{"collect", "demo"}, std::vector<std::string>{"collect"}}) {
        const auto run = norvane(arguments);
        EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(0, "")) << arguments.size();
    }

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(storeFile().c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "ALTER TABLE booked_history DROP COLUMN repository;"
                           "ALTER TABLE booked_history DROP COLUMN aheadUntil;"
                           "ALTER TABLE booked_commit DROP COLUMN aheadUntil;"
                           "ALTER TABLE booked_commit ADD COLUMN firstSeenAt INTEGER;"
                           "UPDATE norvane_metadata SET value = '1.2.0' WHERE key = 'schemaVersion'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    repository->git(
        {"-c", "user.name=Ann", "-c", "user.email=ann@example.com", "commit", "-q", "--amend", "-m", "Tidied"});
    repository->git({"reflog", "expire", "--expire=now", "--all"});
    repository->git({"gc", "-q", "--prune=now"});
    const auto upgraded = norvane({"collect", "demo"});
    EXPECT_EQ(upgraded.status, 0) << upgraded.err;
    EXPECT_THAT(upgraded.err, Not(HasSubstr("Repository not found")));
    auto top = repository->git({"rev-parse", "--show-toplevel"});
    top.pop_back();
    EXPECT_EQ(stored<BookedHistory>().front()->repository, top);
}

// A project's folder moved into a superproject that absorbed its git folder, with a link left where
// it was: the project added before is collected, and one added through the link is added.
TEST_F(CollectionCommands, AProjectIsReadThroughALinkToASubmoduleWhoseGitFolderItsSuperprojectKeeps) {
    const auto repository = makeRepository();
    addProject("before", repository->path());
    TemporaryFolder elsewhere;
    repository->moveIntoSuperproject(elsewhere.path() / "super");
    const auto added = norvane({"add", "after", repository->pathString()});
    EXPECT_EQ(std::tuple(added.status, added.err), std::tuple(0, ""));
    for (const auto& arguments : {std::vector<std::string>{"collect", "before"}, std::vector<std::string>{"collect"}}) {
        const auto run = norvane(arguments);
        EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(0, "")) << arguments.size();
    }
}

// As found: a project added right after `git init`, its folder then moved with a link left where it
// was, failed every collection and history for good; and so did one whose folder got a new
// repository after such a move. Both are read through the link, as git reads them there.
TEST_F(CollectionCommands, AFolderMovedWithALinkIsReadThroughItWhateverItsRepositoryHolds) {
    TemporaryFolder elsewhere;
    const auto empty = std::make_unique<GitTestRepository>();
    const auto renewed = makeRepository();
    addProject("p", empty->path());
    addProject("q", renewed->path());
    empty->moveWithLink(elsewhere.path() / "p");
    renewed->moveWithLink(elsewhere.path() / "q");
    std::filesystem::remove_all(renewed->path() / ".git");
    renewed->git({"init", "-q", "-b", "main"});
    const auto day = [](int number) { return localDate(2025, 3, number, 9); };
    for (int number = 1; number <= 3; ++number) {
        for (const auto* repository : {empty.get(), renewed.get()}) {
            repository->writeFile("day" + std::to_string(number) + ".c", std::string(number, '\n'));
            repository->commit("Day " + std::to_string(number), day(number));
        }
        const auto one = norvane({"collect", "p"});
        EXPECT_EQ(std::tuple(one.status, one.err), std::tuple(0, "")) << number;
        // The new repository is read whole once, as in place.
        const auto all = norvane({"collect"});
        EXPECT_EQ(std::tuple(all.status, all.err),
                  std::tuple(0, number > 1 ? ""
                                           : "norvane: note: q: its daily activity is read again from the whole "
                                             "history: a branch tip it was booked from is no longer in the "
                                             "repository\n"))
            << number;
    }
    for (const auto* name : {"p", "q"}) {
        const auto history = norvane({"history", name});
        EXPECT_EQ(std::tuple(history.status, history.err), std::tuple(0, "")) << name;
    }
    using Days = std::map<platform::Date, std::pair<std::int64_t, std::int64_t>>;
    std::map<std::string, Days> rows;
    for (const auto& row : stored<DailyActivity>()) {
        rows[row->project->name][row->date] = {row->commitCount, row->totalInsertions};
    }
    std::map<std::string, Days> logged;
    for (const auto& [name, repository] : {std::pair{"p", empty.get()}, std::pair{"q", renewed.get()}}) {
        for (const auto& [date, figures] : loggedDays(*repository)) {
            logged[name][date] = {figures.commits, figures.insertions};
        }
    }
    EXPECT_EQ(rows, logged);
}

// A tip written with a committer date git cannot read (as older tools wrote them) leaves out that
// commit alone; a checked-out branch without commits is told apart from a repository without any.
TEST_F(CollectionCommands, HistoryLeavesOutACommitGitCannotDateAndNamesABranchWithoutCommits) {
    const auto repository = makeRepository();
    auto tree = repository->git({"rev-parse", "HEAD^{tree}"});
    tree.pop_back();
    auto parent = repository->git({"rev-parse", "HEAD"});
    parent.pop_back();
    auto undated =
        repository->git({"hash-object", "-t", "commit", "-w", "--literally", "--stdin"}, {},
                        "tree " + tree + "\nparent " + parent +
                            "\nauthor A <a@x> 1700000000 +0000\ncommitter A <a@x> -86400 +0000\n\nUndated\n");
    undated.pop_back();
    repository->git({"update-ref", "refs/heads/main", undated});
    std::size_t dated = 0;
    std::istringstream dates(repository->git({"log", "--format=%ct"}));
    for (std::string line; std::getline(dates, line);) dated += line.empty() ? 0 : 1;
    ASSERT_EQ(dated, 3u);

    addProject("demo", repository->path());
    const auto history = norvane({"history", "demo"});
    EXPECT_EQ(std::tuple(history.status, history.out, history.err),
              std::tuple(0, "Stored " + std::to_string(dated) + " history snapshots for demo\n", ""));

    repository->git({"checkout", "-q", "--orphan", "fresh"});
    const auto orphan = norvane({"history", "demo"});
    EXPECT_EQ(std::tuple(orphan.status, orphan.err),
              std::tuple(1, "norvane: No history stored for demo: the branch checked out at " +
                                repository->pathString() + " has no commits yet, though other branches have\n"));
}

TEST_F(CollectionCommands, AddAndHistoryShowTheirProgressOnATerminal) {
    const auto repository = makeRepository();
    const auto added = atTerminal({"add", "demo", repository->pathString()});
    ASSERT_EQ(added.status, 0) << added.out;
    const auto history = atTerminal({"history", "demo"});
    ASSERT_EQ(history.status, 0) << history.out;

    for (const auto& run : {added, history}) {
        EXPECT_THAT(run.out, HasSubstr("\r[##########--------------------] 1/3 Initial commit\x1b[K"));
        EXPECT_THAT(run.out, HasSubstr("\r[##############################] 3/3 Tidy the helper\x1b[K\r\n"));
    }
    EXPECT_THAT(added.out, HasSubstr("Imported 3 history snapshots\r\n"));
    EXPECT_THAT(history.out, HasSubstr("Stored 3 history snapshots for demo\r\n"));

    // Redrawn within a narrower terminal's line, which would otherwise wrap and leave a trail.
    const auto narrow = atTerminal({"history", "demo"}, {.terminalColumns = 40});
    ASSERT_EQ(narrow.status, 0) << narrow.out;
    EXPECT_EQ(narrow.out, "\r[##########--------------------] 1/3 In\x1b[K"
                          "\r[####################----------] 2/3 Ad\x1b[K"
                          "\r[##############################] 3/3 Ti\x1b[K\r\n"
                          "Stored 3 history snapshots for demo\r\n");

    // Progress goes where errors go: with the result sent to a file the terminal still shows it,
    // and the file holds the result alone.
    const auto resultFile = home.path() / "out.txt";
    const auto redirected = atTerminal({"history", "demo"}, {.outputFile = resultFile});
    ASSERT_EQ(redirected.status, 0) << redirected.out;
    EXPECT_EQ(redirected.out, "\r[##########--------------------] 1/3 Initial commit\x1b[K"
                              "\r[####################----------] 2/3 Add the helper [claude]\x1b[K"
                              "\r[##############################] 3/3 Tidy the helper\x1b[K\r\n");
    EXPECT_EQ(readFile(resultFile), "Stored 3 history snapshots for demo\n");

    // A terminal that knows no escape sequences gets lines, as the terminal shows them.
    for (const auto* dumb : {"dumb", ""}) {
        const auto plain = atTerminal({"history", "demo"}, {.environment = {{"TERM", dumb}}});
        ASSERT_EQ(plain.status, 0) << plain.out;
        EXPECT_EQ(plain.out, "[##########--------------------] 1/3 Initial commit\r\n"
                             "[####################----------] 2/3 Add the helper [claude]\r\n"
                             "[##############################] 3/3 Tidy the helper\r\n"
                             "Stored 3 history snapshots for demo\r\n");
    }
}

TEST_F(CollectionCommands, HistoryImportsEveryCommitOrSamplesThemByInterval) {
    GitTestRepository repository;
    for (const auto* day : {"2024-01-10", "2024-01-11", "2024-02-20", "2024-03-01"}) {
        repository.writeFile("main.c", std::string("int day(void) { return 0; } /* ") + day + " */\n");
        repository.commit(day, utc(std::string(day) + "T12:00:00Z"));
    }
    addProject("demo", repository.path());

    const auto every = norvane({"history", "demo"});
    ASSERT_EQ(every.status, 0) << every.err;
    EXPECT_EQ(every.out, "Stored 4 history snapshots for demo\n");
    EXPECT_THAT(norvane({"history", "demo", "--interval", "0"}).out, HasSubstr("Stored 4 history snapshots"));

    const auto weekly = norvane({"history", "demo", "--interval", "7"});
    ASSERT_EQ(weekly.status, 0) << weekly.err;
    EXPECT_THAT(weekly.out, HasSubstr("Stored 3 history snapshots for demo\n"));
    EXPECT_EQ(storedSnapshots("demo", "gitHistory"), 3u) << "the new series replaces the old";
}

TEST_F(CollectionCommands, RepositoriesThatAreNotWhatTheySeemAreToldApart) {
    const auto repository = makeRepository();
    TemporaryFolder parent;
    const auto bare = (parent.path() / "bare.git").string();
    const auto shallow = (parent.path() / "shallow").string();
    runGit({"clone", "-q", "--bare", repository->pathString(), bare});
    runGit({"clone", "-q", "--depth", "1", "file://" + repository->pathString(), shallow});
    parent.writeFile("plain/main.c", "int main(void) { return 0; }\n");

    // A repository's own ".git" folder has no working tree either.
    const auto gitFolder = (repository->path() / ".git").string();
    for (const auto& folder : {bare, gitFolder}) {
        const auto refused = norvane({"add", "bare", folder});
        EXPECT_NE(refused.status, 0);
        EXPECT_EQ(refused.err,
                  "norvane: Path is a bare git repository, with no working tree to count: " + folder + "\n");
        EXPECT_EQ(storedProject("bare"), nullptr);
    }

    const auto day = platform::Iso8601::formatLocalDay(platform::currentDate());
    const auto added = norvane({"add", "shallow", shallow});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_THAT(added.out, HasSubstr("Shallow clone: its history starts on " + day + "; nothing before is counted\n"));
    EXPECT_THAT(norvane({"history", "shallow"}).out, HasSubstr("Shallow clone: its history starts on " + day));

    addProject("plain", parent.path() / "plain");
    const auto nothing = norvane({"history", "plain"});
    EXPECT_NE(nothing.status, 0);
    EXPECT_EQ(nothing.err, "norvane: No history stored for plain: " + (parent.path() / "plain").string() +
                               " is not a git repository\n");
}

TEST_F(CollectionCommands, GitReadsTheProjectsOwnRepositoryWhateverTheEnvironmentNames) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    GitTestRepository other;
    for (const auto* name : {"one.c", "two.c", "three.c", "four.c"}) {
        other.writeFile(name, "int other;\n");
        other.commit(name, platform::currentDate());
    }
    // What git exports to its hooks, and some shells export: the other repository's folder alone,
    // then every variable that locates a repository naming it, or nothing git can read.
    const auto gitFolder = other.path() / ".git";
    const std::map<std::string, std::string> gitDir{{"GIT_DIR", gitFolder.string()}};
    std::map<std::string, std::string> everything;
    std::istringstream names(runGit({"rev-parse", "--local-env-vars"}));
    for (std::string name; std::getline(names, name);) everything[name] = "bogus";
    everything["GIT_DIR"] = everything["GIT_COMMON_DIR"] = gitFolder.string();
    everything["GIT_WORK_TREE"] = other.pathString();
    everything["GIT_INDEX_FILE"] = (gitFolder / "index").string();
    everything["GIT_OBJECT_DIRECTORY"] = (gitFolder / "objects").string();
    everything["GIT_NAMESPACE"] = "other";

    for (const auto& environment : {gitDir, everything}) {
        const auto history = norvane({"history", "demo"}, {.environment = environment});
        ASSERT_EQ(history.status, 0) << history.err;
        EXPECT_THAT(history.out, HasSubstr("Stored 3 history snapshots for demo\n"));
        const auto collected = norvane({"collect", "demo"}, {.environment = environment});
        ASSERT_EQ(collected.status, 0) << collected.err;
    }
    for (const auto& row : stored<DailyActivity>()) {
        EXPECT_EQ(row->commitCount, 1) << platform::Iso8601::format(row->date);
    }
    const auto head = repository->git({"rev-parse", "HEAD"}).substr(0, 40);
    for (const auto& snapshot : stored<Snapshot>()) {
        if (snapshot->snapshotTypeRaw == "scc") {
            EXPECT_EQ(snapshot->latestCommitHash, head);
        }
    }
}

TEST_F(CollectionCommands, AFolderThatCannotBeReadOrTrustedIsToldApart) {
    // Root passes over permissions unless the capabilities to do so are dropped.
    std::vector<std::string> launcher;
    if (geteuid() == 0) {
        if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "root passes over permissions without setpriv";
        launcher = {"/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search", "--"};
    }
    const auto repository = makeRepository();
    const auto path = repository->pathString();
    addProject("demo", repository->path());

    // git refuses a repository of another owner and says how to trust it, on lines of their own.
    const auto distrusted = norvane({"history", "demo"}, {.environment = {{"GIT_TEST_ASSUME_DIFFERENT_OWNER", "1"}}});
    EXPECT_NE(distrusted.status, 0);
    EXPECT_EQ(distrusted.err, "norvane: git failed: detected dubious ownership in repository at '" + path +
                                  "'\nnorvane: To add an exception for this directory, call:\n"
                                  "norvane: git config --global --add safe.directory " +
                                  path + "\n");

    std::filesystem::permissions(repository->path(), std::filesystem::perms::none);
    const auto added = norvane({"add", "closed", path}, {.launcher = launcher});
    const auto history = norvane({"history", "demo"}, {.launcher = launcher});
    std::filesystem::permissions(repository->path(), std::filesystem::perms::owner_all);
    EXPECT_NE(added.status, 0);
    EXPECT_EQ(added.err, "norvane: Path cannot be read: " + path + "\n");
    EXPECT_EQ(storedProject("closed"), nullptr) << "nothing is left, as for a folder that does not exist";
    EXPECT_NE(history.status, 0);
    EXPECT_EQ(history.err, "norvane: No history stored for demo: " + path + " cannot be read\n");
    EXPECT_EQ(storedSnapshots("demo", "gitHistory"), 3u);
}

TEST_F(CollectionCommands, APathLongerThanTheSystemAllowsIsSkippedWithAWarning) {
    TemporaryFolder project;
    project.writeFile("main.c", "int main(void) { return 0; }\n");
    // Folders up to just under the limit, and a file whose whole path passes it, however long the
    // temporary folder's path.
    auto deep = project.path();
    while (deep.string().size() < PATH_MAX - 250) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    const std::string name = std::string(250, 'f') + ".c";
    const int folder = ::open(deep.c_str(), O_DIRECTORY | O_RDONLY);
    ASSERT_GE(folder, 0);
    const int file = ::openat(folder, name.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "int x;\n", 7), 7);
    ::close(file);

    const auto added = norvane({"add", "deep", project.path().string()});
    const auto collected = norvane({"collect"});
    ::unlinkat(folder, name.c_str(), 0);
    ::close(folder);
    // The middle of so long a path is left out.
    const std::string path = (deep / name).string();
    const auto warning = "norvane: warning: deep: skipped 1 file that could not be read, such as " +
                         path.substr(0, 60) + "..." + path.substr(path.size() - 100) + " (File name too long)\n";
    for (const auto& run : {added, collected}) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, warning);
    }
    EXPECT_THAT(collected.out, HasSubstr("deep: 1 code lines"));
}

} // namespace
} // namespace norvane::testing
