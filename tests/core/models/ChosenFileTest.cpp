#include "core/models/ChosenFile.h"

#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace norvane {
namespace {

using testing::folderEntries;
using testing::readFile;
using testing::TemporaryFolder;

class ChosenFileTest : public ::testing::Test {
protected:
    std::filesystem::path at(const char* relative) const { return folder.path() / relative; }

    TemporaryFolder folder;
    StorePathGuard guard{folder.path() / "Norvane/norvane.store"};
};

TEST_F(ChosenFileTest, AWriteGoesWhereTheLinksLeadAndTheLinksStay) {
    folder.writeFile("Norvane/norvane.store", "SQLite format 3");
    folder.writeFile("exports/target.json", "old");
    std::filesystem::create_symlink("exports/target.json", at("link.json"));
    std::filesystem::create_symlink(at("link.json"), at("link to a link.json"));
    std::filesystem::create_symlink("exports/new.json", at("dangling.json"));

    ChosenFile(at("link to a link.json"), guard).write("first");
    EXPECT_EQ(readFile(at("exports/target.json")), "first");
    ChosenFile(at("dangling.json"), guard).write("second");
    EXPECT_EQ(readFile(at("exports/new.json")), "second");

    EXPECT_TRUE(std::filesystem::is_symlink(at("link.json")));
    EXPECT_TRUE(std::filesystem::is_symlink(at("link to a link.json")));
    EXPECT_TRUE(std::filesystem::is_symlink(at("dangling.json")));
    EXPECT_EQ(folderEntries(at("exports")), (std::vector<std::string>{"new.json", "target.json"}));
}

TEST_F(ChosenFileTest, ALinkOntoTheStoreOrInACircleIsRefusedBeforeAnythingIsWritten) {
    folder.writeFile("Norvane/norvane.store", "SQLite format 3");
    std::filesystem::create_symlink("Norvane/norvane.store-wal", at("wal link.json"));
    std::filesystem::create_symlink("circle b.json", at("circle a.json"));
    std::filesystem::create_symlink("circle a.json", at("circle b.json"));

    EXPECT_EQ(testing::errorMessageOf<std::runtime_error>([&] { ChosenFile(at("wal link.json"), guard); }),
              "Cannot write " + at("wal link.json").string() + ": it would overwrite the Norvane store (" +
                  at("Norvane/norvane.store").string() + "); choose another file");
    EXPECT_EQ(testing::errorMessageOf<std::runtime_error>([&] { ChosenFile(at("circle a.json"), guard); }),
              "Cannot write " + at("circle a.json").string() + ": too many levels of symbolic links");
    EXPECT_EQ(folderEntries(at("Norvane")), std::vector<std::string>{"norvane.store"});
}

} // namespace
} // namespace norvane
