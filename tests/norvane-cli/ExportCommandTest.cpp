#include "tests/norvane-cli/CliTestFixture.h"

#include "core/models/AppSettings.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/Project.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include <sys/stat.h>

namespace norvane::testing {
namespace {

using nlohmann::json;
using ::testing::HasSubstr;

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

const json* findByField(const json& list, const std::string& key, const json& value) {
    for (const auto& item : list) {
        if (item.at(key) == value) return &item;
    }
    return nullptr;
}

class ExportCommand : public CliTest {
protected:
    /// A portfolio row and settings, written the way the application writes them, through a
    /// container that stays open while the tool runs.
    void storeApplicationRecords() {
        auto row = DailyPortfolioSnapshot::create(platform::Iso8601::parse("2024-02-20T12:00:00Z").value());
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
    EXPECT_EQ(project.at("name"), "demo");
    EXPECT_EQ(project.at("path"), repository->pathString());
    EXPECT_EQ(project.at("projectType"), "organic");
    EXPECT_EQ(project.at("projectDescription"), nullptr);
    EXPECT_EQ(project.at("firstCommitAt"), "2024-01-10T12:00:00Z");

    const auto& snapshots = project.at("snapshots");
    ASSERT_EQ(snapshots.size(), 5u) << "three history points and two code counts";
    EXPECT_EQ(snapshots.at(0).at("snapshotType"), "gitHistory");
    EXPECT_EQ(snapshots.at(0).at("capturedAt"), "2024-01-10T12:00:00Z");
    EXPECT_EQ(snapshots.at(0).at("latestCommitMessage"), "Initial commit");
    const auto& count = snapshots.at(4);
    EXPECT_EQ(count.at("snapshotType"), "scc");
    EXPECT_EQ(count.at("codeLines"), 10);
    const auto* cpp = findByField(count.at("languages"), "language", "C++");
    ASSERT_NE(cpp, nullptr) << count.dump(2);
    EXPECT_EQ(cpp->at("code"), 8);
    EXPECT_EQ(cpp->at("files"), 2);
    EXPECT_EQ(cpp->at("category"), "code");

    const auto& activities = project.at("dailyActivities");
    ASSERT_EQ(activities.size(), 1u);
    EXPECT_EQ(activities.at(0).at("date"), platform::Iso8601::formatLocalDay(platform::currentDate()));
    EXPECT_EQ(activities.at(0).at("commitCount"), 1);

    const auto* claude = findByField(document.at("modelDailyActivities"), "model", "claude");
    ASSERT_NE(claude, nullptr) << document.at("modelDailyActivities").dump(2);
    EXPECT_EQ(claude->at("projectId"), project.at("id"));
    EXPECT_EQ(claude->at("commitCount"), 1);

    ASSERT_EQ(document.at("dailyPortfolioSnapshots").size(), 1u);
    const auto& portfolio = document.at("dailyPortfolioSnapshots").at(0);
    EXPECT_EQ(portfolio.at("date"),
              platform::Iso8601::formatLocalDay(platform::Iso8601::parse("2024-02-20T12:00:00Z").value()));
    EXPECT_EQ(portfolio.at("activeProjectNames"), json({"demo", "other"}));
    EXPECT_EQ(portfolio.at("totalCommits"), 4);
    EXPECT_EQ(document.at("settings").at("averageWage"), 120000.0);
    EXPECT_EQ(document.at("settings").at("headcount"), 3);
    EXPECT_EQ(document.at("settings").at("peakThroughput"), nullptr);
}

TEST_F(ExportCommand, AnEmptyStoreExportsEmptyListsAndNoSettings) {
    const auto file = destination.path() / "empty.json";
    ASSERT_EQ(norvane({"export", "--output", file.string()}).status, 0);

    const auto document = json::parse(readFile(file));
    EXPECT_EQ(document.at("projects"), json::array());
    EXPECT_EQ(document.at("modelDailyActivities"), json::array());
    EXPECT_EQ(document.at("dailyPortfolioSnapshots"), json::array());
    EXPECT_EQ(document.at("settings"), nullptr);
}

TEST_F(ExportCommand, ReplacesAnEarlierExportWhole) {
    const auto file = destination.path() / "export.json";
    std::ofstream(file) << std::string(100000, 'x');
    TemporaryFolder folder;
    addProject("demo", folder.path());

    ASSERT_EQ(norvane({"export", "-o", file.string()}).status, 0);

    EXPECT_EQ(json::parse(readFile(file)).at("projects").at(0).at("name"), "demo");
    EXPECT_EQ(folderEntries(destination.path()), std::vector<std::string>{"export.json"});
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

} // namespace
} // namespace norvane::testing
