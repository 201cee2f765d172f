#include "tests/core/collection/GitTestRepository.h"

#include "platform/ProcessRunner.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include <unistd.h>

namespace norvane::testing {

IsolatedGitEnvironment::IsolatedGitEnvironment() : noSystemConfig_("GIT_CONFIG_NOSYSTEM", "1") {}

namespace {

constexpr const char* hostileConfiguration = R"([log]
    showSignature = true
    decorate = full
    abbrevCommit = true
    showRoot = false
    diffMerges = first-parent
[color]
    ui = always
[format]
    pretty = fuller
[core]
    quotePath = true
    abbrev = 7
[diff]
    renames = copies
    external = /bin/false
    relative = true
    algorithm = patience
    ignoreSubmodules = all
[i18n]
    logOutputEncoding = ISO-8859-1
)";

constexpr const char* gpgProgram = "/usr/bin/gpg";

platform::ProcessResult runGpg(const std::filesystem::path& home, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--homedir", home.string(), "--batch"});
    return platform::defaultProcessRunner().run({.executable = gpgProgram, .arguments = std::move(arguments)});
}

} // namespace

HostileGitEnvironment::HostileGitEnvironment() : noSystemConfig_("GIT_CONFIG_NOSYSTEM", "1") {
    std::string configuration = hostileConfiguration;
    if (::access(gpgProgram, X_OK) == 0) {
        const auto made = runGpg(gnupg_.path(), {"--passphrase", "", "--pinentry-mode", "loopback", "--quick-gen-key",
                                                 "Signer <signer@example.com>", "ed25519", "sign", "never"});
        EXPECT_TRUE(made.succeeded()) << made.standardError;
        gnupgHome_.emplace("GNUPGHOME", gnupg_.path().string());
        configuration += "[commit]\n    gpgSign = true\n[user]\n    signingKey = signer@example.com\n";
    }
    std::ofstream(home_.path() / ".gitconfig") << configuration;
}

HostileGitEnvironment::~HostileGitEnvironment() {
    if (gnupgHome_) {
        platform::defaultProcessRunner().run(
            {.executable = "/usr/bin/gpgconf", .arguments = {"--homedir", gnupg_.path().string(), "--kill", "all"}});
    }
}

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
    return fmt::format("@{} +0000", seconds);
}

GitTestRepository::GitTestRepository() { git({"init", "-q", "-b", "main"}); }

void GitTestRepository::writeFile(const std::string& relativePath, const std::string& contents) const {
    folder_.writeFile(relativePath, contents);
}

void GitTestRepository::removeFile(const std::string& relativePath) const {
    std::filesystem::remove(folder_.path() / relativePath);
}

void GitTestRepository::moveWithLink(const std::filesystem::path& place) const {
    const auto real = std::filesystem::canonical(path());
    if (std::filesystem::is_symlink(path())) std::filesystem::remove(path());
    std::filesystem::rename(real, place);
    std::filesystem::create_directory_symlink(place, path());
}

std::filesystem::path GitTestRepository::moveIntoSuperproject(const std::filesystem::path& superproject) const {
    runGit({"init", "-q", "-b", "main", superproject.string()});
    const auto moved = superproject / "sub";
    moveWithLink(moved);
    runGit({"-C", superproject.string(), "submodule", "-q", "add", pathString(), "sub"});
    runGit({"-C", superproject.string(), "submodule", "-q", "absorbgitdirs"});
    EXPECT_EQ(readFile(moved / ".git"), "gitdir: ../.git/modules/sub\n");
    return moved;
}

std::string GitTestRepository::commit(const std::string& message, platform::Date date, const std::string& author,
                                      std::optional<platform::Date> committedAt) const {
    git({"add", "-A"});
    git({"-c", "user.name=" + author, "-c", "user.email=test@example.com", "commit", "-q", "--allow-empty",
         "--allow-empty-message", "-F", "-"},
        {{"GIT_AUTHOR_DATE", gitDate(date)}, {"GIT_COMMITTER_DATE", gitDate(committedAt.value_or(date))}}, message);
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
