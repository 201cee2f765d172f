// The home that every test program's main makes for it (tests/support/ProgramHome).
#include "platform/ProcessRunner.h"
#include "platform/XdgPaths.h"
#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace norvane::platform {
namespace {

constexpr std::string_view homeLine = "program home: ";
constexpr std::string_view runtimeLine = "runtime folder: ";

/// The folder that `run` printed after `label`.
std::filesystem::path printedFolder(const ProcessResult& run, std::string_view label) {
    const auto line = run.standardOutput.find(label);
    if (line == std::string::npos) return {};
    const auto start = line + label.size();
    return run.standardOutput.substr(start, run.standardOutput.find('\n', start) - start);
}

// Run on its own by the next case, which reads where the home was.
TEST(ProgramHome, HoldsEveryBaseFolderForTheUserAloneAndReachesNoDesktop) {
    const auto home = XdgPaths::homeFolder();
    const std::filesystem::path runtime = std::getenv("XDG_RUNTIME_DIR");
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        const char* folder = std::getenv(variable);
        ASSERT_NE(folder, nullptr) << variable;
        EXPECT_THAT(folder, ::testing::StartsWith(home.string())) << variable;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(std::ofstream(std::filesystem::path(folder) / "written by a test") << "kept here") << variable;
    }
    EXPECT_EQ(std::filesystem::status(runtime).permissions(), std::filesystem::perms(0700));
    // Short enough for a test's folder in it and a socket there, however deep the home.
    EXPECT_LE(runtime.native().size(), 60U) << runtime;
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    EXPECT_EQ(std::getenv("DISPLAY"), nullptr);
    std::cout << homeLine << home.string() << '\n' << runtimeLine << runtime.string() << '\n';
}

TEST(ProgramHome, LeavesTheHomeItWasStartedWithAsItWasAndGoesWithTheProgram) {
    const testing::TemporaryFolder startedWith;
    const testing::TemporaryFolder temporary;
    const auto deepTemporary = temporary.path() / std::string(100, 't');
    std::filesystem::create_directory(deepTemporary);
    const auto& folder = startedWith.path();
    for (const auto& temporaryFolder : {temporary.path(), deepTemporary}) {
        const auto run = PosixProcessRunner().run(
            {.executable = "/proc/self/exe",
             .arguments = {"--gtest_filter=ProgramHome.HoldsEveryBaseFolderForTheUserAloneAndReachesNoDesktop"},
             .environmentOverrides = {{"HOME", folder},
                                      {"XDG_CONFIG_HOME", folder / ".config"},
                                      {"XDG_RUNTIME_DIR", folder},
                                      {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder / "bus").string()},
                                      {"DISPLAY", ":0"},
                                      {"TMPDIR", temporaryFolder}}});
        ASSERT_TRUE(run.succeeded()) << run.standardOutput;
        EXPECT_THAT(testing::folderEntries(folder), ::testing::IsEmpty());
        for (const auto label : {homeLine, runtimeLine}) {
            const auto printed = printedFolder(run, label);
            ASSERT_FALSE(printed.empty()) << run.standardOutput;
            EXPECT_FALSE(std::filesystem::exists(printed)) << printed;
        }
    }
}

} // namespace
} // namespace norvane::platform
