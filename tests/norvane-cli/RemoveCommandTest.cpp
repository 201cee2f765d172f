#include "norvane-cli/RemoveCommand.h"

#include "core/models/NorvaneDatabase.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace norvane::cli {
namespace {

/// The command on an in-memory store, with a person at the terminal giving `answer`.
class RemoveCommandAtATerminal : public ::testing::Test {
protected:
    RemoveCommandAtATerminal() {
        kit.addProject("demo", folder.path().string(), std::nullopt, ProjectType::organic);
        command.configure(tool);
    }

    int remove(const std::string& arguments, const std::string& answer) {
        in.clear();
        in.str(answer);
        tool.parse(arguments);
        return command.run(kit, Console(out, err, in, true, true));
    }

    testing::TemporaryFolder folder;
    NorvaneKit kit{NorvaneDatabase::makeInMemoryContainer()};
    RemoveCommand command;
    CLI::App tool;
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
};

TEST_F(RemoveCommandAtATerminal, RemovesOnlyAfterAYes) {
    EXPECT_EQ(remove("remove demo", "n\n"), EXIT_FAILURE);
    EXPECT_EQ(err.str(), "Remove demo with all its snapshots and activity? [y/N] ");
    EXPECT_EQ(out.str(), "Nothing removed\n");
    EXPECT_EQ(remove("remove demo", ""), EXIT_FAILURE) << "the end of input counts as no";
    EXPECT_NE(kit.findProject("demo"), nullptr);

    EXPECT_EQ(remove("remove demo", "yes\n"), EXIT_SUCCESS);
    EXPECT_EQ(kit.findProject("demo"), nullptr);
}

TEST_F(RemoveCommandAtATerminal, YesSkipsTheQuestion) {
    EXPECT_EQ(remove("remove demo --yes", ""), EXIT_SUCCESS);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(kit.findProject("demo"), nullptr);
}

} // namespace
} // namespace norvane::cli
