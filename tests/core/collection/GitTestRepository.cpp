#include "tests/core/collection/GitTestRepository.h"

#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace norvane::testing {

IsolatedGitEnvironment::IsolatedGitEnvironment() : noSystemConfig_("GIT_CONFIG_NOSYSTEM", "1") {}

std::string runGit(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                   const std::optional<std::string>& standardInput) {
    const auto result = platform::defaultProcessRunner().run({.executable = "/usr/bin/git",
                                                              .arguments = arguments,
                                                              .environmentOverrides = environment,
                                                              .standardInput = standardInput});
    EXPECT_TRUE(result.succeeded()) << "git " << (arguments.empty() ? "" : arguments.front()) << ": "
                                    << result.standardError << result.startError.value_or("");
    return result.standardOutput;
}

std::string gitDate(platform::Date date) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    return "@" + std::to_string(seconds) + " +0000";
}

GitTestRepository::GitTestRepository() { git({"init", "-q", "-b", "main"}); }

void GitTestRepository::writeFile(const std::string& relativePath, const std::string& contents) const {
    folder_.writeFile(relativePath, contents);
}

void GitTestRepository::removeFile(const std::string& relativePath) const {
    std::filesystem::remove(folder_.path() / relativePath);
}

std::string GitTestRepository::commit(const std::string& message, platform::Date date,
                                      const std::string& author) const {
    git({"add", "-A"});
    const auto when = gitDate(date);
    git({"-c", "user.name=" + author, "-c", "user.email=test@example.com", "commit", "-q", "--allow-empty",
         "--allow-empty-message", "-F", "-"},
        {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}}, message);
    auto hash = git({"rev-parse", "HEAD"});
    hash.erase(hash.find_last_not_of('\n') + 1);
    return hash;
}

std::string GitTestRepository::git(const std::vector<std::string>& arguments,
                                   const std::map<std::string, std::string>& environment,
                                   const std::optional<std::string>& standardInput) const {
    std::vector<std::string> fullArguments{"-C", pathString()};
    fullArguments.insert(fullArguments.end(), arguments.begin(), arguments.end());
    return runGit(fullArguments, environment, standardInput);
}

} // namespace norvane::testing
