#include "Norvane/state/Preferences.h"

#include <filesystem>
#include <memory>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// QSettings replaces its file on every save: the device id must not come out readable by others.
TEST(Preferences, TheFileThatHoldsTheDeviceIdStaysTheUsersAloneWhateverTheUmask) {
    const norvane::testing::TemporaryFolder home;
    const auto file = home.path() / "config/Norvane/Norvane.conf";
    const mode_t previous = ::umask(022);
    {
        auto settings = std::make_shared<QSettings>(QString::fromStdString(file.string()), QSettings::IniFormat);
        Preferences::keepFilePrivate(*settings);
        Preferences(settings).setAnonymousDeviceId("5EC2E700-0000-4000-8000-000000000006");
        settings->sync();
        EXPECT_EQ(settings->status(), QSettings::NoError);
    }
    ::umask(previous);

    EXPECT_NE(norvane::testing::readFile(file).find("anonymousDeviceId=5EC2E700-0000-4000-8000-000000000006"),
              std::string::npos);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(file.parent_path()), 0700u);
    EXPECT_EQ(modeOf(home.path() / "config"), 0700u);
}

} // namespace
} // namespace norvane::app
