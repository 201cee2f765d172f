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

// Run on its own by the next case, which reads where the home was.
TEST(ProgramHome, HoldsEveryBaseFolderForTheUserAloneAndReachesNoDesktop) {
    const auto home = XdgPaths::homeFolder();
    for (const char* variable :
         {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const char* folder = std::getenv(variable);
        ASSERT_NE(folder, nullptr) << variable;
        EXPECT_THAT(folder, ::testing::StartsWith(home.string())) << variable;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(std::ofstream(std::filesystem::path(folder) / "written by a test") << "kept here") << variable;
    }
    EXPECT_EQ(std::filesystem::status(std::getenv("XDG_RUNTIME_DIR")).permissions(), std::filesystem::perms(0700));
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    EXPECT_EQ(std::getenv("DISPLAY"), nullptr);
    std::cout << homeLine << home.string() << '\n';
}

TEST(ProgramHome, LeavesTheHomeItWasStartedWithAsItWasAndGoesWithTheProgram) {
    const testing::TemporaryFolder startedWith;
    const auto& folder = startedWith.path();
    const auto run = PosixProcessRunner().run(
        {.executable = "/proc/self/exe",
         .arguments = {"--gtest_filter=ProgramHome.HoldsEveryBaseFolderForTheUserAloneAndReachesNoDesktop"},
         .environmentOverrides = {{"HOME", folder},
                                  {"XDG_CONFIG_HOME", folder / ".config"},
                                  {"XDG_RUNTIME_DIR", folder},
                                  {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder / "bus").string()},
                                  {"DISPLAY", ":0"}}});
    ASSERT_TRUE(run.succeeded()) << run.standardOutput;
    EXPECT_THAT(testing::folderEntries(folder), ::testing::IsEmpty());
    const auto line = run.standardOutput.find(homeLine);
    ASSERT_NE(line, std::string::npos) << run.standardOutput;
    const auto start = line + homeLine.size();
    EXPECT_FALSE(
        std::filesystem::exists(run.standardOutput.substr(start, run.standardOutput.find('\n', start) - start)));
}

} // namespace
} // namespace norvane::platform
