#include "Norvane/state/DisplayServer.h"

#include "tests/support/ProgramHome.h"
#include "tests/support/TemporaryFolder.h"

#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace norvane::app {
namespace {

using testing::ScopedEnvironment;

TEST(DisplayServer, WithoutOneTheApplicationSaysSoAndEnds) {
    const testing::TemporaryFolder home;
    platform::ProcessRequest request{.executable = testing::builtProgram("Norvane").string()};
    request.environment = {{"HOME", home.path().string()}, {"XDG_RUNTIME_DIR", home.path().string()}};
    request.timeLimit = std::chrono::minutes(1);
    const auto result = platform::PosixProcessRunner().run(request);
    EXPECT_EQ(result.exitStatus, 1) << "not Qt's abort, 134";
    EXPECT_EQ(result.standardError,
              "Norvane: cannot open a display: neither DISPLAY nor WAYLAND_DISPLAY leads to one\n");
}

TEST(DisplayServer, ReachableWhereTheChosenPlatformsDisplayTakesConnectionsOrWhereItNeedsNone) {
    const testing::TemporaryFolder runtime(testing::ProgramHome::runtimeFolder());
    const ScopedEnvironment runtimeFolder("XDG_RUNTIME_DIR", runtime.path().string());
    const int compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    const auto socketPath = runtime.path() / "wayland-test";
    ASSERT_LT(socketPath.native().size(), sizeof(address.sun_path));
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(compositor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(compositor, 8), 0);

    const struct {
        const char *platform, *display, *wayland;
        std::vector<const char*> arguments;
        bool reachable;
    } cases[] = {
        {"", ":65301", "wayland-gone", {}, false}, // nothing listens at either
        {"", "", "wayland-test", {}, true},
        {"xcb", "", "wayland-test", {}, false},
        {"xcb;wayland:option", "", "wayland-test", {}, true},
        {"offscreen", "", "", {"Norvane", "-platform", "xcb"}, false},
    };
    for (const auto& row : cases) {
        const ScopedEnvironment platform("QT_QPA_PLATFORM", row.platform);
        const ScopedEnvironment display("DISPLAY", row.display);
        const ScopedEnvironment wayland("WAYLAND_DISPLAY", row.wayland);
        EXPECT_EQ(DisplayServer::reachable(static_cast<int>(row.arguments.size()), row.arguments.data()), row.reachable)
            << row.platform << " " << row.display << " " << row.wayland;
    }
    ::close(compositor);
}

} // namespace
} // namespace norvane::app
