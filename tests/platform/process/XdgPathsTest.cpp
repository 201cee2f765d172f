#include "platform/XdgPaths.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace norvane::platform {
namespace {

TEST(XdgPaths, FollowsHomeAndOnlyAbsoluteBaseFolderVariables) {
    const testing::TemporaryFolder home;
    const testing::ScopedEnvironment homeVariable("HOME", home.path().string());
    EXPECT_EQ(XdgPaths::homeFolder(), home.path());
    struct Case {
        std::string data, config, state;
        std::filesystem::path expectedData, expectedConfig, expectedState;
    };
    const Case cases[] = {
        {(home.path() / "d").string(), (home.path() / "c").string(), (home.path() / "s").string(), home.path() / "d",
         home.path() / "c", home.path() / "s"},
        {"", "", "", home.path() / ".local/share", home.path() / ".config", home.path() / ".local/state"},
        {"relative/d", "relative/c", "relative/s", home.path() / ".local/share", home.path() / ".config",
         home.path() / ".local/state"},
    };
    for (const Case& test : cases) {
        const testing::ScopedEnvironment data("XDG_DATA_HOME", test.data);
        const testing::ScopedEnvironment config("XDG_CONFIG_HOME", test.config);
        const testing::ScopedEnvironment state("XDG_STATE_HOME", test.state);
        EXPECT_EQ(XdgPaths::dataHome(), test.expectedData) << test.data;
        EXPECT_EQ(XdgPaths::configHome(), test.expectedConfig) << test.config;
        EXPECT_EQ(XdgPaths::stateHome(), test.expectedState) << test.state;
    }
}

TEST(XdgPaths, EmptyHomeFallsBackToThePasswordDatabase) {
    const testing::ScopedEnvironment homeVariable("HOME", "");
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(XdgPaths::homeFolder(), std::filesystem::path(entry->pw_dir));
}

} // namespace
} // namespace norvane::platform
