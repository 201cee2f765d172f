#include "Norvane/state/CommandLineTool.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

namespace fs = std::filesystem;
using Reach = CommandLineTool::Reach;
using Action = CommandLineTool::Action;

// One status for the wizard, the settings and the menu, read from real files: the program's
// folder, the installer's link in a stand-in for /usr/local/bin, and another folder of PATH.
TEST(CommandLineTool, TellsWhetherATerminalOrOnlyTheDailyAgentFindsTheTool) {
    struct Case {
        const char* name;
        bool beside;
        bool linked;
        bool linkFolderOnPath;
        const char* elsewhereOnPath; // "norvane" in another folder of PATH: "run", "text" or none
        Reach reach;
        const char* shownPath;
        Action action;
        const char* agentRuns; // none when the agent finds nothing
    };
    const Case cases[] = {
        {"neither", false, false, true, nullptr, Reach::missing, "install-bin/norvane", Action::install, nullptr},
        {"beside only", true, false, true, nullptr, Reach::besideApplication, "programs/norvane", Action::install,
         "programs/norvane"},
        {"linked onto PATH", true, true, true, nullptr, Reach::onPath, "install-bin/norvane", Action::uninstall,
         "programs/norvane"},
        {"linked outside PATH", true, true, false, nullptr, Reach::besideApplication, "programs/norvane",
         Action::uninstall, "programs/norvane"},
        {"on PATH by another install", false, false, true, "run", Reach::onPath, "other-bin/norvane", Action::none,
         "other-bin/norvane"},
        {"a file on PATH that cannot run", true, false, true, "text", Reach::besideApplication, "programs/norvane",
         Action::install, "programs/norvane"},
    };
    for (const auto& row : cases) {
        testing::TemporaryFolder folder;
        const auto root = folder.path();
        fs::create_directories(root / "programs");
        fs::create_directories(root / "install-bin");
        const auto built = folder.writeFile("build/norvane", "#!/bin/sh\n");
        fs::permissions(built, fs::perms::owner_all);
        if (row.beside) fs::create_symlink(built, root / "programs/norvane");
        if (row.linked) fs::create_symlink(built, root / "install-bin/norvane");
        if (row.elsewhereOnPath) {
            const auto other = folder.writeFile("other-bin/norvane", "#!/bin/sh\n");
            if (std::string(row.elsewhereOnPath) == "run") fs::permissions(other, fs::perms::owner_all);
        }
        // An empty entry and a relative one name the terminal's current folder: never "any directory".
        std::string searchPath = fmt::format(":.:{}", (root / "other-bin").string());
        if (row.linkFolderOnPath) searchPath += fmt::format(":{}", (root / "install-bin").string());
        const CommandLineTool tool{root / "programs", root / "install-bin/norvane", searchPath};

        const auto status = tool.status();
        EXPECT_EQ(status.reach, row.reach) << row.name;
        EXPECT_EQ(status.path, root / row.shownPath) << row.name;
        EXPECT_EQ(status.action, row.action) << row.name;
        EXPECT_EQ(tool.find(), row.agentRuns ? std::optional(root / row.agentRuns) : std::nullopt) << row.name;
    }
}

} // namespace
} // namespace norvane::app
