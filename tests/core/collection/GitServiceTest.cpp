#include "core/collection/GitService.h"
#include "core/models/NorvaneError.h"

#include "tests/core/collection/CollectionFixture.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/LocalDate.h"
#include "tests/support/RecordingProcessRunner.h"

#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>
#include <tuple>

namespace norvane {
namespace {

using testing::GitTestRepository;
using testing::utc;
using namespace std::chrono_literals;

class GitServiceTest : public ::testing::Test {
protected:
    testing::IsolatedGitEnvironment environment;
    GitService git;
};

/// Everything the collection reads of a repository.
struct Reading {
    std::optional<GitCommit> latest;
    std::optional<platform::Date> firstCommit;
    std::vector<GitCommit> history;
    std::map<platform::Date, GitActivityStats> days;

    bool operator==(const Reading&) const = default;
};

/// The commit without its line counts and body, as the newest commit is read.
GitCommit summary(const GitCommit& commit) { return {commit.hash, commit.message, commit.author, commit.date}; }

Reading read(const GitService& git, const std::string& path) {
    return {git.getLatestCommit(path), git.getFirstCommitDate(path), testing::importedCommits(git, path),
            testing::importedDays(git, path)};
}

TEST_F(GitServiceTest, FoldersThatAreNoRepositoryOrHaveNoCommits) {
    testing::TemporaryFolder folder;
    EXPECT_FALSE(git.isGitRepository(folder.path().string()));
    EXPECT_EQ(read(git, folder.path().string()), Reading{});

    GitTestRepository empty;
    EXPECT_TRUE(git.isGitRepository(empty.pathString()));
    EXPECT_EQ(read(git, empty.pathString()), Reading{});

    // A ".git" file, as in a worktree or a submodule, makes a repository without running git.
    folder.writeFile(".git", "gitdir: ../elsewhere\n");
    testing::RecordingProcessRunner runner;
    EXPECT_TRUE(GitService(runner).isGitRepository(folder.path().string()));
    EXPECT_TRUE(runner.requests.empty());
}

TEST_F(GitServiceTest, RepositoriesGitCannotReadAreReportedNotTakenForEmpty) {
    GitTestRepository repository;
    repository.commit("one", utc("2024-01-01T10:00:00Z"));
    const auto path = repository.pathString();
    const auto readingFails = [&path](const GitService& service) {
        return testing::errorMessageOf<NorvaneError>([&] { read(service, path); });
    };
    {
        const testing::ScopedEnvironment otherOwner("GIT_TEST_ASSUME_DIFFERENT_OWNER", "1");
        EXPECT_TRUE(readingFails(git).starts_with("git failed: detected dubious ownership in repository at"));
    }
    testing::RecordingProcessRunner runner(testing::failingToStart("No such file or directory"));
    EXPECT_EQ(readingFails(GitService(runner)), "git failed: No such file or directory");
    // A git that is stopped for running too long is a failure that says so.
    testing::RecordingProcessRunner stuck([](const platform::ProcessRequest& request) {
        auto result = testing::exitedWith(128 + 9);
        result.timedOut = request.timeLimit == std::chrono::hours(2);
        return result;
    });
    EXPECT_EQ(readingFails(GitService(stuck)), "git failed: git ran for more than 2 hours and was stopped");

    repository.writeFile(".git/HEAD", "garbage\n");
    EXPECT_TRUE(readingFails(git).starts_with("git failed: not a git repository"));
}

TEST_F(GitServiceTest, ActivityWithOddPathsBinaryFilesAndMerges) {
    GitTestRepository repository;
    const auto start = platform::LocalCalendar::startOfDay(utc("2024-02-01T12:00:00Z")) + 8h;
    repository.writeFile("base.txt", "base\n");
    repository.commit("base", start - 24h);
    repository.git({"checkout", "-q", "-b", "side"});
    repository.writeFile("with space.c", "a\nb\n");
    repository.writeFile("quote\"d.py", "x\n");
    repository.writeFile("new\nline\tand tab.md", "doc\n");
    repository.writeFile("tests/unit.c", "t\n");
    repository.writeFile("logo.bin", std::string("\0\1\2\3", 4));
    repository.commit("side work", start + 1h);
    repository.git({"checkout", "-q", "main"});
    repository.writeFile("Makefile", "all:\n");
    repository.commit("main work", start + 2h);
    repository.git(
        {"-c", "user.name=M", "-c", "user.email=m@x", "merge", "-q", "--no-edit", "side"},
        {{"GIT_AUTHOR_DATE", testing::gitDate(start + 3h)}, {"GIT_COMMITTER_DATE", testing::gitDate(start + 3h)}});

    const auto days = testing::importedDays(git, repository.pathString());
    ASSERT_EQ(days.size(), 2U);
    const auto& [day, stats] = *days.rbegin();
    const CategoryLineStats one{1, 0};
    EXPECT_EQ(day, platform::LocalCalendar::startOfDay(start));
    EXPECT_EQ(std::tuple(stats.commitCount, stats.filesChanged, stats.insertions, stats.codeStats, stats.docsStats,
                         stats.testStats, stats.configStats),
              std::tuple(3, 6, 6, CategoryLineStats{3, 0}, one, one, one));
}

TEST_F(GitServiceTest, HostileConfigurationChangesNothing) {
    GitTestRepository repository;
    Reading hostile;
    Reading hostileSubfolder;
    {
        const testing::HostileGitEnvironment hostileHome;
        const auto start = utc("2024-03-01T08:00:00Z");
        repository.writeFile("src/Ünïcode name.c", "int a;\nint b;\n");
        repository.writeFile("logo.png", std::string("\x89PNG\0\0\1", 7));
        repository.commit("Root | ✓ café", start, "Zoë | Ünïcode");
        repository.git({"checkout", "-q", "-b", "side"});
        repository.git({"mv", "src/Ünïcode name.c", "src/moved.c"});
        repository.writeFile("src/moved.c", "int a;\nint b;\nint c;\n");
        repository.commit("Move and edit", start + 24h);
        repository.git({"checkout", "-q", "main"});
        repository.writeFile("docs/guide.md", "# Guide\n");
        repository.commit("Docs\n\nCo-Authored-By: Claude <c@x>", start + 48h);
        const auto when = testing::gitDate(start + 72h);
        repository.git({"-c", "user.name=M", "-c", "user.email=m@x", "merge", "-q", "--no-edit", "side"},
                       {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
        // A submodule added, then moved to another commit.
        for (const char digit : {'1', '2'}) {
            repository.git(
                {"update-index", "--add", "--cacheinfo", "160000," + std::string(40, digit) + ",vendor/lib"});
            repository.git(
                {"-c", "user.name=M", "-c", "user.email=m@x", "commit", "-q", "--allow-empty", "-m", "Vendor"},
                {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}});
        }
        if (hostileHome.signsCommits()) {
            EXPECT_NE(repository.git({"cat-file", "commit", "HEAD"}).find("gpgsig"), std::string::npos);
        }
        hostile = read(git, repository.pathString());
        hostileSubfolder = read(git, (repository.path() / "src").string());
    }
    const auto clean = read(git, repository.pathString());
    EXPECT_EQ(hostile, clean);
    EXPECT_EQ(hostileSubfolder, clean);
    ASSERT_EQ(clean.history.size(), 6U);
    // A submodule's new commit is a change whatever diff.ignoreSubmodules says.
    EXPECT_EQ((std::tuple{clean.history[5].insertions, clean.history[5].deletions, clean.history[5].filesChanged}),
              (std::tuple{1, 1, 1}));
    EXPECT_EQ(clean.latest->hash, repository.git({"rev-parse", "HEAD"}).substr(0, 40));
    EXPECT_EQ(summary(clean.history.back()), clean.latest);
    EXPECT_EQ(clean.firstCommit, utc("2024-03-01T08:00:00Z"));
    EXPECT_EQ(summary(clean.history.front()),
              (GitCommit{clean.history.front().hash, "Root | ✓ café", "Zoë | Ünïcode", utc("2024-03-01T08:00:00Z")}));
    EXPECT_EQ(clean.history[2].fullMessage, "Docs\n\nCo-Authored-By: Claude <c@x>\n");
    EXPECT_EQ(clean.history[0].filesChanged, 2);
    // A moved file counts the lines that changed, as a plain git log says, whatever diff.renames says.
    EXPECT_EQ((std::tuple{clean.history[1].insertions, clean.history[1].deletions}), (std::tuple{1, 0}));
}

TEST_F(GitServiceTest, DetachedHeadAndAHugeMessage) {
    GitTestRepository repository;
    const auto path = repository.pathString();
    const auto start = utc("2024-03-01T08:00:00Z");
    for (int day = 0; day < 4; ++day) {
        repository.commit("commit " + std::to_string(day), platform::LocalCalendar::addingDays(start, day));
    }
    const std::string huge = "big\n\n" + std::string(2'000'000, 'y') + "\n[claude]\n";
    const auto last = repository.commit(huge, platform::LocalCalendar::addingDays(start, 10));
    EXPECT_EQ(testing::importedCommits(git, path).back().fullMessage, huge);

    repository.git({"checkout", "-q", "--detach", "HEAD~1"});
    // The history is HEAD's, wherever it points; the branch it left stays a tip.
    const auto detached = testing::importedCommits(git, path);
    ASSERT_EQ(detached.size(), 4U);
    EXPECT_EQ(GitService::sampleCommits(detached, 7).size(), 2U); // days 0 and 3, the last is day 3
    EXPECT_EQ(git.getLatestCommit(path)->hash, detached.back().hash);
    const auto tips = git.readTips(path);
    EXPECT_NE(std::ranges::find(tips.commits, last), tips.commits.end());
}

TEST_F(GitServiceTest, InvalidUtf8IsDecodedLossily) {
    GitTestRepository repository;
    repository.commit("valid", utc("2024-01-01T10:00:00Z"));
    auto tree = repository.git({"rev-parse", "HEAD^{tree}"});
    tree.pop_back();
    // git itself mends such bytes when it commits, so the object is written by hand.
    const std::string raw = "tree " + tree +
                            "\nauthor Ren\xE9 <r@x> 1704106800 +0000\ncommitter Ren\xE9 <r@x> 1704106800 +0000"
                            "\n\ncaf\xE9 latin-1\n";
    auto hash = repository.git({"hash-object", "-w", "-t", "commit", "--stdin"}, {}, raw);
    hash.pop_back();
    repository.git({"update-ref", "refs/heads/main", hash});

    const auto history = testing::importedCommits(git, repository.pathString());
    ASSERT_EQ(history.size(), 1U);
    EXPECT_EQ(history[0].message, "caf\xEF\xBF\xBD latin-1");
    EXPECT_EQ(history[0].author, "Ren\xEF\xBF\xBD");
    EXPECT_EQ(git.getLatestCommit(repository.pathString())->message, "caf\xEF\xBF\xBD latin-1");
}

TEST_F(GitServiceTest, TheTipsAreHeadAndEveryLocalBranchReadInOneRunOfGit) {
    GitTestRepository repository;
    const auto path = repository.pathString();
    testing::RecordingProcessRunner runner(testing::runningForReal());
    const GitService counted(runner);
    const auto none = counted.readTips(path);
    auto top = repository.git({"rev-parse", "--show-toplevel"});
    top.pop_back();
    EXPECT_EQ(none, GitTips{.workTree = top}) << "no commit yet";
    // Where the work tree begins, as git tells it from a folder inside it, through a link too.
    repository.writeFile("sub/deeper/x.c", "x\n");
    testing::TemporaryFolder links;
    std::filesystem::create_directory_symlink(repository.path() / "sub", links.path() / "link");
    for (const auto& inside : {repository.path() / "sub" / "deeper", links.path() / "link" / "deeper"}) {
        EXPECT_EQ(git.readTips(inside.string()).workTree, top) << inside;
    }

    repository.writeFile("a.c", "a\n");
    const auto first = repository.commit("first", utc("2024-02-01T12:00:00Z"));
    repository.git({"branch", "old"});
    repository.writeFile("a.c", "b\n");
    const auto second = repository.commit("second", utc("2024-02-02T12:00:00Z"));
    repository.git({"tag", "v1"});
    repository.git({"update-ref", "refs/remotes/origin/gone", first});
    runner.requests.clear();
    const auto tips = counted.readTips(path);
    EXPECT_EQ(runner.requests.size(), 1U);
    EXPECT_EQ(tips.head, second);
    auto both = std::vector{first, second};
    std::sort(both.begin(), both.end());
    EXPECT_EQ(tips.commits, both) << "the branches' commits, neither a tag nor a remote's";

    repository.git({"checkout", "-q", "--detach", first});
    EXPECT_EQ(counted.readTips(path).head, first);
    repository.git({"checkout", "-q", "--orphan", "fresh"});
    EXPECT_EQ(counted.readTips(path).head, std::nullopt) << "a branch without commits yet";

    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "1", "--branch", "main", "file://" + path, clone});
    EXPECT_EQ(git.readTips(clone).shallowBoundary, second + "\n");
}

// A submodule's ".git" file names the folder git keeps it in from where the submodule really is:
// reached through a link, a link to that link, or ".." after a link, it is read as git reads it; and
// so is a repository's own ".git" folder after a link and "..".
TEST_F(GitServiceTest, AGitFileIsReadFromWhereItsFolderReallyIsWhateverLinkLedThere) {
    GitTestRepository repository;
    repository.writeFile("a.c", "a\n");
    repository.commit("first", utc("2024-02-01T12:00:00Z"));
    testing::TemporaryFolder place;
    const auto super = place.path() / "super";
    repository.moveIntoSuperproject(super);
    testing::runGit({"-C", super.string(), "-c", "user.name=Ann", "-c", "user.email=ann@example.com", "commit", "-q",
                     "-m", "sub"});
    std::filesystem::create_directory_symlink(repository.path(), place.path() / "again");
    std::filesystem::create_directory_symlink(super / "sub" / "inner", place.path() / "inner");
    repository.writeFile("inner/b.c", "b\n");
    for (const auto& folder : {repository.path(), place.path() / "again", repository.path() / ".." / "sub",
                               place.path() / "inner" / ".." / ".."}) {
        const auto asked = [&folder](const std::string& what) {
            auto answer = testing::runGit({"-C", folder.string(), "rev-parse", what});
            answer.pop_back();
            return answer;
        };
        const auto tips = git.readTips(folder.string());
        const auto latest = git.getLatestCommit(folder.string());
        EXPECT_EQ(std::tuple(tips.workTree, tips.head.value_or(""), latest ? latest->hash : ""),
                  std::tuple(asked("--show-toplevel"), asked("HEAD"), asked("HEAD")))
            << folder;
    }
}

TEST_F(GitServiceTest, GitNeverAsksForAPassword) {
    // A partial clone whose remote, asked for what the clone lacks, wants a password.
    httplib::Server server;
    server.Get(".*", [](const httplib::Request&, httplib::Response& response) {
        response.status = 401;
        response.set_header("WWW-Authenticate", "Basic realm=\"origin\"");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&server] { server.listen_after_bind(); });
    GitTestRepository origin;
    origin.writeFile("a.c", "int a;\n");
    origin.commit("first", utc("2024-02-01T12:00:00Z"));
    origin.git({"config", "uploadpack.allowFilter", "true"});
    testing::TemporaryFolder parent;
    const auto clone = (parent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--filter=blob:none", "--no-checkout", "file://" + origin.pathString(), clone});
    testing::runGit({"-C", clone, "remote", "set-url", "origin", "http://127.0.0.1:" + std::to_string(port) + "/r"});
    // What a desktop session sets: a program that asks in a window.
    const auto asked = parent.path() / "asked";
    const auto askpass = parent.writeFile("askpass", "#!/bin/sh\necho asked >> '" + asked.string() + "'\necho x\n");
    std::filesystem::permissions(askpass, std::filesystem::perms::owner_all);
    const testing::ScopedEnvironment gitAskpass("GIT_ASKPASS", askpass.string());
    const testing::ScopedEnvironment sshAskpass("SSH_ASKPASS", askpass.string());

    CommitBooking booking(platform::currentDate());
    EXPECT_THROW(git.readHistory(clone, git.readTips(clone), booking), NorvaneError);
    EXPECT_FALSE(std::filesystem::exists(asked)) << "git asked for a password";
    server.stop();
    serving.join();
}

} // namespace
} // namespace norvane
