#pragma once

#include "core/collection/CommitBooking.h"
#include "core/collection/GitCommit.h"
#include "core/collection/GitHistory.h"
#include "core/collection/GitLogParser.h"
#include "core/collection/GitTips.h"
#include "core/models/OutputCategory.h"

#include "platform/Date.h"
#include "platform/ProcessRunner.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace norvane {

/// What one run of git gave: both outputs decoded as UTF-8 (ill-formed bytes become U+FFFD)
/// and the exit status, -1 when git could not be started.
struct GitRunResult {
    std::string output;
    std::string errorText;
    int exitStatus = 0;
};

/// Runs /usr/bin/git against a project folder and reads its answers. A folder that is not a
/// repository, or a repository without commits, answers none or an empty list. The reading
/// operations throw NorvaneError gitFailed when git cannot read a repository (not its owner's,
/// a broken HEAD, no git); the others answer none or false. Activity is booked on the local day
/// of each commit's committer date, or of the collection's moment for a date after it;
/// the boundary commits of a shallow clone count as commits without changes. Git runs on the
/// folder's own repository whatever the environment names, with the settings that change its
/// counts pinned, and never asks for a password. A file's lines count by its content: no
/// attributes are read but those of the repository's own info/attributes, none of the user's, the
/// system's or the work tree's .gitattributes, which change with the checked-out branch.
class GitService {
public:
    /// Reading the whole history of the largest repositories takes minutes; a git that runs for
    /// two hours is stuck, and it is ended so that the collection does not wait for ever.
    static constexpr std::chrono::hours standardTimeLimit{2};

    explicit GitService(platform::ProcessRunner& runner = platform::defaultProcessRunner(),
                        std::chrono::milliseconds timeLimit = standardTimeLimit);

    /// True when the folder holds a ".git" entry, or when `git rev-parse --git-dir` succeeds there.
    bool isGitRepository(const std::string& path) const;
    /// True for a repository without a working tree, and for a repository's own ".git" folder.
    bool isBareRepository(const std::string& path) const;
    std::optional<GitCommit> getLatestCommit(const std::string& path) const;
    /// The earliest author date of the history.
    std::optional<platform::Date> getFirstCommitDate(const std::string& path) const;
    /// Where the repository's work tree begins, the commits of HEAD and the local branches, a shallow
    /// clone's boundary, the replacements and the repository's info files: one run of git for a
    /// repository's own folder, and one more where its attributes name a diff driver.
    GitTips readTips(const std::string& path) const;
    /// Those of `hashes` that name no commit the repository holds.
    std::vector<std::string> missingCommits(const std::string& path, const std::vector<std::string>& hashes) const;
    /// One pass over the log of every commit the tips reach: HEAD's history with line counts, and
    /// every commit booked once, on its day; a commit whose date git cannot read is in neither. Each commit of HEAD's
    /// history also goes to `headCommit` as the log reads it, in git's order, so that work on it runs while git writes.
    GitHistory readHistory(const std::string& path, const GitTips& tips, CommitBooking& booking,
                           const std::function<void(const GitCommit&)>& headCommit = {}) const;
    /// Hands `visit` each commit, with its changed files, that `include` reaches and `exclude` does
    /// not, but the boundary of a shallow clone and a commit whose date git cannot read.
    void visitCommits(const std::string& path, const std::vector<std::string>& include,
                      const std::vector<std::string>& exclude, const std::string& shallowBoundary,
                      const std::function<void(const GitLogParser::LogRecord&)>& visit) const;
    /// The hashes of the commits that `include` reaches and `exclude` does not.
    std::vector<std::string> listCommits(const std::string& path, const std::vector<std::string>& include,
                                         const std::vector<std::string>& exclude) const;
    /// Hands `visit` each of the named commits that git can date with its changed files.
    void visitListedCommits(const std::string& path, const std::vector<std::string>& hashes,
                            const std::function<void(const GitLogParser::LogRecord&)>& visit) const;

    /// The first commit, each later one at least `intervalDays` whole local days after the last
    /// one kept, and the last commit; in input order.
    static std::vector<GitCommit> sampleCommits(const std::vector<GitCommit>& commits, int intervalDays);
    static std::optional<GitCommit> parseCommitLine(std::string_view line);
    /// The output category of a path as the numstat output prints it.
    static OutputCategory categorize(std::string_view path);

private:
    /// Where a folder's repository keeps its files: its own folder, and the one it shares with the
    /// repository it belongs to (the same but for a linked worktree); and where its work tree begins.
    struct RepositoryFolders {
        std::filesystem::path gitDirectory;
        std::filesystem::path commonDirectory;
        std::filesystem::path workTree;
    };

    /// Found without git for a repository's own folder, a worktree and a submodule.
    RepositoryFolders locateRepository(const std::string& path) const;
    /// The output of a `git log`; empty for a repository without commits.
    std::string readLog(const std::string& path, std::vector<std::string> arguments) const;
    /// Hands each record of a log in `GitLogParser::logFormat` to `visit` while git still writes.
    void readLogRecords(const std::string& path, std::vector<std::string> arguments,
                        const std::function<void(const GitLogParser::LogRecord&)>& visit) const;
    /// Throws gitFailed unless the log was read, or git failed on a branch without commits.
    void expectLogRead(const std::string& path, const GitRunResult& result) const;
    /// Throws gitFailed unless git succeeded.
    void expectSuccess(const GitRunResult& result) const;
    /// Runs git on the repository of the folder `path`; its output goes to `receiveOutput` as it
    /// comes when one is given.
    GitRunResult runGit(const std::string& path, std::vector<std::string> arguments,
                        std::function<void(std::string_view)> receiveOutput = {},
                        std::optional<std::string> standardInput = std::nullopt) const;
    /// Runs git in the folder itself, as a command typed there would: for what asks where a
    /// repository is, or works on the files.
    GitRunResult runGitInFolder(const std::string& path, std::vector<std::string> arguments) const;
    GitRunResult run(std::vector<std::string> arguments, std::function<void(std::string_view)> receiveOutput,
                     std::optional<std::string> standardInput) const;
    /// What the configuration says of the diff drivers that the attributes name and changes what git
    /// counts: whether their files are binary ("config:" and git's lines), or nothing. Git is asked
    /// only where the attributes name a driver.
    std::string readDiffDriverSettings(const std::string& path, std::string_view attributes) const;
    /// A parent that a replacement or a graft gives a commit, and which one.
    struct MadeParent {
        std::string commit;
        std::string parent;
        std::string cause;
    };

    /// What makes the history of the tips a cycle, which only replacements and grafts can: none
    /// without them, and asked of git only with them.
    std::optional<std::string> findCycle(const std::string& path, const GitTips& tips) const;
    /// The parents that the replacements and the grafts give commits.
    std::vector<MadeParent> madeParents(const std::string& path, const GitTips& tips, const std::string& grafts) const;
    /// The boundary commits of a shallow clone, one a line, sorted; empty for a whole history.
    std::string readShallowBoundary(const std::string& path) const;

    platform::ProcessRunner& runner_;
    std::chrono::milliseconds timeLimit_;
};

} // namespace norvane
