#include "Norvane/onboarding/DependencyCheck.h"

#include <chrono>

#include <gtest/gtest.h>

#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

using norvane::testing::TemporaryFolder;

std::filesystem::path writeScript(const TemporaryFolder& folder, const std::string& name, const std::string& body) {
    const auto script = folder.writeFile(name, "#!/bin/sh\n" + body);
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script;
}

/// A login shell whose profile puts a folder with scc on the search path; it logs how it was
/// started and runs the command without a profile of the machine's own.
struct LoginShellStandIn {
    TemporaryFolder folder;
    std::filesystem::path log = folder.path() / "arguments.log";
    std::filesystem::path shell;

    LoginShellStandIn() {
        writeScript(folder, "tools/scc", "exit 0\n");
        shell = writeScript(folder, "login-shell",
                            "printf '%s|' \"$@\" >> '" + log.string() + "'\necho >> '" + log.string() + "'\nPATH='" +
                                (folder.path() / "tools").string() + "':$PATH\nexport PATH\nshift\nexec /bin/sh \"$@\"\n");
    }
};

TEST(DependencyCheck, AsksTheLoginShellWithTheNameAsAnArgumentNeverAsShellText) {
    LoginShellStandIn login;
    const auto marker = login.folder.path() / "marker";
    DependencyCheck check({{}, {}, {}, login.shell});

    EXPECT_TRUE(check.isToolInstalled("scc")) << "on the login shell's own search path";
    EXPECT_FALSE(check.isToolInstalled("git-that-is-not-there"));
    EXPECT_FALSE(check.isToolInstalled("scc; touch '" + marker.string() + "'"));
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the name ran as a command";
    const auto calls = norvane::testing::readFile(login.log);
    EXPECT_EQ(calls.substr(0, calls.find('\n')), "-l|-c|which \"$1\"|norvane|scc|");

    // A tool at one of its usual places needs no shell.
    DependencyCheck usual({{}, {"/usr/bin/git"}, {}, login.shell});
    const auto before = norvane::testing::readFile(login.log);
    EXPECT_TRUE(usual.isToolInstalled("git"));
    EXPECT_EQ(norvane::testing::readFile(login.log), before);
}

// A profile that waits for ever, and leaves a child holding the output open: the check gives up
// and counts the tool as missing.
TEST(DependencyCheck, GivesUpOnALoginShellThatNeverAnswers) {
    TemporaryFolder folder;
    const auto shell = writeScript(folder, "login-shell", "sleep 30 &\nsleep 30\n");
    const auto counter = writeScript(folder, "norvane-count", "exit 0\n");
    DependencyCheck check({{}, {}, {counter}, shell, std::chrono::milliseconds(300)});

    const auto started = std::chrono::steady_clock::now();
    const auto findings = check.runChecks();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(findings, (DependencyCheck::Findings{false, false, true}));
}

} // namespace
} // namespace norvane::app
