#pragma once

#include "tests/support/ProgramHome.h"
#include "tests/support/TemporaryFolder.h"

#include "platform/Date.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norvane::testing {

/// Keeps git away from the real configuration: HOME in a temporary folder, no system config.
class IsolatedGitEnvironment {
public:
    IsolatedGitEnvironment();

private:
    TemporaryHome home_;
    ScopedEnvironment noSystemConfig_;
};

/// HOME in a temporary folder whose ~/.gitconfig sets what changes the output of `git log` as
/// far as it can: signatures shown, colours, decorations, a default format, abbreviated hashes,
/// an external diff, copy detection, no root diff, quoted paths, relative paths, another diff
/// algorithm, submodules ignored and another output encoding. Where gpg is installed, every commit made under it is
/// signed with a key made for the test.
class HostileGitEnvironment {
public:
    HostileGitEnvironment();
    ~HostileGitEnvironment();
    HostileGitEnvironment(const HostileGitEnvironment&) = delete;
    HostileGitEnvironment& operator=(const HostileGitEnvironment&) = delete;

    bool signsCommits() const { return gnupgHome_.has_value(); }

private:
    TemporaryHome home_;
    ScopedEnvironment noSystemConfig_;
    /// gpg's home, where its agent listens: in the runtime folder, so that the sockets' paths fit.
    TemporaryFolder gnupg_{ProgramHome::runtimeFolder()};
    std::optional<ScopedEnvironment> gnupgHome_;
};

/// A git repository in a temporary folder, with commits at fixed dates.
class GitTestRepository {
public:
    /// `git init` in a fresh folder, on branch "main".
    GitTestRepository();

    const std::filesystem::path& path() const { return folder_.path(); }
    std::string pathString() const { return folder_.path().string(); }

    void writeFile(const std::string& relativePath, const std::string& contents) const;
    void removeFile(const std::string& relativePath) const;
    /// Moves the folder, wherever it really is, to `place` and leaves a link to it where it was made
    /// (a link left there by an earlier move leads to the new place).
    void moveWithLink(const std::filesystem::path& place) const;
    /// Moves the folder into a superproject made at `superproject`, as its submodule "sub" whose git
    /// folder git absorbs into the superproject's, and leaves a link to it where the folder was;
    /// returns where the folder went.
    std::filesystem::path moveIntoSuperproject(const std::filesystem::path& superproject) const;

    /// Stages everything and commits it with the given message, author and author date, committed
    /// then too unless `committedAt` says otherwise (also when nothing changed); returns the hash.
    std::string commit(const std::string& message, platform::Date date, const std::string& author = "Test Author",
                       std::optional<platform::Date> committedAt = std::nullopt) const;

    /// Runs git in the repository, expects success and returns its standard output.
    std::string git(const std::vector<std::string>& arguments,
                    const std::map<std::string, std::string>& environment = {},
                    const std::optional<std::string>& standardInput = std::nullopt) const;

private:
    TemporaryFolder folder_;
};

/// Runs git with the given arguments anywhere; expects success.
std::string runGit(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment = {},
                   const std::optional<std::string>& standardInput = std::nullopt);

/// "@<seconds since 1970> +0000", the date format git reads most plainly.
std::string gitDate(platform::Date date);

} // namespace norvane::testing
