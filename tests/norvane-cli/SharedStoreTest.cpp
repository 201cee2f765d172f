#include "tests/core/collection/GitLoggedDays.h"
#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/OwnFileSystems.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreHolder.h"
#include "tests/support/StoreIntegrity.h"

#include "core/models/BookedHistory.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"

#include "platform/LocalCalendar.h"
#include "platform/persistence/StoreSideFiles.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <set>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <future>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

namespace norvane::testing {
namespace {

using ::testing::AnyOf;
using ::testing::Each;
using ::testing::Eq;
using ::testing::HasSubstr;

/// Holds the store's write lock, as a long save of another process does, until it goes away.
class WriteLock {
public:
    explicit WriteLock(const std::filesystem::path& file) {
        sqlite3_open(file.c_str(), &connection_);
        sqlite3_exec(connection_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    ~WriteLock() { release(); }
    void release() {
        sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(connection_);
        connection_ = nullptr;
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    sqlite3* connection_ = nullptr;
};

/// A code counter, first on PATH as "scc", that notes each start and then waits until the test
/// lets it count: a run whose count has started has read the projects it collects.
class HeldCounter {
public:
    HeldCounter() : gate_(::open((folder_.path() / "gate").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        flock(gate_, LOCK_EX);
        const auto script =
            folder_.writeFile("scc", "#!/bin/sh\necho started >> '" + starts().string() + "'\nflock -s '" +
                                         (folder_.path() / "gate").string() + "' true\nexec '" +
                                         builtProgram("norvane-count").string() + "' \"$@\"\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    ~HeldCounter() { release(); }
    HeldCounter(const HeldCounter&) = delete;
    HeldCounter& operator=(const HeldCounter&) = delete;

    CliRunOptions options() const {
        return {.environment = {{"PATH", folder_.path().string() + ":" + std::getenv("PATH")}}};
    }
    /// Waits until the counter has started `count` times.
    bool waitForStarts(std::size_t count) const {
        return waitUntil([&] { return lineCount(readFile(starts())) >= count; });
    }
    /// Lets every run count, those waiting and those to come.
    void release() {
        if (gate_ >= 0) ::close(std::exchange(gate_, -1));
    }

private:
    std::filesystem::path starts() const { return folder_.path() / "starts"; }

    TemporaryFolder folder_;
    int gate_;
};

/// The runs of the tool that this process started and that sleep now, as SQLite's busy handler
/// does between its tries for a lock that another connection holds.
std::set<pid_t> runsWaitingForALock() {
    std::set<pid_t> waiting;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        // "PID (COMMAND) STATE PPID ..."
        const std::string stat = readFile(entry.path() / "stat");
        const auto commandEnd = stat.rfind(") ");
        if (commandEnd == std::string::npos || stat.find("(norvane)") == std::string::npos) continue;
        char state = 0;
        pid_t parent = 0;
        std::istringstream(stat.substr(commandEnd + 2)) >> state >> parent;
        const auto run = static_cast<pid_t>(std::stoi(name));
        if (parent == getpid() && isSleeping(run)) waiting.insert(run);
    }
    return waiting;
}

/// How often the threads of the process have given up the processor of their own accord, as each
/// pause between two tries does; 0 once the process is gone.
long voluntarySwitches(pid_t process) {
    long switches = 0;
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/task", gone)) {
        std::istringstream status(readFile(task.path() / "status"));
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("voluntary_ctxt_switches:")) switches += std::stol(line.substr(line.find(':') + 1));
        }
    }
    return switches;
}

/// The README's lines that make a backup of the store, as a shell runs them, with BACKUP named `backup`:
/// the indented block that holds SQLite's `.backup`.
std::string readmeBackupLines(const std::string& backup) {
    std::istringstream readme(readFile(NORVANE_README));
    std::string block;
    for (std::string line; std::getline(readme, line);) {
        if (!line.starts_with("    ")) {
            if (block.find(".backup") != std::string::npos) break;
            block.clear();
            continue;
        }
        block += line.substr(4) + "\n";
    }
    EXPECT_NE(block.find(".backup"), std::string::npos) << "the README says how to make a backup";
    for (std::size_t at; (at = block.find("BACKUP")) != std::string::npos;) block.replace(at, 6, backup);
    return block;
}

/// The names of the projects in the store `file`.
std::vector<std::string> projectsIn(const std::filesystem::path& file) {
    std::vector<std::string> names;
    for (const auto& project : platform::ModelContext(NorvaneDatabase::makeContainer(file)).fetch<Project>()) {
        names.push_back(project->name);
    }
    return names;
}

/// Gives the store the schema version `version`, as an earlier version of the program left it.
void markStoreOfSchema(const std::string& version) {
    sqlite3* store = nullptr;
    ASSERT_EQ(sqlite3_open(NorvaneDatabase::containerURL().c_str(), &store), SQLITE_OK);
    const auto update = "UPDATE norvane_metadata SET value = '" + version + "' WHERE key = 'schemaVersion'";
    EXPECT_EQ(sqlite3_exec(store, update.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(store);
}

/// A process stopped (SIGSTOP) in its turn at the store's folder, as Ctrl-Z or a debugger stops a
/// program as it opens the store, until it is ended.
class StoppedInItsTurn {
public:
    explicit StoppedInItsTurn(const std::filesystem::path& store) {
        int holding[2];
        EXPECT_EQ(pipe(holding), 0);
        process_ = fork();
        if (process_ == 0) {
            const platform::StoreSideFiles::Turn turn(store);
            [[maybe_unused]] const auto written = write(holding[1], "t", 1);
            raise(SIGSTOP);
            _exit(0);
        }
        char byte = 0;
        EXPECT_EQ(read(holding[0], &byte, 1), 1) << "the process took its turn";
        close(holding[0]);
        close(holding[1]);
    }
    ~StoppedInItsTurn() { end(); }
    StoppedInItsTurn(const StoppedInItsTurn&) = delete;
    StoppedInItsTurn& operator=(const StoppedInItsTurn&) = delete;

    void end() {
        if (process_ <= 0) return;
        kill(process_, SIGKILL);
        waitpid(process_, nullptr, 0);
        process_ = -1;
    }

private:
    pid_t process_ = -1;
};

/// Several processes that share one store file: the tool run several times at once, with a held
/// code counter or a held write lock to make their steps overlap.
class SharedStore : public CliTest {
protected:
    /// Runs `norvane` with each list of arguments at once; the runs in the same order.
    std::vector<CliRun> atOnce(const std::vector<std::vector<std::string>>& runs, const CliRunOptions& options = {}) {
        std::vector<CliRun> results(runs.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            threads.emplace_back([&, i] { results[i] = norvane(runs[i], options); });
        }
        for (auto& thread : threads) thread.join();
        return results;
    }

    /// Runs them at once while the store's write lock is held until every run has read what it
    /// needs and waits to write.
    std::vector<CliRun> atOnceBehindALock(const std::vector<std::vector<std::string>>& runs) {
        WriteLock lock(storeFile());
        auto finished = std::async(std::launch::async, [&] { return atOnce(runs); });
        std::set<pid_t> waiting;
        EXPECT_TRUE(waitUntil([&] {
            waiting.merge(runsWaitingForALock());
            return waiting.size() == runs.size();
        })) << waiting.size()
            << " of the runs waited for the lock";
        lock.release();
        return finished.get();
    }

    /// Runs them at once with a held counter, which lets them count once all have started.
    std::vector<CliRun> atOnceCountingTogether(const std::vector<std::vector<std::string>>& runs) {
        HeldCounter counter;
        auto finished = std::async(std::launch::async, [&] { return atOnce(runs, counter.options()); });
        EXPECT_TRUE(counter.waitForStarts(runs.size()));
        counter.release();
        return finished.get();
    }

    /// One way for the store to leave its path while a run uses it, the sentence that the run then
    /// ends with, and what is left in the store's folder.
    struct Leaving {
        std::function<void()> leave;
        std::string sentence;
        std::vector<std::string> entriesLeft;
    };

    /// Replaced by `other` renamed over it, deleted, and moved to `moved`.
    static std::vector<Leaving> waysToLeave(const std::filesystem::path& other, const std::filesystem::path& moved) {
        return {
            {[other] { std::filesystem::rename(other, storeFile()); },
             "was replaced by another file while this change was made; nothing was saved",
             {"norvane.store"}},
            {[] { std::filesystem::remove(storeFile()); }, "was deleted while it was in use", {}},
            {[moved] { std::filesystem::rename(storeFile(), moved); },
             "was moved to " + moved.string() + " while it was in use",
             {}},
        };
    }

    /// Empties the store's folder and puts a copy of `kept` at the store's path.
    static void putBack(const std::filesystem::path& kept) {
        const auto folder = storeFile().parent_path();
        for (const auto& entry : folderEntries(folder)) std::filesystem::remove(folder / entry);
        std::filesystem::copy_file(kept, storeFile());
    }

    /// Starts `norvane` in the background; calling the result waits for it.
    std::function<CliRun()> inBackground(std::vector<std::string> arguments, CliRunOptions options) {
        auto run = std::make_shared<CliRun>();
        auto thread =
            std::make_shared<std::thread>([this, run, arguments, options] { *run = norvane(arguments, options); });
        return [run, thread] {
            thread->join();
            return *run;
        };
    }

    /// The same, with its standard error written to `errors` and its process id to `errors` with
    /// ".pid" added.
    std::function<CliRun()> inBackgroundSayingTo(std::vector<std::string> arguments,
                                                 const std::filesystem::path& errors) {
        return inBackground(
            std::move(arguments),
            {.environment = {{"ERRORS", errors.string()}},
             .launcher = {"/bin/sh", "-c", "echo $$ >\"$ERRORS.pid\"; exec \"$@\" 2>\"$ERRORS\"", "sh"}});
    }

    TemporaryFolder tools;
};

TEST_F(SharedStore, ACollectionKeepsWhatAnotherProcessChangedMeanwhile) {
    const auto alpha = makeRepository();
    const auto zeta = makeRepository();
    addProject("alpha", alpha->path());
    addProject("zeta", zeta->path());

    HeldCounter counter;
    auto collect = inBackground({"collect"}, counter.options());
    EXPECT_TRUE(counter.waitForStarts(1));
    EXPECT_EQ(norvane({"archive", "alpha"}).status, 0);
    EXPECT_EQ(norvane({"archive", "zeta"}).status, 0);
    counter.release();
    const auto collected = collect();

    EXPECT_EQ(collected.status, 0) << collected.err;
    EXPECT_EQ(storedProject("alpha")->status, ProjectStatus::archived);
    EXPECT_EQ(storedProject("zeta")->status, ProjectStatus::archived);
    EXPECT_EQ(storedSnapshots("zeta", "scc"), 2u);
}

// The daily run's collection of every project, while the user removes two of them: one while it is
// counted, one before its turn. That is no failure of the collection.
TEST_F(SharedStore, ProjectsRemovedDuringACollectionStayRemovedAndTheRunStillSucceeds) {
    const auto alpha = makeRepository();
    const auto kept = makeRepository();
    const auto zeta = makeRepository();
    TemporaryFolder omegaFolder;
    addProject("alpha", alpha->path());
    addProject("kept", kept->path());
    addProject("zeta", zeta->path());

    HeldCounter counter;
    auto collect = inBackground({"collect"}, counter.options());
    EXPECT_TRUE(counter.waitForStarts(1)) << "alpha is being counted";
    EXPECT_EQ(norvane({"remove", "alpha", "--yes"}).status, 0);
    EXPECT_EQ(norvane({"remove", "zeta", "--yes"}).status, 0);
    addProject("omega", omegaFolder.path());
    counter.release();
    const auto collected = collect();

    EXPECT_EQ(collected.status, 0) << collected.err;
    EXPECT_EQ(collected.err, "");
    EXPECT_THAT(collected.out, HasSubstr("alpha: removed while it was collected; nothing stored\n"));
    EXPECT_THAT(collected.out, HasSubstr("kept: 10 code lines"));
    EXPECT_THAT(collected.out, HasSubstr("zeta: removed while it was collected; nothing stored\n"));
    std::vector<std::string> names;
    for (const auto& project : stored<Project>()) names.push_back(project->name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "omega"}));
    EXPECT_EQ(storedProject("omega")->path, omegaFolder.path().string());
    EXPECT_EQ(storedSnapshots("kept", "scc"), 2u);
    EXPECT_EQ(storedSnapshots("omega", "scc"), 1u) << "omega's own count only";
    for (const auto& row : stored<DailyActivity>()) EXPECT_EQ(row->project->name, "kept");
}

TEST_F(SharedStore, ManyProcessesOpenANewStoreAtOnce) {
    for (int round = 0; round < 5; ++round) {
        // A collection of no projects sets the new store up, and does nothing else.
        for (const auto& run : atOnce(std::vector(8, std::vector<std::string>{"collect"}))) {
            EXPECT_EQ(run.err, "") << round;
        }
        for (const auto& suffix : {"", "-wal", "-shm"}) std::filesystem::remove(storeFile().string() + suffix);
    }
    TemporaryFolder folder;
    std::vector<std::vector<std::string>> adds;
    for (int i = 0; i < 6; ++i) adds.push_back({"add", fmt::format("p{}", i), folder.path().string()});
    for (const auto& run : atOnce(adds)) EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(stored<Project>().size(), 6u);
}

TEST_F(SharedStore, CollectionsOfOneProjectOnOneDayAllSucceedWithOneRowForTheDay) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    for (int round = 0; round < 3; ++round) {
        // Without the rows or what they were booked from, every collection books them whole.
        const auto context = openStore();
        for (const auto& row : context->fetch<DailyActivity>()) context->remove(row);
        for (const auto& booked : context->fetch<BookedHistory>()) context->remove(booked);
        context->save();
        for (const auto& run : atOnceCountingTogether(std::vector(8, std::vector<std::string>{"collect"}))) {
            EXPECT_EQ(run.status, 0) << run.err;
        }
        // One row for each of the repository's three days of commits, today's among them.
        std::set<platform::Date> days;
        for (const auto& row : stored<DailyActivity>()) EXPECT_TRUE(days.insert(row->date).second) << round;
        EXPECT_EQ(days.size(), 3u);
        EXPECT_TRUE(days.contains(today));
    }
}

// The daily agent and a terminal collect a project with a new commit at once: whichever saves
// second finds the commit booked, and books from what the store holds then.
TEST_F(SharedStore, TwoCollectionsOfOneProjectWithNewCommitsBothSucceedAndBookEachCommitOnce) {
    using Figures = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    for (int round = 0; round < 6; ++round) {
        repository->writeFile("src/round" + std::to_string(round) + ".cpp", std::string(round + 1, '\n'));
        repository->commit("Round " + std::to_string(round),
                           platform::LocalCalendar::addingDays(platform::currentDate(), -round));
        for (const auto& run : atOnceBehindALock({{"collect"}, {"collect", "demo"}})) {
            EXPECT_EQ(run.status, 0) << round;
            EXPECT_EQ(run.err, "") << round;
        }
        std::map<platform::Date, Figures> rows;
        for (const auto& row : stored<DailyActivity>()) {
            rows[row->date] = {row->commitCount, row->totalInsertions, row->totalDeletions, row->filesChanged};
        }
        std::map<platform::Date, Figures> logged;
        for (const auto& [day, figures] : loggedDays(*repository, {"HEAD"})) {
            logged[day] = {figures.commits, figures.insertions, figures.deletions,
                           static_cast<std::int64_t>(figures.files.size())};
        }
        EXPECT_EQ(rows, logged) << round;
    }
}

TEST_F(SharedStore, TheLosersOfAddsOfOneNameAreToldTheNameIsTaken) {
    TemporaryFolder folder;
    openStore();
    for (int round = 0; round < 4; ++round) {
        const auto name = "same" + std::to_string(round);
        int added = 0;
        for (const auto& run :
             atOnceBehindALock(std::vector(6, std::vector<std::string>{"add", name, folder.path().string()}))) {
            if (run.status == 0) {
                ++added;
            } else {
                EXPECT_EQ(run.err, "norvane: A project named '" + name + "' already exists\n");
            }
        }
        EXPECT_EQ(added, 1) << name;
    }
}

TEST_F(SharedStore, AnExportIsOneConsistentCopyWhileCollectionsRun) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const auto file = tools.path() / "export.json";
    std::atomic<bool> exporting = true;
    std::vector<std::thread> collections;
    for (int i = 0; i < 3; ++i) {
        collections.emplace_back([&] {
            while (exporting) norvane({"collect"});
        });
    }
    int countsWithoutLanguages = 0;
    for (int i = 0; i < 25; ++i) {
        norvane({"export", "-o", file.string()});
        const auto document = nlohmann::json::parse(readFile(file), nullptr, false);
        for (const auto& snapshot : document.at("projects").at(0).at("snapshots")) {
            countsWithoutLanguages += snapshot.at("snapshotType") == "scc" && snapshot.at("languages").empty() ? 1 : 0;
        }
    }
    exporting = false;
    for (auto& collection : collections) collection.join();
    EXPECT_EQ(countsWithoutLanguages, 0);
}

TEST_F(SharedStore, KillingAWriterLeavesAWholeStoreAndAWholeSeries) {
    GitTestRepository repository;
    for (int day = 0; day < 30; ++day) {
        repository.writeFile("main.c", "int day = " + std::to_string(day) + ";\n");
        repository.commit("Day " + std::to_string(day),
                          platform::LocalCalendar::addingDays(platform::currentDate(), day - 30));
    }
    addProject("demo", repository.path());
    const auto weekly = storedSnapshots("demo", "gitHistory");
    for (int round = 0; round < 9; ++round) {
        const std::vector<std::string> commands[] = {
            {"history", "demo"}, {"collect"}, {"add", "new", repository.pathString()}};
        const pid_t writer = start(commands[round % 3]);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 15 * round));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        norvane({"remove", "new", "--yes"});

        EXPECT_THAT(storedSnapshots("demo", "gitHistory"), AnyOf(Eq(weekly), Eq(30u))) << round;
        EXPECT_EQ(integrityOf(storeFile()), "ok") << round;
    }
}

// Found with `norvane history` on a large repository while its store was replaced, deleted or moved
// (its log past 1 MB): it said it had stored the history, and its log stayed at the path, where the
// store there was read with it. The application beside it follows the file meanwhile.
TEST_F(SharedStore, AHistoryImportWhoseStoreLeavesThePathMeanwhileFailsAndDamagesNoStore) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const auto demo = tools.path() / "demo.store";
    std::filesystem::copy_file(storeFile(), demo);
    TemporaryFolder elsewhere;
    norvane({"add", "other", repository->pathString()}, {.environment = {{"XDG_DATA_HOME", elsewhere.path()}}});
    const auto other = elsewhere.path() / "Norvane" / "norvane.store";
    const auto moved = tools.path() / "moved.store";
    const auto folder = storeFile().parent_path();
    const auto ways = waysToLeave(other, moved);
    for (const auto& way : ways) {
        putBack(demo);
        WriteLock lock(storeFile());
        auto application = NorvaneDatabase::makeContainerIfStored();
        auto history = inBackground({"history", "demo"}, {});
        EXPECT_TRUE(waitUntil([] { return !runsWaitingForALock().empty(); }));
        way.leave();
        application->checkForExternalChanges();
        lock.release();
        const auto run = history();
        application.reset();

        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_THAT(run.err, HasSubstr("The store " + storeFile().string() + " " + way.sentence));
        EXPECT_EQ(folderEntries(folder), way.entriesLeft);
        if (way.entriesLeft.empty()) continue;
        EXPECT_EQ(integrityOf(storeFile()), "ok");
        ASSERT_EQ(stored<Project>().size(), 1u);
        EXPECT_EQ(stored<Project>().front()->name, "other");
    }
    EXPECT_EQ(integrityOf(moved), "ok");
}

// Found with `norvane add` while its store was deleted, moved or replaced after the project's own row
// was saved: it said the store was replaced where it was deleted or moved, the project stayed in the
// moved file while the tool made an empty store at the path, and nothing said where it was.
TEST_F(SharedStore, AnAddWhoseStoreLeavesThePathSaysWhatBecameOfItAndMakesNoOther) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const auto demo = tools.path() / "demo.store";
    std::filesystem::copy_file(storeFile(), demo);
    const auto other = tools.path() / "other.store";
    const auto moved = tools.path() / "moved.store";
    const auto folder = storeFile().parent_path();
    const auto ways = waysToLeave(other, moved);
    for (const auto& way : ways) {
        putBack(demo);
        std::filesystem::copy_file(demo, other, std::filesystem::copy_options::overwrite_existing);
        HeldCounter counter;
        auto add = inBackground({"add", "late", repository->pathString()}, counter.options());
        EXPECT_TRUE(counter.waitForStarts(1)) << "the project's own row is saved";
        way.leave();
        counter.release();
        const auto run = add();

        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_THAT(run.err,
                    HasSubstr("The first collection of late failed, and it could not be taken back: The store " +
                              storeFile().string() + " " + way.sentence));
        EXPECT_EQ(folderEntries(folder), way.entriesLeft) << "no other store made at the path";
        if (!way.entriesLeft.empty()) {
            ASSERT_EQ(stored<Project>().size(), 1u);
            EXPECT_EQ(stored<Project>().front()->name, "demo");
        }
    }
    // The moved store holds the project, unfinished, where the message says.
    EXPECT_EQ(integrityOf(moved), "ok");
    EXPECT_EQ(projectsIn(moved), std::vector<std::string>({"demo", "late"}));
}

// Found with a plain SQLite reader (a database browser, a backup program) holding a read while
// `norvane archive` ran: the tool ended at once with the archive still in the log, and a backup
// copied over the store afterwards was read with it, archived.
TEST_F(SharedStore, AnArchiveBesideAReaderEndsWithAnEmptyLogOnceTheReaderLetsGo) {
    const auto repository = makeRepository();
    addProject("a", repository->path());
    const auto backup = tools.path() / "backup.store";
    std::filesystem::copy_file(storeFile(), backup);
    // Read-only, as such readers open it: their close neither copies the log in nor removes it.
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2(storeFile().c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM project", nullptr, nullptr, nullptr);
    auto archive = inBackground({"archive", "a"}, {});
    EXPECT_TRUE(waitUntil([] { return storedProject("a")->status == ProjectStatus::archived; }));
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    const auto run = archive();
    const auto log = std::filesystem::file_size(storeFile().string() + "-wal");
    sqlite3_close(reader);

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Archived a\n");
    EXPECT_EQ(log, 0U);
    std::filesystem::copy_file(backup, storeFile(), std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(integrityOf(storeFile()), "ok");
    EXPECT_EQ(storedProject("a")->status, ProjectStatus::active);
}

// Found with a program stopped (Ctrl-Z, a debugger) as it opened the store: every command waited
// 30 seconds for its turn at the store's folder in silence, then went on. The note comes after a
// second of waiting, which this test waits for: a turn otherwise takes a moment. Said at each try,
// it would fill a terminal with hundreds of lines a second.
TEST_F(SharedStore, ACommandThatWaitsForAStoppedProgramsTurnAtTheStoreSaysSoOnce) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    StoppedInItsTurn stopped(storeFile());
    const auto errors = tools.path() / "errors";
    auto list = inBackgroundSayingTo({"list"}, errors);
    const std::string note = "norvane: note: waiting for another program to finish opening or closing a store in " +
                             storeFile().parent_path().string() +
                             "; should it be stopped, this goes on without it after 15 seconds";
    EXPECT_EQ(waitForLine(errors), note);
    // Held for twenty more of the command's tries, each of which could say it again, unless it
    // went on without the holder first.
    const pid_t listing = std::stoi(readFile(errors.string() + ".pid"));
    const long tries = voluntarySwitches(listing);
    EXPECT_TRUE(waitUntil([&] {
        const long now = voluntarySwitches(listing);
        return now == 0 || now >= tries + 20;
    }));
    stopped.end();
    const auto run = list();

    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.out, HasSubstr("demo  active"));
    EXPECT_EQ(readFile(errors), note + "\n");
}

// Found with a program stopped in its turn all along: `list` said that it would go on without it after
// 15 seconds, and took 30, waiting 15 seconds at its opening and 15 more at its close; `archive` said
// "Archived" at 15 seconds and waited again. The command's turns wait 15 seconds in all: the note
// comes a second into that wait, so the command ends 14 seconds after it, and the time it works.
TEST_F(SharedStore, ACommandBesideAProgramStoppedInItsTurnGoesOnWithinTheTimeItsNoteSays) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    StoppedInItsTurn stopped(storeFile());
    const auto errors = tools.path() / "errors";
    auto archive = inBackgroundSayingTo({"archive", "demo"}, errors);
    const auto note = waitForLine(errors);
    const auto noted = std::chrono::steady_clock::now();
    const auto run = archive();
    const auto afterNote = std::chrono::steady_clock::now() - noted;
    stopped.end();

    EXPECT_EQ(note, "norvane: note: waiting for another program to finish opening or closing a store in " +
                        storeFile().parent_path().string() +
                        "; should it be stopped, this goes on without it after 15 seconds");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Archived demo\n");
    EXPECT_EQ(readFile(errors), note + "\n");
    EXPECT_EQ(storedProject("demo")->status, ProjectStatus::archived);
    // A second wait at the close would take 15 seconds more: 29 after the note.
    EXPECT_LT(afterNote, std::chrono::seconds(22));
}

// Found with the README's backup, `sqlite3 norvane.store ".backup BACKUP"`, beside a program that kept
// readers out: it failed with "database is locked" and left an empty BACKUP, which SQLite's
// integrity check calls ok. The README's lines leave BACKUP as it was when they fail.
TEST_F(SharedStore, TheReadmesBackupIsWholeOrLeavesBackupAsItWas) {
    const auto repository = makeRepository();
    addProject("demo", repository->path());
    const auto folder = storeFile().parent_path();
    const auto backUp = [this](const std::string& backup) {
        return norvane({}, {.launcher = {"/bin/sh", "-c", readmeBackupLines(backup), "sh"}});
    };
    const auto made = backUp("backup.store");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(integrityOf(folder / "backup.store"), "ok");
    EXPECT_EQ(projectsIn(folder / "backup.store"), std::vector<std::string>{"demo"});
    EXPECT_EQ(std::filesystem::status(folder / "backup.store").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const auto kept = readFile(folder / "backup.store");

    const StoreHolder alone(storeFile(), nullptr, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE");
    const auto before = folderEntries(folder);
    for (const auto* backup : {"backup.store", "new.store"}) {
        const auto refused = backUp(backup);
        EXPECT_EQ(refused.status, 1) << backup;
        EXPECT_THAT(refused.err, HasSubstr("database is locked")) << backup;
        EXPECT_EQ(folderEntries(folder), before) << backup << ": nothing left beside the store";
    }
    EXPECT_EQ(readFile(folder / "backup.store"), kept);
}

/// A store its owner may only read. Root may write any file, so under root the tool runs as nobody
/// over files handed to nobody.
class ReadOnlyStoreForTheTool : public SharedStore {
protected:
    static constexpr uid_t nobody = 65534;

    void SetUp() override {
        addProject("demo", project->path());
        if (geteuid() == 0) {
            for (const auto& tree : {home.path(), project->path()}) handToNobody(tree);
        }
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(storeFile().parent_path(), std::filesystem::perms::owner_all, ignored);
    }

    static void handToNobody(const std::filesystem::path& tree) {
        ASSERT_EQ(lchown(tree.c_str(), nobody, nobody), 0);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
            ASSERT_EQ(lchown(entry.path().c_str(), nobody, nobody), 0) << entry.path();
        }
    }

    /// Runs the tool as the store's owner.
    CliRun asOwner(const std::vector<std::string>& arguments) const {
        if (geteuid() != 0) return norvane(arguments);
        const auto id = std::to_string(nobody);
        return norvane(arguments,
                       {.launcher = {"/usr/bin/setpriv", "--reuid=" + id, "--regid=" + id, "--clear-groups", "--"}});
    }

    /// Lists and exports, refuses a change with a message that says why, and leaves no file behind.
    void expectReadableButNotWritable() {
        const auto before = folderEntries(storeFile().parent_path());
        EXPECT_THAT(asOwner({"list"}).out, HasSubstr("demo"));
        EXPECT_EQ(asOwner({"export", "-o", "-"}).status, 0);
        const auto archive = asOwner({"archive", "demo"});
        EXPECT_NE(archive.status, 0);
        EXPECT_THAT(archive.err, HasSubstr("The store " + storeFile().string() + " is read-only"));
        EXPECT_EQ(folderEntries(storeFile().parent_path()), before);
    }

    std::unique_ptr<GitTestRepository> project = makeRepository();
};

TEST_F(ReadOnlyStoreForTheTool, AFileThatMayOnlyBeReadIsListedAndExported) {
    std::filesystem::permissions(storeFile(), std::filesystem::perms::owner_read);
    expectReadableButNotWritable();
    std::filesystem::permissions(storeFile(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(asOwner({"archive", "demo"}).status, 0) << "nothing left behind blocks the owner";
}

TEST_F(ReadOnlyStoreForTheTool, AFolderThatMayOnlyBeReadIsListedAndExported) {
    std::filesystem::permissions(storeFile().parent_path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    expectReadableButNotWritable();
}

// An earlier version's store needs an upgrade before this version can read it, which a read-only
// store cannot take: it is refused with the reason, unchanged, and its owner's next run upgrades it.
TEST_F(ReadOnlyStoreForTheTool, AnEarlierVersionsStoreIsRefusedUntilItCanBeUpgraded) {
    markStoreOfSchema("1.0.0");
    std::filesystem::permissions(storeFile(), std::filesystem::perms::owner_read);
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"list"}, {"export", "-o", "-"}}) {
        const auto run = asOwner(arguments);
        EXPECT_EQ(run.status, 1) << arguments.front();
        EXPECT_EQ(run.err, "norvane: The store " + storeFile().string() +
                               " was written by an earlier version (schema 1.0.0) and cannot be brought up to date:"
                               " the file is not writable\n");
    }
    std::filesystem::permissions(storeFile(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_THAT(asOwner({"list"}).out, HasSubstr("demo"));
}

// Refused at once, not after the whole log was read and counted for nothing.
TEST_F(ReadOnlyStoreForTheTool, ACommandThatWouldChangeItIsRefusedBeforeItDoesAnyWork) {
    std::filesystem::permissions(storeFile(), std::filesystem::perms::owner_read);
    const std::vector<std::vector<std::string>> changes{
        {"history", "demo"}, {"collect"}, {"collect", "demo"}, {"add", "again", project->path().string()}};
    for (const auto& arguments : changes) {
        const auto run = asOwner(arguments);
        const auto where = ::testing::PrintToString(arguments);
        EXPECT_EQ(run.status, 1) << where;
        EXPECT_EQ(run.out, "") << where << ": nothing was read or counted";
        EXPECT_EQ(run.err, "norvane: The store " + storeFile().string() +
                               " is read-only (the file is not writable); nothing was changed\n")
            << where;
    }
}

/// The store on a disk with no room left: a small file system of the run's own, mounted in a user
/// and mount namespace (no root needed), that holds a copy of the store and a file filling the rest.
class StoreOnAFullDisk : public CliTest {
protected:
    static constexpr int cannotMount = 97;

    /// Runs the tool with the store on the full disk; `redirection` sends its standard output
    /// elsewhere, such as onto the full disk too.
    CliRun onFullDisk(const std::vector<std::string>& arguments, const std::string& redirection = "") const {
        return runOnFullDisk("exec \"$@\"" + redirection, arguments);
    }

    /// Runs the shell's `lines` with the store on the full disk, where "$@" is the tool with `arguments`.
    CliRun runOnFullDisk(const std::string& lines, const std::vector<std::string>& arguments = {}) const {
        const std::string script = "mount -t tmpfs -o size=1m tmpfs \"$FULL_DISK\" || exit 97\n"
                                   "mkdir \"$FULL_DISK/Norvane\" && cp \"$STORE\" \"$FULL_DISK/Norvane/\" || exit 97\n"
                                   "cat /dev/zero > \"$FULL_DISK/filler\" 2>/dev/null\n" +
                                   lines + "\n";
        return norvane(arguments, {.environment = {{"FULL_DISK", disk.path().string()},
                                                   {"STORE", storeFile().string()},
                                                   {"XDG_DATA_HOME", disk.path().string()}},
                                   .launcher = {"/usr/bin/unshare", "--user", "--map-root-user", "--mount", "--",
                                                "/bin/sh", "-c", script, "sh"}});
    }

    TemporaryFolder disk;
    TemporaryFolder elsewhere;
};

// Reading needs the file that readers share beside the store, which a full disk cannot take.
TEST_F(StoreOnAFullDisk, ListsAndExportsToAnotherDiskAndAChangeSaysWhyItFails) {
    const auto project = makeRepository();
    addProject("demo", project->path());
    const auto exported = elsewhere.path() / "export.json";

    if (!testing::mayMountOwnFileSystems()) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    const auto list = onFullDisk({"list"});
    if (list.status == cannotMount) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_THAT(list.out, HasSubstr("demo  active"));
    const auto exporting = onFullDisk({"export", "-o", exported.string()});
    EXPECT_EQ(exporting.status, 0) << exporting.err;
    EXPECT_EQ(nlohmann::json::parse(readFile(exported)).at("projects").at(0).at("name"), "demo");
    // `norvane export -o - > FILE` with FILE on the full disk.
    const auto cut = onFullDisk({"export", "-o", "-"}, " > \"$FULL_DISK/export.json\"");
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "norvane: Cannot write to standard output: No space left on device\n");

    const auto archive = onFullDisk({"archive", "demo"});
    EXPECT_NE(archive.status, 0);
    EXPECT_THAT(archive.err, HasSubstr("No space left on device"));
}

// Found bringing an earlier version's store up to date with 4 KB free: the shared memory file could
// not be grown, which the tool said as if the file could not be written at all. With 36 KB free the
// upgrade's own write failed, and the tool named the full disk.
TEST_F(StoreOnAFullDisk, AnEarlierVersionsStoreThatCannotBeBroughtUpToDateNamesTheFullDisk) {
    addProject("demo", makeRepository()->path());
    markStoreOfSchema("1.3.0");

    if (!testing::mayMountOwnFileSystems()) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    const auto list = onFullDisk({"list"});
    if (list.status == cannotMount) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.err, "norvane: The store " + (disk.path() / "Norvane/norvane.store").string() +
                            " was written by an earlier version (schema 1.3.0) and cannot be brought up to date: its "
                            "shared memory file cannot be written: the disk is full: No space left on device\n");
}

// Found with the README's backup on a full disk: it failed, and left a file of 98,304 bytes without
// tables at BACKUP, which SQLite's integrity check calls ok. The README's lines leave none.
TEST_F(StoreOnAFullDisk, TheReadmesBackupLeavesNoFile) {
    addProject("demo", makeRepository()->path());

    if (!testing::mayMountOwnFileSystems()) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    // The lines end in the store's folder, which goes with the run's file system: listed there.
    const auto backup = runOnFullDisk(readmeBackupLines("backup.store") + "made=$?\nls -A\nexit $made");
    if (backup.status == cannotMount) GTEST_SKIP() << "this system lets no one mount a file system of their own";
    EXPECT_EQ(backup.status, 1);
    EXPECT_THAT(backup.err, HasSubstr("Error: "));
    EXPECT_THAT(backup.out, HasSubstr("norvane.store\n"));
    EXPECT_THAT(backup.out, ::testing::Not(HasSubstr("backup.store")));
}

} // namespace
} // namespace norvane::testing
