#include "platform/RunningMark.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

namespace norvane::platform {
namespace {

using testing::folderEntries;

// A mark is seen from its own process too, as the window's list sees an add that the window runs,
// and the file goes with the last mark, wherever the marks end.
TEST(RunningMark, IsSeenByEveryProcessUntilItsHolderEndsHoweverItEnds) {
    const testing::TemporaryFolder folder;
    const auto file = folder.path() / "marks";
    const std::uint64_t first = 7;
    const std::uint64_t second = std::uint64_t{1} << 61;
    EXPECT_FALSE(RunningMark::isHeld(file, first));
    EXPECT_TRUE(folderEntries(folder.path()).empty()) << "asking makes nothing";

    // Made before this process holds marks: a process forked later shares them until it ends.
    int marked[2];
    ASSERT_EQ(pipe(marked), 0);
    const pid_t killed = fork();
    if (killed == 0) {
        const RunningMark other(file, second);
        [[maybe_unused]] const auto written = write(marked[1], "m", 1);
        while (true) pause();
    }
    char byte = 0;
    ASSERT_EQ(read(marked[0], &byte, 1), 1);
    EXPECT_TRUE(RunningMark::isHeld(file, second));
    EXPECT_FALSE(RunningMark::isHeld(file, first));

    std::optional<RunningMark> own(std::in_place, file, first);
    EXPECT_TRUE(RunningMark::isHeld(file, first));
    {
        // A second holder of the same byte, as a collection that finishes an add beside it.
        const RunningMark again(file, first);
        EXPECT_TRUE(RunningMark::isHeld(file, first));
    }
    EXPECT_TRUE(RunningMark::isHeld(file, first));
    own.reset();
    EXPECT_FALSE(RunningMark::isHeld(file, first));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"marks"}) << "another mark is held there";

    kill(killed, SIGKILL);
    waitpid(killed, nullptr, 0);
    EXPECT_FALSE(RunningMark::isHeld(file, second));
    RunningMark last(file, first);
    last = RunningMark();
    EXPECT_TRUE(folderEntries(folder.path()).empty()) << "the last mark takes the file along";
    close(marked[0]);
    close(marked[1]);
}

} // namespace
} // namespace norvane::platform
