#include "core/collection/GitService.h"

#include "core/collection/GitLogParser.h"
#include "core/collection/GitLogStream.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/models/NorvaneError.h"
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

/// A moment and its local calendar date.
struct DatedMoment {
    platform::Date moment;
    std::chrono::local_days day;

    explicit DatedMoment(platform::Date date) : moment(date), day(platform::LocalCalendar::localDay(date)) {}
};

/// Whether `wholeDaysBetween(from, to)` reaches `days`. A time zone's offset ranges over 26 hours
/// (UTC-12 to UTC+14), so whole local days never outrun the elapsed time by two days or more: the
/// calendar is asked only near the threshold, and for the wall-clock time `days` days on only when
/// the calendar days are exactly that far apart.
bool atLeastDaysApart(const DatedMoment& from, platform::Date to, int days) {
    if (to - from.moment < std::chrono::hours(24 * (days - 2))) {
        return false;
    }
    const auto calendarDays = (platform::LocalCalendar::localDay(to) - from.day).count();
    if (calendarDays != days) {
        return calendarDays > days;
    }
    return platform::LocalCalendar::addingDays(from.moment, days) <= to;
}

/// Git's messages in English, so that what it says reads the same everywhere; no flush after
/// every commit: through a pipe each flush is a write and a wake-up of the reader, which doubles
/// the time of a long log; and no prompt for a password, in a terminal or a window, which would
/// stall a collection nobody watches (a partial clone fetches what it lacks from its remote).
/// No attributes of the system's either (/etc/gitattributes).
const std::map<std::string, std::string> gitEnvironmentOverrides{{"LC_ALL", "C"},
                                                                 {"GIT_FLUSH", "0"},
                                                                 {"GIT_TERMINAL_PROMPT", "0"},
                                                                 {"SSH_ASKPASS_REQUIRE", "never"},
                                                                 {"GIT_ATTR_NOSYSTEM", "1"}};

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
/// count no line of C); git's own size above which a file counts as binary; and no program that
/// asks for a password.
const std::vector<std::string> pinnedConfiguration{
    "-c", "diff.ignoreSubmodules=none", "-c", "core.attributesFile=/dev/null",
    "-c", "core.bigFileThreshold=512m", "-c", "core.askPass="};

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

/// The first line of a small file, trimmed; none when it cannot be read or is empty.
std::optional<std::string> firstLine(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::string line;
    if (!std::getline(stream, line)) return std::nullopt;
    const auto trimmedLine = platform::trimmed(line);
    if (trimmedLine.empty()) return std::nullopt;
    return std::string(trimmedLine);
}

/// A file of the repository's as the booked history keeps it: its name and its text, or nothing
/// for an empty or missing one.
std::string infoFileEntry(std::string_view name, const std::string& text) {
    return text.empty() ? std::string() : std::string(name) + ":\n" + text + "\n";
}

/// The diff drivers that attributes name ("diff=NAME"), macros included.
std::set<std::string> diffDriversNamed(std::string_view attributes) {
    std::set<std::string> drivers;
    for (const auto line : platform::nonEmptyPieces(attributes, '\n')) {
        for (auto rest = line; !rest.empty();) {
            const auto start = rest.find_first_not_of(" \t\r");
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            const auto token = rest.substr(0, rest.find_first_of(" \t\r"));
            if (token.starts_with("diff=") && token.size() > 5) drivers.emplace(token.substr(5));
            rest.remove_prefix(token.size());
        }
    }
    return drivers;
}

/// A file's whole text; empty when it is missing.
std::string fileText(const std::filesystem::path& file) {
    std::ifstream stream(file);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

/// `named` as a path, taken from `base` when relative, with its links followed as git follows them:
/// a ".." after a link goes up from where the link leads, not from where the link is.
std::filesystem::path resolved(const std::filesystem::path& base, const std::string& named) {
    const std::filesystem::path path(named);
    const auto joined = path.is_relative() ? base / path : path;
    std::error_code error;
    auto real = std::filesystem::weakly_canonical(joined, error);
    return error ? joined.lexically_normal() : real;
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

GitService::RepositoryFolders GitService::locateRepository(const std::string& path) const {
    std::error_code error;
    const auto dotGit = std::filesystem::path(path) / ".git";
    std::filesystem::path gitDirectory;
    // A folder with a ".git" of its own is where its work tree begins.
    auto workTree = std::filesystem::path(path);
    if (std::filesystem::is_directory(dotGit, error)) {
        gitDirectory = resolved(path, ".git");
    } else if (const auto line = firstLine(dotGit); line && line->starts_with("gitdir:")) {
        // A worktree's or a submodule's ".git" file names the folder git keeps it in, from where
        // the folder really is, whatever link led there.
        gitDirectory = resolved(path, std::string(platform::trimmed(std::string_view(*line).substr(7))));
    } else {
        // A folder inside a repository, or a bare one (which has no way up to a work tree).
        const auto result = runGitInFolder(path, {"rev-parse", "--absolute-git-dir", "--show-cdup"});
        expectSuccess(result);
        const auto lines = platform::nonEmptyPieces(result.output, '\n');
        gitDirectory = lines.empty() ? std::string() : std::string(platform::trimmed(lines.front()));
        if (lines.size() > 1) workTree /= std::string(platform::trimmed(lines[1]));
    }
    // Absolute, since git takes it after moving into it.
    gitDirectory = std::filesystem::absolute(gitDirectory, error);
    // A linked worktree keeps its HEAD apart and shares the rest with the repository it belongs to.
    const auto common = firstLine(gitDirectory / "commondir");
    return {gitDirectory, common ? resolved(gitDirectory, *common) : gitDirectory, workTree};
}

GitRunResult GitService::runGit(const std::string& path, std::vector<std::string> arguments,
                                std::function<void(std::string_view)> receiveOutput,
                                std::optional<std::string> standardInput) const {
    // Git reads attributes from the work tree, whose .gitattributes change with the checked-out
    // branch: it runs in the repository's own folder, taken for its work tree, where none are.
    // Named so, git checks not whose it is: `readTips` did, as every collection begins with it.
    const auto folder = locateRepository(path).gitDirectory.string();
    arguments.insert(arguments.begin(), {"--git-dir=" + folder, "--work-tree=" + folder, "-C", folder});
    return run(std::move(arguments), std::move(receiveOutput), std::move(standardInput));
}

GitRunResult GitService::runGitInFolder(const std::string& path, std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"-C", path});
    return run(std::move(arguments), {}, std::nullopt);
}

GitRunResult GitService::run(std::vector<std::string> arguments, std::function<void(std::string_view)> receiveOutput,
                             std::optional<std::string> standardInput) const {
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
    return runGitInFolder(path, {"rev-parse", "--git-dir"}).exitStatus == 0;
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

GitTips GitService::readTips(const std::string& path) const {
    const auto folders = locateRepository(path);
    // Every reference, in one process: the branches and the replacements are picked from them.
    // Found from the folder, as git finds it there, so that a repository git would not read (not
    // the user's) fails here, before any read that names the repository's folder itself.
    const auto result = runGitInFolder(path, {"show-ref", "--head"});
    // Status 1 without a word: no reference names a commit yet.
    if (result.exitStatus != 0 && (result.exitStatus != 1 || !platform::trimmed(result.errorText).empty())) {
        throw NorvaneError::gitFailed(failureText(result));
    }
    // Named by its real path, as git names it: the same whatever link led there.
    std::error_code error;
    const auto workTree = std::filesystem::weakly_canonical(folders.workTree, error);
    GitTips tips{.workTree = (error ? folders.workTree : workTree).string()};
    std::vector<std::string_view> replacements;
    for (const auto line : platform::nonEmptyPieces(result.output, '\n')) {
        const auto space = line.find(' ');
        const auto hash = line.substr(0, space);
        if (space == std::string_view::npos || !GitLogParser::isCommitHash(hash)) {
            continue;
        }
        const auto name = line.substr(space + 1);
        if (name.starts_with("refs/replace/")) {
            replacements.push_back(line);
            continue;
        }
        if (name == "HEAD") {
            tips.head = std::string(hash);
        } else if (!name.starts_with("refs/heads/")) {
            continue;
        }
        tips.commits.emplace_back(hash);
    }
    std::sort(tips.commits.begin(), tips.commits.end());
    tips.commits.erase(std::unique(tips.commits.begin(), tips.commits.end()), tips.commits.end());
    std::sort(replacements.begin(), replacements.end());
    for (const auto line : replacements) tips.replacements.append(line).append(1, '\n');
    tips.shallowBoundary = sortedLines(fileText(folders.commonDirectory / "shallow"));
    const auto attributes = fileText(folders.commonDirectory / "info/attributes");
    tips.infoFiles = infoFileEntry("info/attributes", attributes) +
                     infoFileEntry("info/grafts", fileText(folders.commonDirectory / "info/grafts")) +
                     readDiffDriverSettings(path, attributes);
    return tips;
}

std::string GitService::readDiffDriverSettings(const std::string& path, std::string_view attributes) const {
    const auto drivers = diffDriversNamed(attributes);
    if (drivers.empty()) {
        return {};
    }
    // The value as git takes it from every level of its configuration; status 1: none is set.
    const auto result = runGit(path, {"config", "--get-regexp", R"(^diff\..*\.binary$)"});
    if (result.exitStatus != 0 && result.exitStatus != 1) {
        throw NorvaneError::gitFailed(failureText(result));
    }
    std::string settings;
    for (const auto line : platform::nonEmptyPieces(result.output, '\n')) {
        const auto key = line.substr(0, line.find(' '));
        constexpr std::string_view prefix = "diff.";
        constexpr std::string_view suffix = ".binary";
        if (key.size() > prefix.size() + suffix.size() &&
            drivers.contains(std::string(key.substr(prefix.size(), key.size() - prefix.size() - suffix.size())))) {
            settings.append(line).append(1, '\n');
        }
    }
    return infoFileEntry("config", settings);
}

std::vector<std::string> GitService::missingCommits(const std::string& path,
                                                    const std::vector<std::string>& hashes) const {
    std::string listed;
    for (const auto& hash : hashes) listed.append(hash).append(1, '\n');
    if (listed.empty()) {
        return {};
    }
    const auto result = runGit(path, {"cat-file", "--batch-check=%(objectname) %(objecttype)"}, {}, listed);
    expectSuccess(result);
    std::vector<std::string> missing;
    for (const auto line : platform::nonEmptyPieces(result.output, '\n')) {
        if (const auto space = line.find(' '); line.substr(space + 1) != "commit") {
            missing.emplace_back(line.substr(0, space));
        }
    }
    return missing;
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
        if (record.dated && !boundary.contains(record)) visit(record);
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
    GitLogStream stream([&visit](const GitLogParser::LogRecord& record) {
        if (record.dated) visit(record);
    });
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

GitHistory GitService::readHistory(const std::string& path, const GitTips& tips, CommitBooking& booking,
                                   const std::function<void(const GitCommit&)>& headCommit) const {
    GitHistory history;
    if (tips.commits.empty()) {
        return history;
    }
    ShallowBoundary boundary([&tips] { return tips.shallowBoundary; });
    history.cycle = findCycle(path, tips);
    // Children come before their parents, so that HEAD's history is known as the log goes: these
    // are the commits HEAD reaches that are still to come. A cycle has no such order, and git's
    // date order lists none of it: the commits are listed by date alone, as a plain `git log`
    // lists them, and HEAD's history is asked first.
    std::unordered_set<std::string> headReaches;
    if (tips.head && history.cycle) {
        for (auto& hash : listCommits(path, {*tips.head}, {})) headReaches.insert(std::move(hash));
    } else if (tips.head) {
        headReaches.insert(*tips.head);
    }
    auto arguments = logArguments({"--numstat", "-z", std::string(GitLogParser::logFormat)});
    if (!history.cycle) arguments.emplace_back("--date-order");
    const auto revisions = walkRevisions(tips.commits, {});
    arguments.insert(arguments.end(), revisions.begin(), revisions.end());
    readLogRecords(path, std::move(arguments), [&](const GitLogParser::LogRecord& record) {
        const bool onHead = !headReaches.empty() && headReaches.erase(std::string(record.hash)) > 0;
        if (onHead && !history.cycle) {
            record.forEachParent([&headReaches](std::string_view parent) { headReaches.emplace(parent); });
        }
        // A commit whose date git cannot read counts on no day, and the history under it as ever.
        if (!record.dated) {
            return;
        }
        if (record.hash == tips.head) {
            history.head = record.summary();
        }
        const bool counted = !boundary.contains(record);
        if (onHead) {
            auto commit = record.commit();
            if (!counted) commit.insertions = commit.deletions = commit.filesChanged = 0;
            if (headCommit) headCommit(commit);
            history.commits.push_back(std::move(commit));
        }
        if (!counted) {
            return;
        }
        auto booked = booking.book(record.hash, record.committedAt);
        history.firstBookedAt = std::min(history.firstBookedAt.value_or(booked.moment), booked.moment);
        history.days[booked.day].add(record, std::move(booked.commit));
    });
    history.commits = byAuthorDate(std::move(history.commits));
    history.shallow = boundary.met();
    return history;
}

std::optional<std::string> GitService::findCycle(const std::string& path, const GitTips& tips) const {
    const auto grafts = fileText(locateRepository(path).commonDirectory / "info/grafts");
    if (tips.replacements.empty() && grafts.empty()) {
        return std::nullopt;
    }
    // Git's date order leaves out what a cycle holds, and what lies behind it.
    const auto count = [&](std::vector<std::string> arguments) {
        const auto revisions = walkRevisions(tips.commits, {});
        arguments.insert(arguments.end(), revisions.begin(), revisions.end());
        const auto result = runGit(path, std::move(arguments));
        expectSuccess(result);
        return std::string(platform::trimmed(result.output));
    };
    if (count({"rev-list", "--count"}) == count({"rev-list", "--count", "--date-order"})) {
        return std::nullopt;
    }
    std::string causes;
    for (const auto& [commit, parent, cause] : madeParents(path, tips, grafts)) {
        // The commit is its own ancestor through the parent it was given.
        if (causes.find(cause) == std::string::npos &&
            runGit(path, {"merge-base", "--is-ancestor", commit, parent}).exitStatus == 0) {
            causes += (causes.empty() ? "" : ", ") + cause;
        }
    }
    return (causes.empty() ? std::string("a replacement or a graft") : causes) + " makes the history a cycle";
}

std::vector<GitService::MadeParent> GitService::madeParents(const std::string& path, const GitTips& tips,
                                                            const std::string& grafts) const {
    std::vector<MadeParent> made;
    std::vector<std::string> arguments{"rev-list", "--no-walk", "--parents"};
    for (const auto line : platform::nonEmptyPieces(tips.replacements, '\n')) {
        constexpr std::string_view prefix = "refs/replace/";
        if (const auto name = line.find(prefix); name != std::string_view::npos) {
            arguments.emplace_back(line.substr(name + prefix.size()));
        }
    }
    // "COMMIT PARENT...", as git lists a commit with its parents and a graft file names them.
    const auto add = [&made](std::string_view line, std::string_view kind, std::string_view where) {
        const auto pieces = platform::nonEmptyPieces(line, ' ');
        const auto cause = std::string(kind) + " of " + std::string(pieces.front()) + " (" + std::string(where) + ")";
        for (std::size_t parent = 1; parent < pieces.size(); ++parent) {
            made.push_back({std::string(pieces.front()), std::string(pieces[parent]), cause});
        }
    };
    // A replaced object that is no commit has no parents to give, and git says so.
    const auto replaced = arguments.size() > 3 ? runGit(path, arguments) : GitRunResult{};
    const auto replacedParents = replaced.exitStatus == 0 ? replaced.output : std::string();
    for (const auto line : platform::nonEmptyPieces(replacedParents, '\n')) add(line, "the replacement", "git replace");
    for (const auto line : platform::nonEmptyPieces(grafts, '\n')) {
        if (!line.starts_with("#")) add(line, "the graft", "info/grafts");
    }
    return made;
}

std::string GitService::readShallowBoundary(const std::string& path) const {
    return sortedLines(fileText(locateRepository(path).commonDirectory / "shallow"));
}

bool GitService::isBareRepository(const std::string& path) const {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(path) / ".git", error)) {
        return false;
    }
    // A bare repository, or a repository's own ".git" folder (or a folder in it).
    const auto result = runGitInFolder(path, {"rev-parse", "--is-inside-git-dir"});
    return result.exitStatus == 0 && platform::trimmed(result.output) == "true";
}

std::vector<GitCommit> GitService::sampleCommits(const std::vector<GitCommit>& commits, int intervalDays) {
    if (commits.empty()) {
        return {};
    }
    std::vector<GitCommit> selected{commits.front()};
    // The calendar date of the commit last kept is asked once, not at each commit after it.
    DatedMoment last(commits.front().date);
    for (std::size_t index = 1; index < commits.size(); ++index) {
        if (atLeastDaysApart(last, commits[index].date, intervalDays)) {
            selected.push_back(commits[index]);
            last = DatedMoment(commits[index].date);
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
