#pragma once

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

/// A git repository in a temporary folder, with commits at fixed dates.
class GitTestRepository {
public:
    /// `git init` in a fresh folder, on branch "main".
    GitTestRepository();

    const std::filesystem::path& path() const { return folder_.path(); }
    std::string pathString() const { return folder_.path().string(); }

    void writeFile(const std::string& relativePath, const std::string& contents) const;
    void removeFile(const std::string& relativePath) const;

    /// Stages everything and commits it with the given message, author and author/committer
    /// date (also when nothing changed); returns the new commit's hash.
    std::string commit(const std::string& message, platform::Date date,
                       const std::string& author = "Test Author") const;

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
