#include "Norvane/state/CLIInstaller.h"

#include <fmt/format.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Norvane/state/PkexecRunner.h"
#include "tests/Norvane/state/FakePrivilegedRunner.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Outcome = PrivilegedRunner::Outcome;
using testing::FakePrivilegedRunner;

/// Runs what pkexec would run, with the user's own rights: the real shell and the real command line.
class WithoutPkexec final : public platform::ProcessRunner {
public:
    platform::ProcessResult run(const platform::ProcessRequest& request) override {
        platform::ProcessRequest unprivileged = request;
        unprivileged.executable = request.arguments.front();
        unprivileged.arguments.erase(unprivileged.arguments.begin());
        return platform::defaultProcessRunner().run(unprivileged);
    }
};

std::filesystem::path makeExecutable(const testing::TemporaryFolder& folder, const std::string& relativePath) {
    const auto path = folder.writeFile(relativePath, "#!/bin/sh\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

/// The message a result failed with; "succeeded" for a success.
std::string failureOf(const CLIInstaller::InstallResult& result) {
    return result.succeeded() ? "succeeded" : result.error().message();
}

class CLIInstallerTest : public ::testing::Test {
protected:
    CLIInstaller installer(PrivilegedRunner& runner) const { return CLIInstaller(locations, runner); }

    testing::TemporaryFolder folder;
    CLIInstaller::Locations locations{folder.path() / "usr/local/bin/norvane", folder.path() / "bundle",
                                      folder.path() / "home"};
    FakePrivilegedRunner privileged;
};

TEST_F(CLIInstallerTest, FindsTheBundledToolBeforeTheDeveloperBuilds) {
    EXPECT_EQ(installer(privileged).findCLI(), std::nullopt);
    const auto third = makeExecutable(folder, "home/norvane/build/debug/bin/norvane");
    EXPECT_EQ(installer(privileged).findCLI(), third);
    const auto second = makeExecutable(folder, "home/Development/shareware/norvane/build/release/bin/norvane");
    EXPECT_EQ(installer(privileged).findCLI(), second);
    folder.writeFile("home/Development/shareware/norvane/build/debug/bin/norvane", "not executable");
    EXPECT_EQ(installer(privileged).findCLI(), second);
    const auto bundled = makeExecutable(folder, "bundle/norvane");
    EXPECT_EQ(installer(privileged).findCLI(), bundled);
    locations.resourceFolder.reset();
    EXPECT_EQ(installer(privileged).findCLI(), second);
}

TEST_F(CLIInstallerTest, InstallWithoutAToolTellsHowToBuildIt) {
    const auto result = installer(privileged).install();
    ASSERT_FALSE(result.succeeded());
    EXPECT_EQ(result.error(), CLIInstaller::InstallError::cliNotFound());
    const auto description = result.error().errorDescription();
    ASSERT_TRUE(description.has_value());
    EXPECT_TRUE(description->starts_with("CLI tool not found. Please build it first:\ncd norvane-cli && cmake "));
    EXPECT_EQ(description->find('\n', 43), std::string::npos);
    EXPECT_THAT(privileged.commands, IsEmpty());
}

TEST_F(CLIInstallerTest, InstallLinksDirectlyOverALinkAFileOrADanglingLinkAndUninstallRemovesIt) {
    EXPECT_TRUE(installer(privileged).uninstall().succeeded()) << "nothing to remove is no failure";
    const auto tool = makeExecutable(folder, "bundle/norvane");
    EXPECT_TRUE(installer(privileged).install().succeeded()) << "the folder is created";
    EXPECT_EQ(std::filesystem::read_symlink(locations.linkPath), tool);
    std::filesystem::remove(locations.linkPath);
    std::filesystem::create_symlink(folder.path() / "gone", locations.linkPath);
    EXPECT_TRUE(installer(privileged).install().succeeded());
    EXPECT_EQ(std::filesystem::read_symlink(locations.linkPath), tool);
    std::filesystem::remove(locations.linkPath);
    folder.writeFile("usr/local/bin/norvane", "an old copy");
    EXPECT_TRUE(installer(privileged).install().succeeded());
    EXPECT_EQ(std::filesystem::read_symlink(locations.linkPath), tool);
    EXPECT_TRUE(installer(privileged).uninstall().succeeded());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(locations.linkPath)));
    EXPECT_THAT(privileged.commands, IsEmpty());
}

TEST_F(CLIInstallerTest, AFolderAtTheLinkIsNeverRemoved) {
    const auto tool = makeExecutable(folder, "bundle/norvane");
    folder.writeFile("usr/local/bin/norvane/keep.txt", "mine");
    const std::string expected = locations.linkPath.string() + " is not a link or a file";
    EXPECT_EQ(failureOf(installer(privileged).install()), expected);
    EXPECT_EQ(failureOf(installer(privileged).uninstall()), expected);
    EXPECT_THAT(privileged.commands, IsEmpty());
    WithoutPkexec unprivileged;
    PkexecRunner shell(unprivileged);
    EXPECT_THAT(failureOf(installer(shell).installWithAdministratorPrivileges(tool)),
                ::testing::HasSubstr("Is a directory"));
    EXPECT_TRUE(std::filesystem::exists(locations.linkPath / "keep.txt"));
}

// Installed into the install bin folder itself (the prefix /usr/local), the tool is where the link
// belongs: installing keeps it, uninstalling refuses to delete what the application runs.
TEST_F(CLIInstallerTest, TheToolInstalledWhereTheLinkBelongsIsKept) {
    locations.resourceFolder = locations.linkPath.parent_path();
    const auto tool = makeExecutable(folder, "usr/local/bin/norvane");
    EXPECT_TRUE(installer(privileged).install().succeeded());
    EXPECT_FALSE(std::filesystem::is_symlink(tool));
    EXPECT_EQ(failureOf(installer(privileged).uninstall()), tool.string() + " is the installed tool, not a link");
    EXPECT_TRUE(std::filesystem::is_regular_file(tool));
    EXPECT_THAT(privileged.commands, IsEmpty());
}

TEST_F(CLIInstallerTest, InstallFallsBackToAdministratorRights) {
    const auto tool = makeExecutable(folder, "bundle/norvane");
    // A file where the link's folder should be makes the direct route fail, whoever runs the test.
    folder.writeFile("blocked", "");
    locations.linkPath = folder.path() / "blocked/norvane";
    EXPECT_TRUE(installer(privileged).install().succeeded());
    const std::string link = fmt::format("'{}'", locations.linkPath.string());
    EXPECT_THAT(privileged.commands, ElementsAre("mkdir -p '" + (folder.path() / "blocked").string() + "' && rm -f " +
                                                 link + " && ln -s '" + tool.string() + "' " + link));
}

TEST_F(CLIInstallerTest, AdministratorOutcomesMapToErrors) {
    const auto tool = makeExecutable(folder, "bundle/norvane");
    const auto errorFor = [&](Outcome outcome) {
        privileged.outcome = std::move(outcome);
        const auto result = installer(privileged).installWithAdministratorPrivileges(tool);
        EXPECT_FALSE(result.succeeded());
        return result.error();
    };
    const auto cancelled = errorFor({Outcome::Kind::refused, {}});
    EXPECT_EQ(cancelled, CLIInstaller::InstallError::userCancelled());
    EXPECT_EQ(cancelled.errorDescription(), std::nullopt);
    EXPECT_EQ(errorFor({Outcome::Kind::failed, "  ln: failed to create symbolic link\n"}).errorDescription(),
              "Installation failed: ln: failed to create symbolic link");
    EXPECT_EQ(errorFor({Outcome::Kind::failed, "\n"}).errorDescription(), "Installation failed: ");
    EXPECT_EQ(errorFor({Outcome::Kind::failed, "bad \xC3\x28 bytes"}).errorDescription(),
              "Installation failed: Unknown error");
    EXPECT_EQ(errorFor({Outcome::Kind::failed, "error -128 in a path"}).errorDescription(),
              "Installation failed: error -128 in a path");
    EXPECT_EQ(errorFor({Outcome::Kind::launchFailed, "No such file or directory: /usr/bin/pkexec"}),
              CLIInstaller::InstallError::installFailed("No such file or directory: /usr/bin/pkexec"));
    privileged.outcome = {Outcome::Kind::failed, "denied\n"};
    EXPECT_EQ(installer(privileged).uninstallWithAdministratorPrivileges().error().errorDescription(),
              "Installation failed: denied");
    EXPECT_EQ(privileged.commands.back(), "rm -f '" + locations.linkPath.string() + "'");
}

TEST_F(CLIInstallerTest, UninstallFallsBackToAdministratorRights) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "a folder without write permission does not stop root";
    }
    makeExecutable(folder, "bundle/norvane");
    ASSERT_TRUE(installer(privileged).install().succeeded());
    std::filesystem::permissions(locations.linkPath.parent_path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    privileged.outcome = {Outcome::Kind::refused, {}};
    EXPECT_EQ(installer(privileged).uninstall().error(), CLIInstaller::InstallError::userCancelled());
    EXPECT_THAT(privileged.commands, ElementsAre("rm -f '" + locations.linkPath.string() + "'"));
}

// The command must survive the real shell whatever the paths hold.
TEST_F(CLIInstallerTest, ShellCommandKeepsAwkwardPathsIntact) {
    const auto tool = makeExecutable(folder, "it's a \"tool\" \\ $HOME `x` folder/norvane");
    locations.linkPath = folder.path() / "bin's \"folder\" \\n/norvane";
    WithoutPkexec unprivileged;
    PkexecRunner shell(unprivileged);
    EXPECT_TRUE(installer(shell).installWithAdministratorPrivileges(tool).succeeded());
    EXPECT_EQ(std::filesystem::read_symlink(locations.linkPath), tool);
    EXPECT_TRUE(installer(shell).installWithAdministratorPrivileges(tool).succeeded());
    EXPECT_TRUE(installer(shell).uninstallWithAdministratorPrivileges().succeeded());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(locations.linkPath)));
    EXPECT_EQ(CLIInstaller::shellQuoted("it's"), "'it'\\''s'");
}

TEST(PkexecRunner, RunsTheCommandAsOneArgumentOfShell) {
    testing::RecordingProcessRunner runner([](const platform::ProcessRequest& request) {
        const std::string& command = request.arguments.back();
        return testing::exitedWith(command == "refuse" ? 126 : command == "fail" ? 1 : 0, "text\n");
    });
    PkexecRunner pkexec(runner);
    EXPECT_EQ(pkexec.runShellCommand("rm -f '/usr/local/bin/norvane'").kind, Outcome::Kind::succeeded);
    EXPECT_EQ(runner.requests[0].executable, "/usr/bin/pkexec");
    EXPECT_THAT(runner.requests[0].arguments, ElementsAre("/bin/sh", "-c", "rm -f '/usr/local/bin/norvane'"));
    EXPECT_EQ(pkexec.runShellCommand("refuse").kind, Outcome::Kind::refused);
    const auto failed = pkexec.runShellCommand("fail");
    EXPECT_EQ(failed.kind, Outcome::Kind::failed);
    EXPECT_EQ(failed.text, "text\n");

    testing::RecordingProcessRunner missing(testing::failingToStart("No such file or directory: /usr/bin/pkexec"));
    const auto launch = PkexecRunner(missing).runShellCommand("true");
    EXPECT_EQ(launch.kind, Outcome::Kind::launchFailed);
    EXPECT_EQ(launch.text, "No such file or directory: /usr/bin/pkexec");
}

} // namespace
} // namespace norvane::app
