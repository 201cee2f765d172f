#include "core/collection/GitService.h"

#include "core/collection/ActivityTally.h"
#include "core/collection/GitLogParser.h"
#include "core/collection/GitLogStream.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/models/NorvaneError.h"
#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "platform/LocalDayStarts.h"
#include "platform/TextTrimming.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

namespace norvane {
namespace {

constexpr const char* gitProgram = "/usr/bin/git";

/// A time zone's offset ranges over 26 hours (UTC-12 to UTC+14), so whole local days never
/// outrun the elapsed time by two days or more: the calendar is asked only near the threshold.
bool atLeastDaysApart(platform::Date from, platform::Date to, int days) {
    if (to - from < std::chrono::hours(24 * (days - 2))) {
        return false;
    }
    return platform::LocalCalendar::wholeDaysBetween(from, to) >= days;
}

/// Git's messages in English, so that what it says reads the same everywhere; and no flush after
/// every commit: through a pipe each flush is a write and a wake-up of the reader, which doubles
/// the time of a long log.
const std::map<std::string, std::string> gitEnvironmentOverrides{{"LC_ALL", "C"}, {"GIT_FLUSH", "0"}};

/// What tells git where a repository, its objects, index, namespace or configuration are, as
/// `git rev-parse --local-env-vars` lists them: git exports them to its hooks, some shells export
/// them, and any one would turn git from the project's repository to another.
const std::vector<std::string> repositoryVariables{"GIT_ALTERNATE_OBJECT_DIRECTORIES",
                                                   "GIT_CONFIG",
                                                   "GIT_CONFIG_PARAMETERS",
                                                   "GIT_CONFIG_COUNT",
                                                   "GIT_OBJECT_DIRECTORY",
                                                   "GIT_DIR",
                                                   "GIT_WORK_TREE",
                                                   "GIT_IMPLICIT_WORK_TREE",
                                                   "GIT_GRAFT_FILE",
                                                   "GIT_INDEX_FILE",
                                                   "GIT_NO_REPLACE_OBJECTS",
                                                   "GIT_REPLACE_REF_BASE",
                                                   "GIT_PREFIX",
                                                   "GIT_INTERNAL_SUPER_PREFIX",
                                                   "GIT_SHALLOW_FILE",
                                                   "GIT_COMMON_DIR",
                                                   "GIT_NAMESPACE"};

/// Settings pinned whatever the user's configuration says: a submodule's new commit is a change,
/// as a plain `git log` counts it.
const std::vector<std::string> pinnedConfiguration{"-c", "diff.ignoreSubmodules=none"};

/// Pins what `git log` prints, whatever the user's or the repository's configuration says: no
/// signature checks, colours or decorations but HEAD's for the formats that ask for it, messages in
/// UTF-8, no external diff or text conversion, git's own rename detection (its default similarity
/// and limit, no copies), so that the counts equal those of a plain `git log`, paths from the top,
/// the root commit's changes, merges without a diff, and one diff algorithm.
std::vector<std::string> logArguments(std::initializer_list<std::string> arguments) {
    std::vector<std::string> all{"log",
                                 "--no-show-signature",
                                 "--no-color",
                                 "--no-decorate",
                                 "--decorate-refs=HEAD",
                                 "--encoding=UTF-8",
                                 "--no-ext-diff",
                                 "--no-textconv",
                                 "--find-renames",
                                 "-l1000",
                                 "--no-relative",
                                 "--root",
                                 "--diff-merges=off",
                                 "--diff-algorithm=myers"};
    all.insert(all.end(), arguments);
    return all;
}

/// What git said when it failed, without its "fatal: " prefix.
std::string failureText(const GitRunResult& result) {
    auto text = std::string(platform::trimmed(result.errorText));
    if (text.starts_with("fatal: ")) {
        text.erase(0, 7);
    }
    return text.empty() ? "git exited with status " + std::to_string(result.exitStatus) : text;
}

/// Every commit dated from `date` on, however old the commits between them and the head: a plain
/// "--since" stops at the first older commit, such as a tip committed with an old date.
std::string sinceArgument(platform::Date date) { return "--since-as-filter=" + platform::Iso8601::format(date); }

/// A commit's full hash as a store may hold it; anything else is never handed to git.
bool isCommitHash(std::string_view text) {
    return (text.size() == 40 || text.size() == 64) &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

/// The boundary commits of a shallow history: git holds no parent for them, so their diff against
/// nothing would count the whole tree as written by them. Asked of git once, at the first commit
/// without parents (a root commit is one too).
class ShallowBoundary {
public:
    explicit ShallowBoundary(std::function<std::unordered_set<std::string>()> read) : read_(std::move(read)) {}

    bool contains(const GitLogParser::LogRecord& record) {
        if (record.hasParents()) {
            return false;
        }
        if (!hashes_) {
            hashes_ = read_();
        }
        const bool boundary = hashes_->contains(std::string(record.hash));
        met_ = met_ || boundary;
        return boundary;
    }
    /// Whether a boundary commit was met.
    bool met() const { return met_; }

private:
    std::function<std::unordered_set<std::string>()> read_;
    std::optional<std::unordered_set<std::string>> hashes_;
    bool met_ = false;
};

/// The local day a commit is booked on: its committer date's, or the day it was first seen for a
/// date ahead of the clock, never a day to come.
class BookingDays {
public:
    explicit BookingDays(platform::Date now) : now_(now) {}

    platform::Date of(platform::Date committedAt, platform::Date firstSeen) {
        return starts_.of(std::min({committedAt, firstSeen, now_}));
    }
    platform::Date of(platform::Date committedAt) { return of(committedAt, now_); }

private:
    platform::Date now_;
    platform::LocalDayStarts starts_;
};

std::map<platform::Date, GitActivityStats> statsOfDays(const std::map<platform::Date, ActivityTally>& tallies) {
    std::map<platform::Date, GitActivityStats> days;
    for (const auto& [day, tally] : tallies) {
        days.emplace_hint(days.end(), day, tally.stats());
    }
    return days;
}

} // namespace

GitService::GitService(platform::ProcessRunner& runner, std::chrono::milliseconds timeLimit)
    : runner_(runner), timeLimit_(timeLimit) {}

GitRunResult GitService::runGit(const std::string& path, std::vector<std::string> arguments,
                                std::function<void(std::string_view)> receiveOutput) const {
    arguments.insert(arguments.begin(), {"-C", path});
    arguments.insert(arguments.begin(), pinnedConfiguration.begin(), pinnedConfiguration.end());
    auto result = runner_.run({.executable = gitProgram,
                               .arguments = std::move(arguments),
                               .environmentOverrides = gitEnvironmentOverrides,
                               .environmentRemovals = repositoryVariables,
                               .timeLimit = timeLimit_,
                               .standardOutputReceiver = std::move(receiveOutput)});
    if (!result.started()) {
        return {"", *result.startError, -1};
    }
    if (result.timedOut) {
        return {"", "git ran for more than " + platform::timeLimitText(timeLimit_) + " and was stopped",
                result.exitStatus};
    }
    return {platform::UnicodeText::decodeLossy(std::move(result.standardOutput)),
            platform::UnicodeText::decodeLossy(std::move(result.standardError)), result.exitStatus};
}

bool GitService::isGitRepository(const std::string& path) const {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(path) / ".git", error)) {
        return true;
    }
    return runGit(path, {"rev-parse", "--git-dir"}).exitStatus == 0;
}

std::string GitService::readLog(const std::string& path, std::vector<std::string> arguments) const {
    auto result = runGit(path, std::move(arguments));
    expectLogRead(path, result);
    return result.exitStatus == 0 ? std::move(result.output) : std::string();
}

void GitService::readLogRecords(const std::string& path, std::vector<std::string> arguments,
                                const std::function<void(const GitLogParser::LogRecord&)>& visit) const {
    GitLogStream stream(visit);
    const auto result = runGit(path, std::move(arguments), [&stream](std::string_view text) { stream.add(text); });
    // A runner that does not pass output on as it comes hands it over at the end.
    stream.add(result.output);
    stream.finish();
    expectLogRead(path, result);
}

void GitService::expectLogRead(const std::string& path, const GitRunResult& result) const {
    // An unborn branch is a repository without commits; anything else is git failing to read it.
    if (result.exitStatus == 0 || runGit(path, {"rev-parse", "--verify", "--quiet", "HEAD"}).exitStatus == 1) {
        return;
    }
    throw NorvaneError::gitFailed(failureText(result));
}

std::optional<GitCommit> GitService::getLatestCommit(const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    const auto output = readLog(path, logArguments({"-1", std::string(GitLogParser::commitLineFormat)}));
    return parseCommitLine(platform::trimmed(output, "\n"));
}

bool GitService::visitActivity(const std::string& path, std::vector<std::string> arguments,
                               const std::function<void(const GitLogParser::LogRecord&)>& visit,
                               const std::function<void(const GitLogParser::LogRecord&)>& listed) const {
    if (!isGitRepository(path)) {
        return false;
    }
    ShallowBoundary boundary([&] { return shallowBoundary(path); });
    readLogRecords(path, std::move(arguments), [&](const GitLogParser::LogRecord& record) {
        if (listed) {
            listed(record);
        }
        if (!boundary.contains(record)) {
            visit(record);
        }
    });
    return true;
}

std::optional<GitActivityStats> GitService::getActivitySince(platform::Date date, const std::string& path) const {
    ActivityTally tally;
    const auto arguments =
        logArguments({sinceArgument(date), "--numstat", "-z", std::string(GitLogParser::logFormat), "HEAD", "--"});
    if (!visitActivity(path, arguments, [&tally](const GitLogParser::LogRecord& record) { tally.add(record); })) {
        return std::nullopt;
    }
    return tally.stats();
}

std::optional<GitRecentActivity> GitService::getRecentActivity(const GitActivityWindow& window,
                                                               const std::string& path) const {
    auto arguments = logArguments({sinceArgument(window.listedSince.value_or(window.since)), "--numstat", "-z",
                                   std::string(GitLogParser::logFormat), "--ignore-missing"});
    if (!window.lastHeads.empty()) {
        arguments.push_back("--topo-order"); // a commit before its parents, so that they learn it was seen
    }
    arguments.push_back("HEAD");
    // What the earlier collections read is not walked again; their heads themselves are listed, so
    // that a head that has not moved since is known from this log.
    std::set<std::string, std::less<>> booked;
    for (const auto& head : window.bookedHeads) {
        if (isCommitHash(head)) {
            arguments.push_back("^" + head + "^@");
            booked.insert(head);
        }
    }
    arguments.push_back("--");

    GitRecentActivity recent;
    std::map<platform::Date, ActivityTally> tallies;
    BookingDays days(window.now);
    std::set<std::string, std::less<>> reachedLast(window.lastHeads.begin(), window.lastHeads.end());
    bool seenLast = false;
    const bool read = visitActivity(
        path, std::move(arguments),
        [&](const GitLogParser::LogRecord& record) {
            if (record.committedAt >= window.since && !booked.contains(record.hash)) {
                tallies[days.of(record.committedAt, seenLast ? window.lastCollectedAt : window.now)].add(record);
            }
        },
        [&](const GitLogParser::LogRecord& record) {
            if (record.isHead) {
                recent.newest = GitCommit{std::string(record.hash), std::string(record.subject),
                                          std::string(record.author), record.authoredAt};
            }
            seenLast = reachedLast.contains(record.hash);
            if (seenLast) {
                record.forEachParent([&reachedLast](std::string_view parent) { reachedLast.emplace(parent); });
            }
        });
    if (!read) {
        return std::nullopt;
    }
    // The head lies before the log's start, or git was told not to decorate it.
    if (!recent.newest) {
        recent.newest = getLatestCommit(path);
    }
    recent.days = statsOfDays(tallies);
    return recent;
}

std::optional<platform::Date> GitService::getFirstCommitDate(const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    // The earliest date, not the first in git's order: a branch merged late can hold older commits.
    const auto output = readLog(path, logArguments({"--format=%at"}));
    std::optional<platform::Date> earliest;
    for (std::string_view rest = output; !rest.empty();) {
        const auto end = rest.find('\n');
        const auto date = GitLogParser::parseDate(platform::trimmed(rest.substr(0, end)));
        if (date && (!earliest || *date < *earliest)) {
            earliest = date;
        }
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return earliest;
}

std::vector<GitCommit> GitService::getCommitHistory(const std::string& path, std::optional<int> sampleInterval) const {
    if (!isGitRepository(path)) {
        return {};
    }
    const auto output = readLog(path, logArguments({"--reverse", std::string(GitLogParser::commitLineFormat)}));
    std::vector<GitCommit> commits;
    std::string_view rest = output;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (auto commit = parseCommitLine(line)) {
            commits.push_back(std::move(*commit));
        }
    }
    return sampledIfAsked(std::move(commits), sampleInterval);
}

std::optional<std::string> GitService::getCurrentHead(const std::string& path) const {
    const auto result = runGit(path, {"rev-parse", "HEAD"});
    if (result.exitStatus != 0) {
        return std::nullopt;
    }
    return std::string(platform::trimmed(result.output));
}

std::optional<std::string> GitService::getCurrentBranch(const std::string& path) const {
    const auto result = runGit(path, {"rev-parse", "--abbrev-ref", "HEAD"});
    if (result.exitStatus != 0) {
        return std::nullopt;
    }
    const auto branch = platform::trimmed(result.output);
    if (branch == "HEAD") {
        return std::nullopt;
    }
    return std::string(branch);
}

bool GitService::checkout(const std::string& commit, const std::string& path) const {
    // No reference begins with "-"; such text would be read as an option. The "--" after the
    // reference keeps a text that names no revision from being taken for a file to restore.
    if (commit.empty() || commit.starts_with("-")) {
        return false;
    }
    return runGit(path, {"checkout", "--quiet", commit, "--"}).exitStatus == 0;
}

bool GitService::checkoutBranch(const std::string& branch, const std::string& path) const {
    return checkout(branch, path);
}

std::vector<GitCommit> GitService::getCommitHistoryWithStats(const std::string& path,
                                                             std::optional<int> sampleInterval) const {
    return sampledIfAsked(readHistory(path, platform::currentDate()).commits, sampleInterval);
}

GitHistory GitService::readHistory(const std::string& path, platform::Date now) const {
    GitHistory history;
    if (!isGitRepository(path)) {
        return history;
    }
    std::map<platform::Date, ActivityTally> tallies;
    ShallowBoundary boundary([&] { return shallowBoundary(path); });
    BookingDays days(now);
    readLogRecords(path, logArguments({"--reverse", "--numstat", "-z", std::string(GitLogParser::logFormat)}),
                   [&](const GitLogParser::LogRecord& record) {
                       history.firstCommittedAt =
                           std::min(history.firstCommittedAt.value_or(record.committedAt), record.committedAt);
                       if (boundary.contains(record)) {
                           auto commit = record.commit();
                           commit.insertions = commit.deletions = commit.filesChanged = 0;
                           history.commits.push_back(std::move(commit));
                           return;
                       }
                       history.commits.push_back(record.commit());
                       tallies[days.of(record.committedAt)].add(record);
                   });
    std::stable_sort(history.commits.begin(), history.commits.end(),
                     [](const GitCommit& left, const GitCommit& right) { return left.date < right.date; });
    history.days = statsOfDays(tallies);
    history.shallow = boundary.met();
    return history;
}

std::unordered_set<std::string> GitService::shallowBoundary(const std::string& path) const {
    const auto result = runGit(path, {"rev-parse", "--is-shallow-repository", "--git-path", "shallow"});
    const auto lines = platform::trimmed(result.output);
    if (result.exitStatus != 0 || !lines.starts_with("true\n")) {
        return {};
    }
    // The file's path is relative to the folder git was run in.
    const auto file = std::filesystem::path(path) / lines.substr(5);
    std::unordered_set<std::string> hashes;
    std::ifstream stream(file);
    for (std::string hash; std::getline(stream, hash);) {
        hashes.insert(hash);
    }
    return hashes;
}

bool GitService::isBareRepository(const std::string& path) const {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(path) / ".git", error)) {
        return false;
    }
    // A bare repository, or a repository's own ".git" folder (or a folder in it).
    const auto result = runGit(path, {"rev-parse", "--is-inside-git-dir"});
    return result.exitStatus == 0 && platform::trimmed(result.output) == "true";
}

std::vector<GitCommit> GitService::sampledIfAsked(std::vector<GitCommit> commits, std::optional<int> sampleInterval) {
    if (!sampleInterval || *sampleInterval < 1) {
        return commits;
    }
    return sampleCommits(commits, *sampleInterval);
}

std::vector<GitCommit> GitService::sampleCommits(const std::vector<GitCommit>& commits, int intervalDays) {
    if (commits.empty()) {
        return {};
    }
    std::vector<GitCommit> selected{commits.front()};
    for (std::size_t index = 1; index < commits.size(); ++index) {
        if (atLeastDaysApart(selected.back().date, commits[index].date, intervalDays)) {
            selected.push_back(commits[index]);
        }
    }
    if (commits.back().hash != selected.back().hash) {
        selected.push_back(commits.back());
    }
    return selected;
}

std::optional<GitCommit> GitService::parseCommitLine(std::string_view line) {
    return GitLogParser::parseCommitLine(line);
}

OutputCategory GitService::categorize(std::string_view path) { return OutputCategoryClassifier::categorizePath(path); }

} // namespace norvane
