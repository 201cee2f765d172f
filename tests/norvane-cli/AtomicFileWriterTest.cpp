#include "norvane-cli/AtomicFileWriter.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace norvane::cli {
namespace {

using testing::readFile;

TEST(AtomicFileWriter, WritesANewFileWithTheUsualPermissions) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "out.json";
    const mode_t mask = umask(022);

    AtomicFileWriter::write(file, "{}\n");

    umask(mask);
    EXPECT_EQ(readFile(file), "{}\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

TEST(AtomicFileWriter, AFailureLeavesTheTargetAndTheFolderAsTheyWere) {
    testing::TemporaryFolder folder;
    const auto target = folder.path() / "taken";
    std::filesystem::create_directory(target);
    folder.writeFile("taken/inside.txt", "kept");

    EXPECT_THROW(AtomicFileWriter::write(target, "new"), std::runtime_error);
    EXPECT_THROW(AtomicFileWriter::write(folder.path() / "", "new"), std::runtime_error);

    EXPECT_EQ(readFile(target / "inside.txt"), "kept");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

} // namespace
} // namespace norvane::cli
