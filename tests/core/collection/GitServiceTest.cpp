#include "core/collection/GitService.h"

#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/RecordingProcessRunner.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

#include <fstream>

namespace norvane {
namespace {

using testing::GitTestRepository;
using namespace std::chrono_literals;

platform::Date at(const char* text) { return *platform::Iso8601::parse(text); }

class GitServiceTest : public ::testing::Test {
protected:
    testing::IsolatedGitEnvironment environment;
    GitService git;
};

TEST_F(GitServiceTest, FolderThatIsNotARepository) {
    testing::TemporaryFolder folder;
    const auto path = folder.path().string();
    EXPECT_FALSE(git.isGitRepository(path));
    EXPECT_FALSE(git.getLatestCommit(path));
    EXPECT_FALSE(git.getFirstCommitDate(path));
    EXPECT_FALSE(git.getActivitySince(platform::distantPast(), path));
    EXPECT_TRUE(git.getCommitHistoryWithStats(path, std::nullopt).empty());
    EXPECT_FALSE(git.getCurrentHead(path));
    EXPECT_FALSE(git.isGitRepository(path + "/missing"));
}

TEST_F(GitServiceTest, GitFileCountsAsRepositoryWithoutRunningGit) {
    testing::TemporaryFolder folder;
    folder.writeFile(".git", "gitdir: ../elsewhere\n");
    testing::RecordingProcessRunner runner;
    EXPECT_TRUE(GitService(runner).isGitRepository(folder.path().string()));
    EXPECT_TRUE(runner.requests.empty());
}

TEST_F(GitServiceTest, RepositoryWithoutCommits) {
    GitTestRepository repository;
    const auto path = repository.pathString();
    EXPECT_TRUE(git.isGitRepository(path));
    EXPECT_FALSE(git.getLatestCommit(path));
    EXPECT_FALSE(git.getFirstCommitDate(path));
    EXPECT_TRUE(git.getCommitHistory(path, std::nullopt).empty());
    EXPECT_TRUE(git.getCommitHistoryWithStats(path, 7).empty());
    EXPECT_FALSE(git.getActivitySince(platform::distantPast(), path));
}

TEST_F(GitServiceTest, GitThatCannotStartAnswersNothing) {
    GitTestRepository repository;
    repository.commit("one", at("2024-01-01T10:00:00Z"));
    testing::RecordingProcessRunner runner(testing::failingToStart("No such file or directory"));
    const GitService failing(runner);
    EXPECT_TRUE(failing.isGitRepository(repository.pathString())); // ".git" is there
    EXPECT_FALSE(failing.getLatestCommit(repository.pathString()));
    EXPECT_FALSE(failing.getCurrentBranch(repository.pathString()));
    EXPECT_FALSE(failing.checkout("main", repository.pathString()));
}

TEST_F(GitServiceTest, LatestFirstAndHistory) {
    GitTestRepository repository;
    repository.writeFile("src/main.c", "int main() {}\n");
    repository.commit("first", at("2024-01-01T10:00:00Z"), "Ann");
    repository.writeFile("src/main.c", "int main() {\n  return 0;\n}\n");
    repository.writeFile("README.md", "# Hi\n");
    const auto second = repository.commit("second | with bar\n\nBody text\n\nCo-Authored-By: Claude <c@x>",
                                          at("2024-01-05T10:00:00Z"), "Bo | Bar");
    const auto path = repository.pathString();

    const auto latest = git.getLatestCommit(path);
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->hash, second);
    EXPECT_EQ(latest->message, "second | with bar|Bo "); // a "|" in the name cannot be told apart there
    EXPECT_EQ(latest->author, " Bar");
    EXPECT_EQ(latest->date, at("2024-01-05T10:00:00Z"));
    EXPECT_EQ(git.getFirstCommitDate(path), at("2024-01-01T10:00:00Z"));

    const auto history = git.getCommitHistoryWithStats(path, std::nullopt);
    ASSERT_EQ(history.size(), 2U);
    EXPECT_EQ(history[0].message, "first");
    EXPECT_EQ(history[0].insertions, 1);
    EXPECT_EQ(history[0].filesChanged, 1);
    EXPECT_EQ(history[1].hash, second);
    EXPECT_EQ(history[1].author, "Bo | Bar");
    EXPECT_EQ(history[1].message, "second | with bar");
    EXPECT_NE(history[1].fullMessage.find("Co-Authored-By: Claude"), std::string::npos);
    EXPECT_EQ(history[1].filesChanged, 2);
    EXPECT_EQ(history[1].insertions, 4);
    EXPECT_EQ(history[1].deletions, 1);

    const auto plain = git.getCommitHistory(path, 0);
    ASSERT_EQ(plain.size(), 2U);
    EXPECT_EQ(plain[1].hash, second);
    EXPECT_EQ(git.getCurrentBranch(path), "main");
    EXPECT_EQ(git.getCurrentHead(path), second);
}

TEST_F(GitServiceTest, ActivityWithOddPathsBinaryFilesAndMerges) {
    GitTestRepository repository;
    const auto start = platform::LocalCalendar::startOfDay(at("2024-02-01T12:00:00Z")) + 8h;
    repository.writeFile("base.txt", "base\n");
    repository.commit("base", start);
    repository.git({"checkout", "-q", "-b", "side"});
    repository.writeFile("with space.c", "a\nb\n");
    repository.writeFile("quote\"d.py", "x\n");
    repository.writeFile("new\nline.md", "doc\n");
    repository.writeFile("tests/unit.c", "t\n");
    repository.writeFile("logo.bin", std::string("\0\1\2\3", 4));
    repository.commit("side work", start + 1h);
    repository.git({"checkout", "-q", "main"});
    repository.writeFile("Makefile", "all:\n");
    repository.commit("main work", start + 2h);
    repository.git(
        {"-c", "user.name=M", "-c", "user.email=m@x", "merge", "-q", "--no-edit", "side"},
        {{"GIT_AUTHOR_DATE", testing::gitDate(start + 3h)}, {"GIT_COMMITTER_DATE", testing::gitDate(start + 3h)}});

    const auto stats = git.getActivitySince(start + 30min, repository.pathString());
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->commitCount, 3);
    EXPECT_EQ(stats->filesChanged, 6);
    EXPECT_EQ(stats->insertions, 6);
    EXPECT_EQ(stats->codeStats, (CategoryLineStats{3, 0}));
    EXPECT_EQ(stats->docsStats, (CategoryLineStats{1, 0}));
    EXPECT_EQ(stats->testStats, (CategoryLineStats{1, 0}));
    EXPECT_EQ(stats->configStats, (CategoryLineStats{1, 0}));

    const auto days = git.getDailyActivitySince(platform::distantPast(), repository.pathString());
    ASSERT_TRUE(days);
    ASSERT_EQ(days->size(), 1U);
    EXPECT_EQ(days->begin()->first, platform::LocalCalendar::startOfDay(start));
    EXPECT_EQ(days->begin()->second.commitCount, 4);
}

TEST_F(GitServiceTest, DetachedHeadShallowCloneAndHugeMessage) {
    GitTestRepository repository;
    const auto start = at("2024-03-01T08:00:00Z");
    for (int day = 0; day < 4; ++day) {
        repository.writeFile("f.c", std::string(static_cast<std::size_t>(day + 1), 'x') + "\n");
        repository.commit("commit " + std::to_string(day), platform::LocalCalendar::addingDays(start, day));
    }
    const std::string huge = "big\n\n" + std::string(2'000'000, 'y') + "\n[claude]\n";
    const auto last = repository.commit(huge, platform::LocalCalendar::addingDays(start, 10));

    testing::TemporaryFolder cloneParent;
    const auto clone = (cloneParent.path() / "clone").string();
    testing::runGit({"clone", "-q", "--depth", "2", "file://" + repository.pathString(), clone});
    const auto shallow = git.getCommitHistoryWithStats(clone, std::nullopt);
    ASSERT_EQ(shallow.size(), 2U);
    EXPECT_EQ(shallow[1].hash, last);
    EXPECT_EQ(shallow[1].fullMessage, huge);
    EXPECT_EQ(git.getFirstCommitDate(clone), platform::LocalCalendar::addingDays(start, 3));

    repository.git({"checkout", "-q", "--detach", "HEAD~1"});
    EXPECT_FALSE(git.getCurrentBranch(repository.pathString()));
    EXPECT_EQ(git.getCommitHistory(repository.pathString(), 7).size(), 2U); // days 0 and 3, the last is day 3
    EXPECT_TRUE(git.checkout("main", repository.pathString()));
    EXPECT_EQ(git.getCurrentBranch(repository.pathString()), "main");
}

TEST_F(GitServiceTest, InvalidUtf8IsDecodedLossily) {
    GitTestRepository repository;
    repository.commit("valid", at("2024-01-01T10:00:00Z"));
    auto tree = repository.git({"rev-parse", "HEAD^{tree}"});
    tree.pop_back();
    // git itself mends such bytes when it commits, so the object is written by hand.
    const std::string raw = "tree " + tree +
                            "\nauthor Ren\xE9 <r@x> 1704106800 +0000\ncommitter Ren\xE9 <r@x> 1704106800 +0000"
                            "\n\ncaf\xE9 latin-1\n";
    auto hash = repository.git({"hash-object", "-w", "-t", "commit", "--stdin"}, {}, raw);
    hash.pop_back();
    repository.git({"update-ref", "refs/heads/main", hash});

    const auto history = git.getCommitHistoryWithStats(repository.pathString(), std::nullopt);
    ASSERT_EQ(history.size(), 1U);
    EXPECT_EQ(history[0].message, "caf\xEF\xBF\xBD latin-1");
    EXPECT_EQ(history[0].author, "Ren\xEF\xBF\xBD");
    const auto latest = git.getLatestCommit(repository.pathString());
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->message, "caf\xEF\xBF\xBD latin-1");
}

TEST_F(GitServiceTest, CheckoutNeverTakesTextForAnOptionOrAFile) {
    GitTestRepository repository;
    repository.writeFile("notes.txt", "one\n");
    repository.commit("one", at("2024-01-01T10:00:00Z"));
    repository.writeFile("notes.txt", "local change\n");
    const auto path = repository.pathString();
    EXPECT_FALSE(git.checkout("--detach", path));
    EXPECT_FALSE(git.checkout("notes.txt", path));
    EXPECT_EQ(git.getCurrentBranch(path), "main");
    std::ifstream notes(repository.path() / "notes.txt");
    std::string text;
    std::getline(notes, text);
    EXPECT_EQ(text, "local change");
}

} // namespace
} // namespace norvane
