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
        std::string data, config;
        std::filesystem::path expectedData, expectedConfig;
    };
    const Case cases[] = {
        {(home.path() / "d").string(), (home.path() / "c").string(), home.path() / "d", home.path() / "c"},
        {"", "", home.path() / ".local/share", home.path() / ".config"},
        {"relative/d", "relative/c", home.path() / ".local/share", home.path() / ".config"},
    };
    for (const Case& test : cases) {
        const testing::ScopedEnvironment data("XDG_DATA_HOME", test.data);
        const testing::ScopedEnvironment config("XDG_CONFIG_HOME", test.config);
        EXPECT_EQ(XdgPaths::dataHome(), test.expectedData) << test.data;
        EXPECT_EQ(XdgPaths::configHome(), test.expectedConfig) << test.config;
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
