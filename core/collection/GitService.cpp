#include "core/collection/GitService.h"

#include "core/collection/GitLogParser.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/models/NorvaneError.h"
#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "platform/TextTrimming.h"
#include "platform/UnicodeText.h"

#include <chrono>
#include <filesystem>

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

/// Git's messages in English, so that "--shortstat" reads the same everywhere; and no flush after
/// every commit: through a pipe each flush is a write and a wake-up of the reader, which doubles
/// the time of a long log.
const std::map<std::string, std::string> gitEnvironmentOverrides{{"LC_ALL", "C"}, {"GIT_FLUSH", "0"}};

/// Pins what `git log` prints, whatever the user's or the repository's configuration says: no
/// signature checks, colours or decorations, messages in UTF-8, no external diff or text
/// conversion, each file under its own path and counted whole, the root commit's changes, merges
/// without a diff, and one diff algorithm.
std::vector<std::string> logArguments(std::initializer_list<std::string> arguments) {
    std::vector<std::string> all{"log",           "--no-show-signature", "--no-color",
                                 "--no-decorate", "--encoding=UTF-8",    "--no-ext-diff",
                                 "--no-textconv", "--no-renames",        "--no-relative",
                                 "--root",        "--diff-merges=off",   "--diff-algorithm=myers"};
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

std::string sinceArgument(platform::Date date) { return "--since=" + platform::Iso8601::format(date); }

} // namespace

GitService::GitService(platform::ProcessRunner& runner, std::chrono::milliseconds timeLimit)
    : runner_(runner), timeLimit_(timeLimit) {}

GitRunResult GitService::runGit(const std::string& path, std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"-C", path});
    auto result = runner_.run({.executable = gitProgram,
                               .arguments = std::move(arguments),
                               .environmentOverrides = gitEnvironmentOverrides,
                               .timeLimit = timeLimit_});
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
    if (result.exitStatus == 0) {
        return std::move(result.output);
    }
    // An unborn branch is a repository without commits; anything else is git failing to read it.
    if (runGit(path, {"rev-parse", "--verify", "--quiet", "HEAD"}).exitStatus == 1) {
        return {};
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

std::optional<std::string> GitService::activityLogSince(platform::Date date, const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    return readLog(path,
                   logArguments({sinceArgument(date), "--numstat", "-z", std::string(GitLogParser::activityFormat)}));
}

std::optional<GitActivityStats> GitService::getActivitySince(platform::Date date, const std::string& path) const {
    const auto log = activityLogSince(date, path);
    if (!log) {
        return std::nullopt;
    }
    return GitLogParser::activity(GitLogParser::parseNumstat(*log));
}

std::optional<std::map<platform::Date, GitActivityStats>>
GitService::getDailyActivitySince(platform::Date date, const std::string& path) const {
    const auto log = activityLogSince(date, path);
    if (!log) {
        return std::nullopt;
    }
    return GitLogParser::dailyActivity(GitLogParser::parseNumstat(*log));
}

std::optional<platform::Date> GitService::getFirstCommitDate(const std::string& path) const {
    if (!isGitRepository(path)) {
        return std::nullopt;
    }
    const auto output = readLog(path, logArguments({"--reverse", "--format=%aI"}));
    const std::string_view text = output;
    return platform::Iso8601::parse(platform::trimmed(text.substr(0, text.find('\n'))));
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
    if (!isGitRepository(path)) {
        return {};
    }
    const auto output =
        readLog(path, logArguments({"--reverse", std::string(GitLogParser::historyFormat), "--shortstat"}));
    return sampledIfAsked(GitLogParser::parseCommitsWithStats(output), sampleInterval);
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
