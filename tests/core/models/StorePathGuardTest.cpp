#include "core/models/StorePathGuard.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace norvane {
namespace {

using testing::TemporaryFolder;

/// A store file with its -shm file beside it; its -wal and -journal files are not there yet.
class StorePathGuardTest : public ::testing::Test {
protected:
    StorePathGuardTest() {
        folder.writeFile("Norvane/norvane.store", "SQLite format 3");
        folder.writeFile("Norvane/norvane.store-shm", "shared");
        folder.writeFile("elsewhere/norvane.store", "another store");
    }
    std::filesystem::path store() const { return folder.path() / "Norvane/norvane.store"; }
    std::filesystem::path at(const char* relative) const { return folder.path() / relative; }

    TemporaryFolder folder;
};

TEST_F(StorePathGuardTest, TheStoreAndItsSideFilesAreToldByIdentityWhateverThePathSays) {
    const StorePathGuard guard(store());
    std::filesystem::create_hard_link(store(), at("hard link"));
    std::filesystem::create_hard_link(at("Norvane/norvane.store-shm"), at("elsewhere/shm hard link"));
    std::filesystem::create_symlink(store(), at("link"));
    std::filesystem::create_symlink(at("Norvane/norvane.store-wal"), at("dangling link to the wal"));
    std::filesystem::create_symlink(at("dangling link to the wal"), at("link to a link"));
    std::filesystem::create_symlink("norvane.store-journal", at("Norvane/relative link"));
    std::filesystem::create_directory_symlink(at("Norvane"), at("data"));
    std::filesystem::create_directory_symlink(at("elsewhere"), at("other data"));
    std::filesystem::copy_file(store(), at("copy.store"));

    const std::vector<std::pair<std::filesystem::path, bool>> cases{
        {store(), true},
        {at("Norvane/norvane.store-wal"), true},
        {at("Norvane/norvane.store-shm"), true},
        {at("Norvane/norvane.store-journal"), true},
        {at("Norvane/../Norvane/norvane.store"), true},
        {at("elsewhere/../Norvane/norvane.store-wal"), true},
        {at("hard link"), true},
        {at("elsewhere/shm hard link"), true},
        {at("link"), true},
        {at("dangling link to the wal"), true},
        {at("link to a link"), true},
        {at("Norvane/relative link"), true},
        {at("data/norvane.store"), true},
        {at("data/norvane.store-wal"), true},
        {at("data/norvane.store-journal"), true},
        {at("Norvane/norvane.store.json"), false},
        {at("Norvane/norvane.store-wal.bak"), false},
        {at("Norvane/pending-reports.json"), false},
        {at("elsewhere/norvane.store"), false},
        {at("elsewhere/norvane.store-wal"), false},
        {at("other data/norvane.store-wal"), false},
        {at("copy.store"), false},
        {at("Norvane"), false},
        {at("missing/norvane.store"), false},
    };
    for (const auto& [path, refused] : cases) {
        EXPECT_EQ(guard.isStoreFile(path), refused) << path;
    }
}

TEST_F(StorePathGuardTest, ARefusalNamesTheChosenFileAndTheStore) {
    const StorePathGuard guard(store());
    try {
        guard.requireOtherFile(at("Norvane/norvane.store-wal"));
        FAIL() << "the -wal file was accepted";
    } catch (const std::runtime_error& refusal) {
        EXPECT_EQ(std::string(refusal.what()), "Cannot write " + at("Norvane/norvane.store-wal").string() +
                                                   ": it would overwrite the Norvane store (" + store().string() +
                                                   "); choose another file");
    }
    EXPECT_NO_THROW(guard.requireOtherFile(at("elsewhere/export.json")));
}

// The same folder mounted a second time: its path shares nothing with the store's.
TEST_F(StorePathGuardTest, AFolderBindMountedElsewhereIsStillTheStoresFolder) {
    std::filesystem::create_directory(at("mounted"));
    const pid_t child = fork();
    if (child == 0) {
        const bool mounted = unshare(CLONE_NEWNS) == 0 &&
                             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                             mount(at("Norvane").c_str(), at("mounted").c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (!mounted) _exit(2);
        const StorePathGuard guard(store());
        const bool refused = guard.isStoreFile(at("mounted/norvane.store")) &&
                             guard.isStoreFile(at("mounted/norvane.store-wal")) &&
                             !guard.isStoreFile(at("mounted/export.json"));
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "this process may not mount a folder";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a path through the bind mount was accepted";
}

} // namespace
} // namespace norvane
