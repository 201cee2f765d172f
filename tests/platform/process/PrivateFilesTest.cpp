#include "platform/PrivateFiles.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace norvane::platform {
namespace {

using testing::readFile;

mode_t entryModeOf(const std::filesystem::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// A umask that takes the owner's own rights too must not make a folder that its owner cannot use.
TEST(PrivateFiles, NewFoldersAndFilesAreTheOwnersAloneWhateverTheUmaskAndWhatWasThereStays) {
    const testing::TemporaryFolder folder;
    ::chmod(folder.path().c_str(), 0755);
    const auto existing = folder.writeFile("a/notes.txt", "kept");
    ::chmod(existing.parent_path().c_str(), 0755);
    for (const mode_t umask : {000, 022, 0277}) {
        const mode_t previous = ::umask(umask);
        const auto leaf = folder.path() / "a" / std::to_string(umask) / "b";
        PrivateFiles::createFolder(leaf);
        PrivateFiles::createFile(leaf / "file");
        PrivateFiles::createFile(existing);
        ::umask(previous);

        EXPECT_EQ(entryModeOf(leaf.parent_path()), 0700u) << std::oct << umask;
        EXPECT_EQ(entryModeOf(leaf), 0700u) << std::oct << umask;
        EXPECT_EQ(entryModeOf(leaf / "file"), 0600u) << std::oct << umask;
    }
    EXPECT_EQ(entryModeOf(folder.path()), 0755u);
    EXPECT_EQ(entryModeOf(existing.parent_path()), 0755u);
    EXPECT_EQ(readFile(existing), "kept");
    EXPECT_THROW(PrivateFiles::createFolder(existing / "inside"), std::filesystem::filesystem_error);
}

TEST(PrivateFiles, TighteningTakesTheGroupsAndOthersRightsAndNeverGoesThroughALink) {
    const testing::TemporaryFolder folder;
    const auto open = folder.writeFile("open", "");
    const auto readOnly = folder.writeFile("read-only", "");
    const auto groupOnly = folder.writeFile("group-only", "");
    const auto target = folder.writeFile("target", "");
    const auto link = folder.path() / "link";
    std::filesystem::create_symlink(target, link);
    std::filesystem::create_directory(folder.path() / "folder");
    ::chmod(open.c_str(), 0666);
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(groupOnly.c_str(), 0640);
    ::chmod(target.c_str(), 0644);
    ::chmod((folder.path() / "folder").c_str(), 0775);

    for (const char* name : {"open", "read-only", "group-only", "link", "folder", "missing"}) {
        PrivateFiles::tighten(folder.path() / name);
    }
    EXPECT_EQ(entryModeOf(open), 0600u);
    EXPECT_EQ(entryModeOf(readOnly), 0400u);
    EXPECT_EQ(entryModeOf(groupOnly), 0600u);
    EXPECT_EQ(entryModeOf(target), 0644u);
    EXPECT_EQ(entryModeOf(folder.path() / "folder"), 0700u);
}

} // namespace
} // namespace norvane::platform
