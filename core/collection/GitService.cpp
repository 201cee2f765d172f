#include "core/collection/GitService.h"

#include "core/collection/ActivityTally.h"
#include "core/collection/GitLogParser.h"
#include "core/collection/GitLogStream.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/models/NorvaneError.h"
#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "platform/LocalDayStarts.h"
#include "platform/TextPieces.h"
#include "platform/TextTrimming.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <set>

namespace norvane {
namespace {

constexpr const char* gitProgram = "/usr/bin/git";

/// Whether `wholeDaysBetween(from, to)` reaches `days`. A time zone's offset ranges over 26 hours
/// (UTC-12 to UTC+14), so whole local days never outrun the elapsed time by two days or more: the
/// calendar is asked only near the threshold, and for the wall-clock time `days` days on only when
/// the calendar days are exactly that far apart.
bool atLeastDaysApart(platform::Date from, platform::Date to, int days) {
    using platform::LocalCalendar::localDay;
    if (to - from < std::chrono::hours(24 * (days - 2))) {
        return false;
    }
    const auto calendarDays = (localDay(to) - localDay(from)).count();
    if (calendarDays != days) {
        return calendarDays > days;
    }
    return platform::LocalCalendar::addingDays(from, days) <= to;
}

/// Git's messages in English, so that what it says reads the same everywhere; no flush after
/// every commit: through a pipe each flush is a write and a wake-up of the reader, which doubles
/// the time of a long log; and no prompt for a password, in a terminal or a window, which would
/// stall a collection nobody watches (a partial clone fetches what it lacks from its remote).
const std::map<std::string, std::string> gitEnvironmentOverrides{
    {"LC_ALL", "C"}, {"GIT_FLUSH", "0"}, {"GIT_TERMINAL_PROMPT", "0"}, {"SSH_ASKPASS_REQUIRE", "never"}};

/// What tells git where a repository, its objects, index, namespace or configuration are, as
/// `git rev-parse --local-env-vars` lists them: git exports them to its hooks, some shells export
/// them, and any one would turn git from the project's repository to another. And the programs
/// that would ask for a password in a window.
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
                                                   "GIT_NAMESPACE",
                                                   "GIT_ASKPASS",
                                                   "SSH_ASKPASS"};

/// Settings pinned whatever the user's configuration says: a submodule's new commit is a change,
/// as a plain `git log` counts it; no attributes of the user's own (a global "*.c -diff" would
/// count no line of C) but those the repository holds; and no program that asks for a password.
const std::vector<std::string> pinnedConfiguration{
    "-c", "diff.ignoreSubmodules=none", "-c", "core.attributesFile=/dev/null", "-c", "core.askPass="};

/// Pins what `git log` prints, whatever the user's or the repository's configuration says: no
/// signature checks, colours or decorations but HEAD's for the formats that ask for it, messages in
/// UTF-8, no external diff or text conversion, git's own rename detection (its default similarity
/// and limit, no copies), so that the counts equal those of a plain `git log`, paths from the top,
/// the root commit's changes, merges without a diff, one diff algorithm, and every submodule's
/// change whatever its own setting says.
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
                                 "--diff-algorithm=myers",
                                 "--ignore-submodules=none"};
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

/// The boundary commits of a shallow history: git holds no parent for them, so their diff against
/// nothing would count the whole tree as written by them. Read once, at the first commit without
/// parents (a root commit is one too).
class ShallowBoundary {
public:
    explicit ShallowBoundary(std::function<std::string()> read) : read_(std::move(read)) {}

    bool contains(const GitLogParser::LogRecord& record) {
        if (record.hasParents()) {
            return false;
        }
        if (!hashes_) {
            hashes_.emplace();
            const auto lines = read_();
            for (const auto hash : platform::nonEmptyPieces(lines, '\n')) hashes_->emplace(hash);
        }
        const bool boundary = hashes_->contains(std::string(record.hash));
        met_ = met_ || boundary;
        return boundary;
    }
    /// Whether a boundary commit was met.
    bool met() const { return met_; }

private:
    std::function<std::string()> read_;
    std::optional<std::unordered_set<std::string>> hashes_;
    bool met_ = false;
};

/// The revisions of a walk from `include` that leaves out what `exclude` reaches.
std::vector<std::string> walkRevisions(const std::vector<std::string>& include,
                                       const std::vector<std::string>& exclude) {
    std::vector<std::string> revisions;
    for (const auto& commit : include) {
        if (GitLogParser::isCommitHash(commit)) revisions.push_back(commit);
    }
    for (const auto& commit : exclude) {
        if (GitLogParser::isCommitHash(commit)) revisions.push_back("^" + commit);
    }
    revisions.push_back("--");
    return revisions;
}

/// The lines of `text`, sorted, each ended by a line break.
std::string sortedLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (const auto piece : platform::nonEmptyPieces(text, '\n')) {
        if (const auto line = platform::trimmed(piece); !line.empty()) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string sorted;
    for (const auto line : lines) sorted.append(line).append(1, '\n');
    return sorted;
}

/// Commits that git listed newest first, oldest first by author date; commits of one date in
/// git's order reversed. Their places are sorted rather than the commits, which are large to move.
std::vector<GitCommit> byAuthorDate(std::vector<GitCommit> listed) {
    std::vector<std::size_t> order(listed.size());
    std::iota(order.rbegin(), order.rend(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&listed](std::size_t left, std::size_t right) { return listed[left].date < listed[right].date; });
    std::vector<GitCommit> sorted;
    sorted.reserve(listed.size());
    for (const auto place : order) sorted.push_back(std::move(listed[place]));
    return sorted;
}

} // namespace

GitService::GitService(platform::ProcessRunner& runner, std::chrono::milliseconds timeLimit)
    : runner_(runner), timeLimit_(timeLimit) {}

GitRunResult GitService::runGit(const std::string& path, std::vector<std::string> arguments,
                                std::function<void(std::string_view)> receiveOutput,
                                std::optional<std::string> standardInput) const {
    arguments.insert(arguments.begin(), {"-C", path});
    arguments.insert(arguments.begin(), pinnedConfiguration.begin(), pinnedConfiguration.end());
    auto result = runner_.run({.executable = gitProgram,
                               .arguments = std::move(arguments),
                               .environmentOverrides = gitEnvironmentOverrides,
                               .environmentRemovals = repositoryVariables,
                               .standardInput = std::move(standardInput),
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

void GitService::expectSuccess(const GitRunResult& result) const {
    if (result.exitStatus != 0) {
        throw NorvaneError::gitFailed(failureText(result));
    }
}

std::optional<GitActivityStats> GitService::getActivitySince(platform::Date date, const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    ActivityTally tally;
    ShallowBoundary boundary([&] { return readShallowBoundary(path); });
    readLogRecords(
        path,
        logArguments({sinceArgument(date), "--numstat", "-z", std::string(GitLogParser::logFormat), "HEAD", "--"}),
        [&](const GitLogParser::LogRecord& record) {
            if (!boundary.contains(record)) tally.add(record);
        });
    return tally.stats();
}

GitTips GitService::readTips(const std::string& path) const {
    const auto result = runGit(path, {"show-ref", "--head", "--heads"});
    // Status 1 without a word: no reference names a commit yet.
    if (result.exitStatus != 0 && (result.exitStatus != 1 || !platform::trimmed(result.errorText).empty())) {
        throw NorvaneError::gitFailed(failureText(result));
    }
    GitTips tips;
    for (const auto line : platform::nonEmptyPieces(result.output, '\n')) {
        const auto space = line.find(' ');
        const auto hash = line.substr(0, space);
        if (space == std::string_view::npos || !GitLogParser::isCommitHash(hash)) {
            continue;
        }
        if (line.substr(space + 1) == "HEAD") {
            tips.head = std::string(hash);
        }
        tips.commits.emplace_back(hash);
    }
    std::sort(tips.commits.begin(), tips.commits.end());
    tips.commits.erase(std::unique(tips.commits.begin(), tips.commits.end()), tips.commits.end());
    tips.shallowBoundary = readShallowBoundary(path);
    return tips;
}

void GitService::visitCommits(const std::string& path, const std::vector<std::string>& include,
                              const std::vector<std::string>& exclude, const std::string& shallowBoundary,
                              const std::function<void(const GitLogParser::LogRecord&)>& visit) const {
    if (include.empty()) {
        return;
    }
    auto arguments = logArguments({"--numstat", "-z", std::string(GitLogParser::logFormat)});
    const auto revisions = walkRevisions(include, exclude);
    arguments.insert(arguments.end(), revisions.begin(), revisions.end());
    ShallowBoundary boundary([&shallowBoundary] { return shallowBoundary; });
    readLogRecords(path, std::move(arguments), [&](const GitLogParser::LogRecord& record) {
        if (!boundary.contains(record)) visit(record);
    });
}

std::vector<std::string> GitService::listCommits(const std::string& path, const std::vector<std::string>& include,
                                                 const std::vector<std::string>& exclude) const {
    if (include.empty()) {
        return {};
    }
    std::vector<std::string> arguments{"rev-list"};
    const auto revisions = walkRevisions(include, exclude);
    arguments.insert(arguments.end(), revisions.begin(), revisions.end());
    const auto result = runGit(path, std::move(arguments));
    expectSuccess(result);
    std::vector<std::string> hashes;
    for (const auto hash : platform::nonEmptyPieces(result.output, '\n')) {
        if (GitLogParser::isCommitHash(hash)) hashes.emplace_back(hash);
    }
    return hashes;
}

void GitService::visitListedCommits(const std::string& path, const std::vector<std::string>& hashes,
                                    const std::function<void(const GitLogParser::LogRecord&)>& visit) const {
    std::string listed;
    for (const auto& hash : hashes) {
        if (GitLogParser::isCommitHash(hash)) listed.append(hash).append(1, '\n');
    }
    if (listed.empty()) {
        return;
    }
    GitLogStream stream(visit);
    const auto result = runGit(
        path,
        logArguments({"--no-walk=unsorted", "--numstat", "-z", std::string(GitLogParser::logFormat), "--stdin", "--"}),
        [&stream](std::string_view text) { stream.add(text); }, std::move(listed));
    stream.add(result.output);
    stream.finish();
    expectSuccess(result);
}

std::optional<platform::Date> GitService::getFirstCommitDate(const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    // The earliest date, not the first in git's order: a branch merged late can hold older commits.
    const auto output = readLog(path, logArguments({"--format=%at"}));
    std::optional<platform::Date> earliest;
    for (const auto line : platform::nonEmptyPieces(output, '\n')) {
        const auto date = GitLogParser::parseDate(platform::trimmed(line));
        if (date && (!earliest || *date < *earliest)) {
            earliest = date;
        }
    }
    return earliest;
}

std::vector<GitCommit> GitService::getCommitHistory(const std::string& path, std::optional<int> sampleInterval) const {
    if (!isGitRepository(path)) {
        return {};
    }
    const auto output = readLog(path, logArguments({"--reverse", std::string(GitLogParser::commitLineFormat)}));
    std::vector<GitCommit> commits;
    for (const auto line : platform::nonEmptyPieces(output, '\n')) {
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
    if (!isGitRepository(path)) {
        return {};
    }
    CommitBooking booking(platform::currentDate());
    return sampledIfAsked(readHistory(path, readTips(path), booking).commits, sampleInterval);
}

GitHistory GitService::readHistory(const std::string& path, const GitTips& tips, CommitBooking& booking) const {
    GitHistory history;
    if (tips.commits.empty()) {
        return history;
    }
    ShallowBoundary boundary([&tips] { return tips.shallowBoundary; });
    // Children come before their parents, so that HEAD's history is known as the log goes: these
    // are the commits HEAD reaches that are still to come.
    std::unordered_set<std::string> headReaches;
    if (tips.head) headReaches.insert(*tips.head);
    auto arguments = logArguments({"--date-order", "--numstat", "-z", std::string(GitLogParser::logFormat)});
    const auto revisions = walkRevisions(tips.commits, {});
    arguments.insert(arguments.end(), revisions.begin(), revisions.end());
    readLogRecords(path, std::move(arguments), [&](const GitLogParser::LogRecord& record) {
        const bool onHead = !headReaches.empty() && headReaches.erase(std::string(record.hash)) > 0;
        if (record.hash == tips.head) {
            history.head = record.summary();
        }
        if (onHead) {
            record.forEachParent([&headReaches](std::string_view parent) { headReaches.emplace(parent); });
        }
        if (boundary.contains(record)) {
            if (onHead) {
                auto commit = record.commit();
                commit.insertions = commit.deletions = commit.filesChanged = 0;
                history.commits.push_back(std::move(commit));
            }
            return;
        }
        if (onHead) {
            history.commits.push_back(record.commit());
        }
        auto booked = booking.book(record.hash, record.committedAt);
        const auto moment = CommitBooking::moment(booked, record.committedAt);
        history.firstBookedAt = std::min(history.firstBookedAt.value_or(moment), moment);
        history.days[booking.dayOf(moment)].add(record, std::move(booked));
    });
    history.commits = byAuthorDate(std::move(history.commits));
    history.shallow = boundary.met();
    return history;
}

std::string GitService::readShallowBoundary(const std::string& path) const {
    // A repository's own folder holds its shallow file; elsewhere (a worktree, a folder inside a
    // repository) git says where it is.
    std::error_code error;
    auto file = std::filesystem::path(path) / ".git" / "shallow";
    if (!std::filesystem::is_directory(std::filesystem::path(path) / ".git", error)) {
        const auto result = runGit(path, {"rev-parse", "--git-path", "shallow"});
        if (result.exitStatus != 0) {
            return {};
        }
        file = std::filesystem::path(path) / platform::trimmed(result.output);
    }
    std::ifstream stream(file);
    const std::string contents((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    return sortedLines(contents);
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
