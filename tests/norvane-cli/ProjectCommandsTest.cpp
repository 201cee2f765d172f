#include "tests/norvane-cli/CliTestFixture.h"

#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/Project.h"
#include "core/models/Snapshot.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ProjectCommands : public CliTest {};

TEST_F(ProjectCommands, ListShowsEveryProjectInColumns) {
    EXPECT_EQ(norvane({"list"}).out, "No projects. Add one with: norvane add NAME [PATH]\n");
    const auto repository = makeRepository();
    TemporaryFolder empty;
    addProject("Zeta", repository->path());
    addProject("älpha", empty.path());
    // Two characters of two columns each, and an "e" with a combining accent: one column.
    std::filesystem::create_directory(empty.path() / "sub");
    addProject("项目", empty.path() / "sub");
    addProject("e\u0301clair", empty.path());

    const auto run = norvane({"list"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "NAME    STATUS  TYPE     CODE LINES  PATH\n"
                       "älpha   active  organic  0           " +
                           empty.path().string() + "\n" + "e\u0301clair  active  organic  0           " +
                           empty.path().string() + "\n" + "Zeta    active  organic  10          " +
                           repository->pathString() + "\n" + "项目    active  organic  0           " +
                           (empty.path() / "sub").string() + "\n");
}

TEST_F(ProjectCommands, OnANewHomeOnlyAddMakesTheStore) {
    const std::string notFound = "norvane: Project not found: demo\n";
    // What each command says on standard error; nothing, for a success.
    const std::vector<std::pair<std::vector<std::string>, std::string>> runs{{{"list"}, ""},
                                                                             {{"export", "--output", "-"}, ""},
                                                                             {{"collect"}, ""},
                                                                             {{"collect", "demo"}, notFound},
                                                                             {{"history", "demo"}, notFound},
                                                                             {{"archive", "demo"}, notFound},
                                                                             {{"remove", "demo", "--yes"}, notFound}};
    const auto expectNothingMadeAt = [&](const std::filesystem::path& path) {
        for (const auto& [arguments, error] : runs) {
            const auto run = norvane(arguments);
            const auto where = ::testing::PrintToString(arguments);
            EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(error.empty() ? 0 : 1, error)) << where;
            EXPECT_FALSE(std::filesystem::exists(path)) << where;
        }
    };
    expectNothingMadeAt(home.dataHome() / "Norvane");
    // A link at the store's path that leads where nothing is yet is no store either.
    const auto target = home.path() / "elsewhere" / "norvane.store";
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::create_directories(storeFile().parent_path());
    std::filesystem::create_symlink(target, storeFile());
    expectNothingMadeAt(target);
}

// A link's relative target is read from the link's folder, as the kernel reads it, not from the
// working folder: there the store's file was made, and the store open to others.
TEST_F(ProjectCommands, AddThroughARelativeLinkAtTheStoresPathMakesTheStorePrivateWhereTheLinkLeads) {
    const auto repository = makeRepository();
    std::filesystem::create_directories(storeFile().parent_path());
    std::filesystem::create_symlink("kept.store", storeFile());
    const TemporaryFolder working;
    const mode_t umask = ::umask(022);
    const auto run = norvane({"add", "demo", repository->pathString()}, {.workingFolder = working.path()});
    ::umask(umask);

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::filesystem::status(storeFile().parent_path() / "kept.store").permissions(),
              std::filesystem::perms(0600));
    EXPECT_THAT(folderEntries(working.path()), ::testing::IsEmpty());
}

TEST_F(ProjectCommands, TheApplicationsSettingsLeftOpenToOthersAreClosedWhenTheToolStarts) {
    const auto folder = home.path() / ".config" / "Norvane";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Norvane.conf") << "[General]\nanonymousDeviceId=abc\n";
    std::filesystem::permissions(folder, std::filesystem::perms(0755));
    std::filesystem::permissions(folder / "Norvane.conf", std::filesystem::perms(0644));

    EXPECT_EQ(norvane({"--version"}).status, 0);

    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms(0700));
    EXPECT_EQ(std::filesystem::status(folder / "Norvane.conf").permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(readFile(folder / "Norvane.conf"), "[General]\nanonymousDeviceId=abc\n");
}

TEST_F(ProjectCommands, ArchiveKeepsTheProjectButLeavesItOutOfCollections) {
    const auto kept = makeRepository();
    const auto archived = makeRepository();
    addProject("kept", kept->path());
    addProject("old", archived->path());

    const auto run = norvane({"archive", "old"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Archived old\n");

    EXPECT_THAT(norvane({"list"}).out, HasSubstr("old   archived  organic  10"));
    const auto collect = norvane({"collect"});
    ASSERT_EQ(collect.status, 0) << collect.err;
    EXPECT_THAT(collect.out, HasSubstr("kept: "));
    EXPECT_THAT(collect.out, Not(HasSubstr("old")));
    EXPECT_EQ(storedSnapshots("old", "scc"), 1u);
    EXPECT_EQ(storedSnapshots("old", "gitHistory"), 3u);

    // Named, an archived project is collected all the same.
    const auto named = norvane({"collect", "old"});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_THAT(named.out, HasSubstr("old: 10 code lines"));
    EXPECT_EQ(storedSnapshots("old", "scc"), 2u);
}

TEST_F(ProjectCommands, ListAndExportOnAHomeWithoutAStoreLeaveNothingBehind) {
    const auto list = norvane({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "No projects. Add one with: norvane add NAME [PATH]\n");

    const auto exported = norvane({"export", "-o", "-"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const auto document = nlohmann::json::parse(exported.out);
    for (const char* key : {"projects", "modelDailyActivities", "dailyPortfolioSnapshots"}) {
        EXPECT_EQ(document.at(key), nlohmann::json::array()) << key;
    }
    EXPECT_EQ(document.at("settings"), nullptr);
    TemporaryFolder destination;
    EXPECT_EQ(norvane({"export", "-o", (destination.path() / "export.json").string()}).status, 0);

    EXPECT_EQ(folderEntries(home.path()), std::vector<std::string>{});
}

TEST_F(ProjectCommands, RemoveDeletesTheProjectWithItsSnapshotsAndActivity) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    ASSERT_EQ(norvane({"collect"}).status, 0);
    ASSERT_FALSE(stored<DailyActivity>().empty());

    const auto run = norvane({"remove", "demo", "--yes"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Removed demo\n");
    EXPECT_TRUE(stored<Project>().empty());
    EXPECT_TRUE(stored<Snapshot>().empty());
    EXPECT_TRUE(stored<DailyActivity>().empty());
    // Attribution rows outlive their project, without it.
    for (const auto& row : stored<ModelDailyActivity>()) EXPECT_EQ(row->project, nullptr);
}

TEST_F(ProjectCommands, RemoveWithoutATerminalToAskOnNeedsYes) {
    TemporaryFolder folder;
    addProject("scripted", folder.path());

    for (const auto& input : {"n\n", "y\n", ""}) {
        const auto run = norvane({"remove", "scripted"}, {.standardInput = input});
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.err, "norvane: Not removing scripted: no terminal to confirm on; run with --yes to remove it\n");
    }
    EXPECT_NE(storedProject("scripted"), nullptr);
}

constexpr const char* terminalDrivers[] = {"\x1b", "\x07", "\u202E", "\u2066", "\u200B"};

/// Whether `text` holds a byte that a terminal acts on (ESC starts its sequences, BEL ends some),
/// or a character that reverses or hides what follows it.
bool drivesTheTerminal(const std::string& text) {
    return std::any_of(std::begin(terminalDrivers), std::end(terminalDrivers),
                       [&text](const char* driver) { return text.find(driver) != std::string::npos; });
}

// The joiners and selectors of an emoji are what the user typed to get it.
TEST_F(ProjectCommands, EmojiNamesAreListedAsTyped) {
    TemporaryFolder love;
    TemporaryFolder family;
    addProject("love\u2764\uFE0F", love.path());
    addProject("fam\U0001F468\u200D\U0001F469\u200D\U0001F467", family.path());

    const auto list = norvane({"list"});

    EXPECT_THAT(list.out, HasSubstr("\nfam\U0001F468\u200D\U0001F469\u200D\U0001F467  active"));
    EXPECT_THAT(list.out, HasSubstr("\nlove\u2764\uFE0F"));
}

// Every line, as a terminal or the daily agent's log receives it.
TEST_F(ProjectCommands, NamesPathsAndMessagesReachTheOutputWithControlAndInvisibleCharactersEscaped) {
    TemporaryFolder parent;
    const auto folder = parent.path() / "dir\x1b[2J\u2066";
    std::filesystem::create_directory(folder);
    const std::string name = "ctl\x1b[31mred\x07\u202Etxt.exe";
    const std::string shownName = "ctl\\x1b[31mred\\x07\\u202etxt.exe";
    const std::string shownFolder = (parent.path() / "dir\\x1b[2J\\u2066").string();
    std::vector<CliRun> runs;

    runs.push_back(norvane({"add", name, folder.string()}));
    EXPECT_THAT(runs.back().out, HasSubstr("Adding " + shownName + " (" + shownFolder + ")\n"));
    runs.push_back(norvane({"list"}));
    EXPECT_EQ(lineCount(runs.back().out), 2u);
    EXPECT_THAT(runs.back().out, HasSubstr(shownName + "  active"));
    runs.push_back(norvane({"collect", "x\x1b]0;pwned\x07y\u200B"}));
    EXPECT_EQ(runs.back().err, "norvane: Project not found: x\\x1b]0;pwned\\x07y\\u200b\n");
    runs.push_back(norvane({"collect"}));
    EXPECT_THAT(runs.back().out, HasSubstr(shownName + ": 0 code lines"));
    runs.push_back(norvane({"history", name}));
    runs.push_back(norvane({"archive", name}));
    EXPECT_EQ(runs.back().out, "Archived " + shownName + "\n");
    std::filesystem::remove(folder);
    runs.push_back(norvane({"collect", name}));
    EXPECT_THAT(runs.back().err, HasSubstr(shownFolder));
    runs.push_back(norvane({"remove", name, "--yes"}));
    EXPECT_EQ(runs.back().out, "Removed " + shownName + "\n");
    runs.push_back(norvane({"frobnicate\x1b[2J\u202E"}));
    EXPECT_THAT(runs.back().err, HasSubstr("Unknown command: frobnicate\\x1b[2J\\u202e\n"));
    runs.push_back(norvane({"history", "x", "--interval", "\u202E7"}));
    EXPECT_EQ(runs.back().status, 2);

    for (const auto& run : runs) {
        EXPECT_FALSE(drivesTheTerminal(run.out)) << run.out;
        EXPECT_FALSE(drivesTheTerminal(run.err)) << run.err;
    }
}

} // namespace
} // namespace norvane::testing
