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

// Through a chain of links, to a file not made yet, or round in a circle.
TEST(ChosenFile, AWriteGoesWhereTheLinksLeadAndTheLinksStay) {
    const testing::TemporaryFolder folder;
    const auto at = [&folder](const char* relative) { return folder.path() / relative; };
    const StorePathGuard guard(at("Norvane/norvane.store"));
    folder.writeFile("exports/target.json", "old");
    std::filesystem::create_symlink("exports/target.json", at("link.json"));
    std::filesystem::create_symlink(at("link.json"), at("link to a link.json"));
    std::filesystem::create_symlink("exports/new.json", at("dangling.json"));
    std::filesystem::create_symlink("circle b.json", at("circle a.json"));
    std::filesystem::create_symlink("circle a.json", at("circle b.json"));

    ChosenFile(at("link to a link.json"), guard).write("first");
    ChosenFile(at("dangling.json"), guard).write("second");
    EXPECT_EQ(testing::errorMessageOf<std::runtime_error>([&] { ChosenFile(at("circle a.json"), guard); }),
              "Cannot write " + at("circle a.json").string() + ": too many levels of symbolic links");

    EXPECT_EQ(readFile(at("exports/target.json")), "first");
    EXPECT_EQ(readFile(at("exports/new.json")), "second");
    EXPECT_EQ(folderEntries(at("exports")), (std::vector<std::string>{"new.json", "target.json"}));
    for (const char* link : {"link.json", "link to a link.json", "dangling.json"}) {
        EXPECT_TRUE(std::filesystem::is_symlink(at(link))) << link;
    }
}

} // namespace
} // namespace norvane
