#include <filesystem>

#include <QImage>
#include <gtest/gtest.h>

#include "Norvane/state/LaunchdManager.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/state/SystemctlStandIn.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

namespace fs = std::filesystem;

platform::ProcessResult run(const std::string& program, std::vector<std::string> arguments) {
    return platform::defaultProcessRunner().run({.executable = program, .arguments = std::move(arguments)});
}

/// What `cmake --install` of this build does, into `prefix`. The build's install script ends by
/// writing the list of installed files into the build tree, which every install shares: this one
/// runs a copy of the script that writes that list into a folder of its own.
void install(const norvane::testing::TemporaryFolder& prefix) {
    const fs::path build = norvane::testing::builtPrograms().parent_path();
    std::string script = norvane::testing::readFile(build / "cmake_install.cmake");
    const std::string manifest = "file(WRITE \"" + build.string() + "/${CMAKE_INSTALL_MANIFEST}\"";
    const auto manifestWrite = script.find(manifest);
    ASSERT_NE(manifestWrite, std::string::npos) << "the install script no longer writes its list where expected";
    const norvane::testing::TemporaryFolder own;
    script.replace(manifestWrite, manifest.size(),
                   "file(WRITE \"" + own.path().string() + "/${CMAKE_INSTALL_MANIFEST}\"");
    const auto copy = own.writeFile("cmake_install.cmake", script);

    const auto installed =
        run("/usr/bin/env", {"cmake", "-DCMAKE_INSTALL_PREFIX=" + prefix.path().string(), "-P", copy.string()});
    ASSERT_TRUE(installed.succeeded()) << installed.standardOutput << installed.standardError;
    EXPECT_NE(
        norvane::testing::readFile(own.path() / "install_manifest.txt").find((prefix.path() / "bin/norvane").string()),
        std::string::npos);
}

// What `cmake --install` gives a desktop user: the three programs side by side, a valid menu entry
// that starts the installed application, and the icon at each size of the icon theme; the
// first-run wizard finds the icon at 80x80 (and twice that) among the resources.
TEST(Installation, GivesTheProgramsAValidMenuEntryForTheApplicationAndItsIcon) {
    norvane::testing::TemporaryFolder prefix;
    ASSERT_NO_FATAL_FAILURE(install(prefix));

    std::vector<std::string> programs;
    for (const auto& entry : fs::directory_iterator(prefix.path() / "bin")) {
        programs.push_back(entry.path().filename().string());
    }
    std::sort(programs.begin(), programs.end());
    EXPECT_EQ(programs, (std::vector<std::string>{"Norvane", "norvane", "norvane-count"}));

    const auto entry = prefix.path() / "share/applications/norvane.desktop";
    const auto valid = run("/usr/bin/desktop-file-validate", {entry.string()});
    EXPECT_TRUE(valid.succeeded()) << valid.standardOutput << valid.standardError;
    const std::string text = norvane::testing::readFile(entry);
    EXPECT_NE(text.find("\nExec=" + (prefix.path() / "bin/Norvane").string() + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=norvane\n"), std::string::npos) << text;

    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const auto file = prefix.path() / ("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                                           "/apps/norvane.png");
        EXPECT_EQ(QImage(QString::fromStdString(file.string())).size(), QSize(size, size)) << file;
    }
    EXPECT_TRUE(fs::exists(prefix.path() / "share/icons/hicolor/scalable/apps/norvane.svg"));
    EXPECT_EQ(QImage(QStringLiteral(":/icons/norvane-80.png")).size(), QSize(80, 80));
    EXPECT_EQ(QImage(QStringLiteral(":/icons/norvane-80@2x.png")).size(), QSize(160, 160));
}

// The installed application finds the tool beside itself, so its daily agent is enabled without
// any link in the install bin folder (its place here is a folder that stays empty), and what the
// timer starts collects into the user's store.
TEST(Installation, EnablesTheDailyAgentOnTheInstalledToolWithoutALink) {
    norvane::testing::TemporaryFolder prefix;
    ASSERT_NO_FATAL_FAILURE(install(prefix));
    norvane::testing::TemporaryHome home;
    norvane::testing::SystemctlStandIn systemctl;
    const auto link = home.path() / "install-bin/norvane";
    const LaunchdManager agent({home.path() / ".config/systemd/user", home.path() / ".local/state/norvane",
                                CommandLineTool{prefix.path() / "bin", link}},
                               platform::defaultProcessRunner());

    agent.install(2, 0);
    const auto tool = prefix.path() / "bin/norvane";
    const std::string service = norvane::testing::readFile(agent.servicePath());
    EXPECT_NE(service.find("\nExecStart=\"" + tool.string() + "\" \"collect\"\n"), std::string::npos) << service;
    EXPECT_EQ(systemctl.calls().back(), "--user enable --now app.norvane.collect.timer");
    EXPECT_FALSE(fs::exists(link.parent_path()));

    const norvane::testing::TemporaryFolder project;
    const auto added = run(tool.string(), {"add", "demo", project.path().string()});
    EXPECT_EQ(added.exitStatus, 0) << added.standardOutput << added.standardError;
    const auto collected = run(tool.string(), {"collect"});
    EXPECT_EQ(collected.exitStatus, 0) << collected.standardOutput << collected.standardError;
    EXPECT_NE(collected.standardOutput.find("demo: 0 code lines"), std::string::npos) << collected.standardOutput;
    EXPECT_TRUE(fs::exists(home.dataHome() / "Norvane/norvane.store"));
}

} // namespace
} // namespace norvane::app
