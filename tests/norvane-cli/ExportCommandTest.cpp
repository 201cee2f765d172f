#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/LocalDate.h"

#include "core/models/AppSettings.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/Project.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

namespace norvane::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

const json* findByField(const json& list, const std::string& key, const json& value) {
    for (const auto& item : list) {
        if (item.at(key) == value) return &item;
    }
    return nullptr;
}

/// Expects every key of `expected` in `object`, with the same value.
void expectFields(const json& object, const json& expected) {
    for (const auto& [key, value] : expected.items()) {
        EXPECT_EQ(object.contains(key) ? object.at(key) : json("(missing)"), value) << key;
    }
}

class ExportCommand : public CliTest {
protected:
    /// A portfolio row and settings, written the way the application writes them, through a
    /// container that stays open while the tool runs.
    void storeApplicationRecords() {
        auto row = DailyPortfolioSnapshot::create(utc("2024-02-20T12:00:00Z"));
        row->totalCommits = 4;
        row->setActiveProjects({"demo", "other"});
        auto settings = AppSettings::defaults();
        settings->averageWage = 120000;
        settings->headcount = 3;
        application->insert(row);
        application->insert(settings);
        application->save();
    }

    std::shared_ptr<platform::ModelContext> application = openStore();
    TemporaryFolder destination;
};

TEST_F(ExportCommand, WritesEveryRecordAsSortedPrettyJson) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    ASSERT_EQ(norvane({"collect"}).status, 0);
    storeApplicationRecords();
    const auto file = destination.path() / "my export.json";

    const auto run = norvane({"export", "-o", file.string()});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Exported all data to " + file.string() + "\n");
    EXPECT_EQ(folderEntries(destination.path()), std::vector<std::string>{"my export.json"});
    const auto text = readFile(file);
    const auto document = json::parse(text);
    EXPECT_EQ(text, document.dump(2) + "\n") << "keys sorted, two-space indent";

    EXPECT_EQ(document.at("version"), "0.1.0");
    EXPECT_TRUE(platform::Iso8601::parse(document.at("exportedAt").get<std::string>()));
    ASSERT_EQ(document.at("projects").size(), 1u);
    const auto& project = document.at("projects").at(0);
    expectFields(project, {{"name", "demo"},
                           {"path", repository->pathString()},
                           {"projectType", "organic"},
                           {"projectDescription", nullptr},
                           {"firstCommitAt", "2024-01-10T12:00:00Z"}});

    const auto& snapshots = project.at("snapshots");
    ASSERT_EQ(snapshots.size(), 5u) << "three history points and two code counts";
    expectFields(snapshots.at(0), {{"snapshotType", "gitHistory"},
                                   {"capturedAt", "2024-01-10T12:00:00Z"},
                                   {"latestCommitMessage", "Initial commit"}});
    expectFields(snapshots.at(4), {{"snapshotType", "scc"}, {"codeLines", 10}});
    const auto* cpp = findByField(snapshots.at(4).at("languages"), "language", "C++");
    ASSERT_NE(cpp, nullptr) << snapshots.at(4).dump(2);
    expectFields(*cpp, {{"code", 8}, {"files", 2}, {"category", "code"}});

    ASSERT_EQ(project.at("dailyActivities").size(), 3u) << "the two days of 2024 that add imported, and today";
    expectFields(project.at("dailyActivities").at(0),
                 {{"date", platform::Iso8601::formatLocalDay(utc("2024-01-10T12:00:00Z"))}, {"commitCount", 1}});
    expectFields(project.at("dailyActivities").at(2),
                 {{"date", platform::Iso8601::formatLocalDay(platform::currentDate())}, {"commitCount", 1}});
    const auto* claude = findByField(document.at("modelDailyActivities"), "model", "claude");
    ASSERT_NE(claude, nullptr) << document.at("modelDailyActivities").dump(2);
    expectFields(*claude, {{"projectId", project.at("id")}, {"commitCount", 1}});

    ASSERT_EQ(document.at("dailyPortfolioSnapshots").size(), 1u);
    expectFields(document.at("dailyPortfolioSnapshots").at(0),
                 {{"date", platform::Iso8601::formatLocalDay(utc("2024-02-20T12:00:00Z"))},
                  {"activeProjectNames", json::array({"demo", "other"})},
                  {"totalCommits", 4}});
    expectFields(document.at("settings"), {{"averageWage", 120000.0}, {"headcount", 3}, {"peakThroughput", nullptr}});
}

TEST_F(ExportCommand, AnEmptyStoreExportsEmptyListsAndNoSettings) {
    const auto file = destination.path() / "empty.json";
    ASSERT_EQ(norvane({"export", "--output", file.string()}).status, 0);

    expectFields(json::parse(readFile(file)), {{"projects", json::array()},
                                               {"modelDailyActivities", json::array()},
                                               {"dailyPortfolioSnapshots", json::array()},
                                               {"settings", nullptr}});
}

TEST_F(ExportCommand, AnUnwritablePathFailsWithOneLineAndWritesNothing) {
    const auto missing = destination.path() / "no-such-folder" / "export.json";
    const auto intoMissing = norvane({"export", "-o", missing.string()});
    EXPECT_NE(intoMissing.status, 0);
    EXPECT_EQ(intoMissing.err, "norvane: Cannot write " + missing.string() + ": No such file or directory\n");
    EXPECT_EQ(intoMissing.out, "");

    const auto folder = destination.path() / "a folder";
    std::filesystem::create_directory(folder);
    const auto ontoFolder = norvane({"export", "-o", folder.string()});
    EXPECT_NE(ontoFolder.status, 0);
    EXPECT_THAT(ontoFolder.err, HasSubstr("norvane: Cannot write " + folder.string() + ": "));
    EXPECT_EQ(lineCount(ontoFolder.err), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(folderEntries(destination.path()), std::vector<std::string>{"a folder"});
}

TEST_F(ExportCommand, WritesThroughALinkToStandardOutputAndNeverOverAnythingButAFile) {
    TemporaryFolder folder;
    addProject("demo", folder.path());
    const auto target = destination.writeFile("target.json", "old");
    const auto link = destination.path() / "link.json";
    std::filesystem::create_symlink("target.json", link);

    ASSERT_EQ(norvane({"export", "-o", link.string()}).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(json::parse(readFile(target)).at("projects").at(0).at("name"), "demo");

    const auto toStandardOutput = norvane({"export", "-o", "-"});
    ASSERT_EQ(toStandardOutput.status, 0);
    EXPECT_EQ(json::parse(toStandardOutput.out).at("projects").at(0).at("name"), "demo");
    EXPECT_FALSE(std::filesystem::exists("-"));

    const auto fifo = destination.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto ontoFifo = norvane({"export", "-o", fifo.string()});
    EXPECT_NE(ontoFifo.status, 0);
    EXPECT_EQ(ontoFifo.err, "norvane: Cannot write " + fifo.string() + ": it is not a regular file\n");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(ExportCommand, RefusesEveryWayOntoTheStoreAndItsSideFilesAndLeavesThemAsTheyWere) {
    TemporaryFolder folder;
    addProject("demo", folder.path());
    const auto store = storeFile();
    const auto storeFolder = store.parent_path();
    std::filesystem::create_symlink(store, destination.path() / "store link");
    std::filesystem::create_hard_link(store, destination.path() / "store hard link");
    std::filesystem::create_directory_symlink(storeFolder, destination.path() / "data");
    const auto sideFilesBefore = folderEntries(storeFolder);
    const std::vector<std::filesystem::path> ontoStore{
        store,
        destination.path() / "store link",
        destination.path() / "store hard link",
        storeFolder / ".." / storeFolder.filename() / "norvane.store",
        destination.path() / "data" / "norvane.store-wal",
        destination.path() / "data" / "norvane.store-shm",
        destination.path() / "data" / "norvane.store-journal",
    };

    for (const auto& path : ontoStore) {
        const auto run = norvane({"export", "-o", path.string()});
        EXPECT_NE(run.status, 0) << path;
        EXPECT_EQ(run.err, "norvane: Cannot write " + path.string() + ": it would overwrite the Norvane store (" +
                               store.string() + "); choose another file\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(readFile(store).substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(folderEntries(storeFolder), sideFilesBefore);
    EXPECT_NE(storedProject("demo"), nullptr);
    EXPECT_EQ(norvane({"export", "-o", (destination.path() / "data" / "beside the store.json").string()}).status, 0);
}

TEST_F(ExportCommand, ALeadingTildeIsTheHomeFolderAsForAdd) {
    const auto run = norvane({"export", "-o", "~/export.json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto written = home.path() / "export.json";
    EXPECT_EQ(run.out, "Exported all data to " + written.string() + "\n");
    EXPECT_EQ(json::parse(readFile(written)).at("projects"), json::array());
}

TEST_F(ExportCommand, AnEmptyFileNameIsAUsageError) {
    const auto run = norvane({"export", "-o", ""});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "norvane: --output: needs a file name, or - for standard output\n"
                       "Usage: norvane export [OPTIONS]\nRun with --help for more information.\n");
}

} // namespace
} // namespace norvane::testing
