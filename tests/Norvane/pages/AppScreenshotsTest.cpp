#include <cstdlib>
#include <filesystem>

#include <QImage>
#include <gtest/gtest.h>

#include "platform/ProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

QImage picture(const std::filesystem::path& path) { return QImage(QString::fromStdString(path.string())); }

// The whole road a user takes: repositories, the counter, the store, the window and the panel.
TEST(AppScreenshots, DrawsTheMainWindowAndThePanelOverADemoStore) {
    const char* bin = std::getenv("NORVANE_TEST_BIN");
    ASSERT_NE(bin, nullptr);
    norvane::testing::TemporaryFolder output;
    const auto result = platform::defaultProcessRunner().run(
        {.executable = (std::filesystem::path(bin) / "norvane-app-screenshots").string(),
         .arguments = {output.path().string()}});
    ASSERT_TRUE(result.succeeded()) << result.standardError << result.startError.value_or("");

    const auto window = picture(output.path() / "main-window.png");
    EXPECT_EQ(window.size(), QSize(1100, 720));
    EXPECT_EQ(picture(output.path() / "main-window-error-banner.png").size(), window.size());
    const auto panel = picture(output.path() / "menu-bar-panel.png");
    EXPECT_EQ(panel.width(), 300);
    EXPECT_GT(panel.height(), 200);
}

} // namespace
} // namespace norvane::app
