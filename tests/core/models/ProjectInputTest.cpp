#include "core/models/ProjectInput.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace norvane {
namespace {

TEST(ProjectInput, FoldersBecomeAbsoluteAndCleanFromTheHomeOrTheWorkingFolder) {
    testing::TemporaryHome home;
    const auto working = std::filesystem::current_path();
    EXPECT_EQ(ProjectInput::absoluteFolder("~"), home.path().string());
    EXPECT_EQ(ProjectInput::absoluteFolder("~/code/./app/"), (home.path() / "code/app").string());
    EXPECT_EQ(ProjectInput::absoluteFolder("rel/path/.."), (working / "rel").string());
    EXPECT_EQ(ProjectInput::absoluteFolder("/srv//app/"), "/srv/app");
    EXPECT_EQ(ProjectInput::absoluteFolder("~other/app"), (working / "~other/app").string())
        << "another user's home is not looked up";
    EXPECT_EQ(ProjectInput::absoluteFolder(""), "");
}

TEST(ProjectInput, OnlyABlankNameIsRefused) {
    for (const std::string blank : {"", "   ", " \t\n"}) {
        EXPECT_EQ(testing::errorMessageOf<std::invalid_argument>([&] { ProjectInput::checkName(blank); }),
                  "The project name must not be empty");
    }
    EXPECT_NO_THROW(ProjectInput::checkName(" app "));
}

} // namespace
} // namespace norvane
