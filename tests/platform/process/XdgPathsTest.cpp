#include "platform/XdgPaths.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace norvane::platform {
namespace {

TEST(XdgPaths, FollowsHomeAndTheBaseFolderVariables) {
    const testing::TemporaryFolder home;
    const testing::ScopedEnvironment homeVariable("HOME", home.path().string());
    const testing::ScopedEnvironment dataVariable("XDG_DATA_HOME", (home.path() / "data").string());
    const testing::ScopedEnvironment configVariable("XDG_CONFIG_HOME", (home.path() / "config").string());
    EXPECT_EQ(XdgPaths::homeFolder(), home.path());
    EXPECT_EQ(XdgPaths::dataHome(), home.path() / "data");
    EXPECT_EQ(XdgPaths::configHome(), home.path() / "config");
}

TEST(XdgPaths, IgnoresEmptyAndRelativeBaseFolders) {
    const testing::TemporaryFolder home;
    const testing::ScopedEnvironment homeVariable("HOME", home.path().string());
    {
        const testing::ScopedEnvironment dataVariable("XDG_DATA_HOME", "");
        const testing::ScopedEnvironment configVariable("XDG_CONFIG_HOME", "");
        EXPECT_EQ(XdgPaths::dataHome(), home.path() / ".local/share");
        EXPECT_EQ(XdgPaths::configHome(), home.path() / ".config");
    }
    const testing::ScopedEnvironment dataVariable("XDG_DATA_HOME", "relative/data");
    const testing::ScopedEnvironment configVariable("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgPaths::dataHome(), home.path() / ".local/share");
    EXPECT_EQ(XdgPaths::configHome(), home.path() / ".config");
}

TEST(XdgPaths, EmptyHomeFallsBackToThePasswordDatabase) {
    const testing::ScopedEnvironment homeVariable("HOME", "");
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(XdgPaths::homeFolder(), std::filesystem::path(entry->pw_dir));
}

TEST(XdgPaths, ExecutableFolderHoldsTheRunningProgram) {
    const std::filesystem::path folder = XdgPaths::executableFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "norvane_platform_tests"));
}

} // namespace
} // namespace norvane::platform
