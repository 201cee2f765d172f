#include "core/community/BenchmarkStorage.h"

#include "tests/support/LocalDate.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane {
namespace {

using std::chrono::milliseconds;

/// Whether `work`, run in a child process, returns true within `limit`. A child that is still
/// running then (a read that blocks, or one that never ends) is killed.
bool succeedsWithin(milliseconds limit, const std::function<bool()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(work() ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

AnonymousActivityReport report(const std::string& device) {
    const auto now = platform::currentDate();
    return {
        .deviceId = device, .reportedAt = now, .activityDate = now, .sizeBucket = "Small", .projectType = "organic"};
}

class BenchmarkStorageTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    BenchmarkStorage storage{folder.path()};
};

TEST_F(BenchmarkStorageTest, WhatIsNoRegularFileReadsAsEmptyAtOnceAndTheNextSaveReplacesIt) {
    const auto expectEmpty = [this](const std::string& what) {
        EXPECT_TRUE(succeedsWithin(milliseconds(2000), [this] {
            return storage.loadPendingReports().empty() && !storage.loadBenchmarkCache();
        })) << what;
    };
    ASSERT_EQ(mkfifo(storage.pendingReportsFile().c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(storage.benchmarksCacheFile().c_str(), 0600), 0);
    expectEmpty("FIFOs, which block their reader until someone writes");

    std::filesystem::remove(storage.pendingReportsFile());
    std::filesystem::remove(storage.benchmarksCacheFile());
    std::filesystem::create_symlink("/dev/zero", storage.pendingReportsFile());
    std::filesystem::create_symlink("/dev/zero", storage.benchmarksCacheFile());
    expectEmpty("links to a device that never ends");

    storage.savePendingReports({report("after")});
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(storage.pendingReportsFile())));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/zero"));
    ASSERT_EQ(storage.loadPendingReports().size(), 1u);
    EXPECT_EQ(storage.loadPendingReports().front().deviceId, "after");
}

TEST_F(BenchmarkStorageTest, AFileLargerThanAnyQueueOrCacheReadsAsEmpty) {
    const std::vector<AnonymousActivityReport> many(5000, report("many"));
    storage.savePendingReports(many);
    ASSERT_GT(std::filesystem::file_size(storage.pendingReportsFile()), BenchmarkStorage::maxFileBytes);
    EXPECT_TRUE(storage.loadPendingReports().empty());

    folder.writeFile(BenchmarkStorage::benchmarksCacheFileName, std::string(BenchmarkStorage::maxFileBytes + 1, '['));
    EXPECT_FALSE(storage.loadBenchmarkCache());
}

} // namespace
} // namespace norvane
