#include "platform/persistence/ModelContainer.h"

#include "platform/FileDescriptor.h"
#include "platform/InterruptibleWaits.h"
#include "platform/NoWaits.h"
#include "platform/ProcessRunner.h"
#include "platform/persistence/ModelContext.h"
#include "platform/persistence/StoreError.h"
#include "platform/persistence/StoreSideFiles.h"
#include "tests/platform/persistence/TestRecords.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreHolder.h"
#include "tests/support/StoreIntegrity.h"
#include "tests/support/TemporaryFolder.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <string_view>
#include <thread>

namespace norvane::testing {
namespace {

using ::testing::HasSubstr;

std::shared_ptr<platform::ModelContainer> open(const std::filesystem::path& file) {
    return platform::ModelContainer::open(file, testSchema());
}

/// A SQLite hook's action: runs the std::function<void()> it is given once.
int runPendingAction(void* action) {
    if (auto pending = std::exchange(*static_cast<std::function<void()>*>(action), nullptr)) pending();
    return 0;
}

class ModelContainerTest : public ::testing::Test {
protected:
    std::filesystem::path storeWithAShelf() const {
        platform::ModelContext context(open(file));
        context.insert(Shelf::make("alpha"));
        context.save();
        return file;
    }

    TemporaryFolder folder;
    std::filesystem::path file = folder.path() / "test.store";
};

TEST_F(ModelContainerTest, RefusesAFileThatIsNotAStoreAndLeavesItAlone) {
    folder.writeFile("test.store", std::string(8192, 'x'));
    const auto message = errorMessageOf<platform::StoreError>([&] { open(file); });
    EXPECT_EQ(message, "The file " + file.string() + " is not a Norvane store: the file is not a database");
    EXPECT_EQ(readFile(file), std::string(8192, 'x'));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"test.store"});
}

/// Runs one statement on the store file through a connection of its own.
void execute(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(raw);
}

/// The stored schema version as SQL would write it: 'text', a blob, or none when there is no row.
std::string storedVersion(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(raw, "SELECT quote(value) FROM norvane_metadata WHERE key = 'schemaVersion'", -1, &query,
                       nullptr);
    const bool found = sqlite3_step(query) == SQLITE_ROW;
    std::string version = found ? reinterpret_cast<const char*>(sqlite3_column_text(query, 0)) : "none";
    sqlite3_finalize(query);
    sqlite3_close(raw);
    return version;
}

TEST_F(ModelContainerTest, RefusesNewerAndUnreadableSchemaVersionsAndNeverRewritesThem) {
    storeWithAShelf();
    const std::vector<std::pair<std::string, std::string>> refused{
        {"'2.0.0'", "newer version"},
        {"'1.0.1'", "newer version"},
        {"'1.0.0.1'", "cannot be read (\"1.0.0.1\")"},
        {"'99999999999999999999.0.0'", "cannot be read"},
        {"'garbage'", "cannot be read"},
        {"''", "cannot be read (\"\")"},
        {"'-1.0.0'", "cannot be read"},
        {"'+1.0.0'", "cannot be read"},
        {"' 1.0.0'", "cannot be read"},
        {"'1.0'", "cannot be read"},
        {"X'312E302E30'", "cannot be read (none)"},
    };
    for (const auto& [version, reason] : refused) {
        execute(file, "UPDATE norvane_metadata SET value = " + version + " WHERE key = 'schemaVersion'");
        const auto message = errorMessageOf<platform::StoreError>([&] { open(file); });
        EXPECT_THAT(message, HasSubstr(reason)) << version;
        EXPECT_THAT(message, HasSubstr(file.string()));
        EXPECT_EQ(storedVersion(file), version);
    }
    execute(file, "DELETE FROM norvane_metadata WHERE key = 'schemaVersion'");
    EXPECT_THAT(errorMessageOf<platform::StoreError>([&] { open(file); }), HasSubstr("cannot be read (none)"));
    EXPECT_EQ(storedVersion(file), "none");

    // An older version is brought up to date; the records stay.
    execute(file, "INSERT INTO norvane_metadata (key, value) VALUES ('schemaVersion', '0.9.12')");
    platform::ModelContext context(open(file));
    EXPECT_EQ(context.fetch<Shelf>().size(), 1U);
    EXPECT_EQ(storedVersion(file), "'1.0.0'");
}

// Programs of this version that find an older store at once, here while a reader keeps it open: one
// brings it up to date once the reader lets go, and the others, which waited too, find nothing to do
// though that one keeps the store open.
TEST_F(ModelContainerTest, ProgramsThatOpenAnOlderStoreAtOnceBringItUpToDateOnce) {
    storeWithAShelf();
    execute(file, "UPDATE norvane_metadata SET value = '0.9.12' WHERE key = 'schemaVersion'");
    auto counting = testSchema();
    counting.upgrade = [](platform::Database& database, const std::string&) {
        database.execute("INSERT INTO note (id, text) VALUES (randomblob(16), 'upgraded')");
    };
    const auto letGo = folder.path() / "let-go";
    StoreHolder reader(file, [&] {
        waitUntil([&] { return std::filesystem::exists(letGo); });
        return "let go as it read " + storedVersion(file);
    });
    int start[2];
    int opened[2];
    int end[2];
    ASSERT_EQ(pipe(start), 0);
    ASSERT_EQ(pipe(opened), 0);
    ASSERT_EQ(pipe(end), 0);
    std::vector<pid_t> programs;
    for (int index = 0; index < 4; ++index) {
        const pid_t program = fork();
        if (program == 0) {
            close(start[1]);
            close(end[1]);
            char byte = 0;
            [[maybe_unused]] auto done = read(start[0], &byte, 1);
            std::shared_ptr<platform::ModelContainer> container;
            try {
                container = platform::ModelContainer::open(file, counting);
            } catch (const std::exception& failure) {
                std::fprintf(stderr, "in the child process: %s\n", failure.what());
            }
            // Kept open until every program has opened the store.
            done = write(opened[1], container ? "o" : "x", 1);
            done = read(end[0], &byte, 1);
            _exit(container ? 0 : 1);
        }
        programs.push_back(program);
    }
    // Every program begins as the pipe closes, and waits for the reader.
    close(start[0]);
    close(start[1]);
    close(opened[1]);
    EXPECT_TRUE(waitUntil([&] { return std::all_of(programs.begin(), programs.end(), isSleeping); }));
    folder.writeFile("let-go", "");
    EXPECT_EQ(reader.verdict(), "let go as it read '0.9.12'");
    std::string said;
    for (char byte = 0; said.size() < programs.size() && read(opened[0], &byte, 1) == 1;) said += byte;
    EXPECT_EQ(said, "oooo");
    close(opened[0]);
    close(end[1]);
    for (const pid_t program : programs) waitpid(program, nullptr, 0);
    EXPECT_EQ(storedVersion(file), "'1.0.0'");
    EXPECT_EQ(platform::ModelContext(open(file)).fetch<Note>().size(), 1U);
}

TEST_F(ModelContainerTest, AFileSystemFailureAtOpenSaysWhatHappened) {
    storeWithAShelf();
    // The lock files cannot grow past the limit, as on a full disk.
    const int status = inChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto message = errorMessageOf<platform::StoreError>([&] { open(file); });
        if (message.find("File too large") == std::string::npos ||
            message.find("not a Norvane store") != std::string::npos) {
            throw std::runtime_error(message);
        }
        // Only to read, it needs no lock files.
        const auto reading =
            platform::ModelContainer::open(file, testSchema(), platform::ModelContainer::Intent::readOnly);
        if (platform::ModelContext(reading).fetch<Shelf>().size() != 1 || !reading->isReadOnly()) {
            throw std::runtime_error("not read");
        }
    });
    EXPECT_EQ(status, 0);
}

/// The names of the shelves in `file`, read over a connection of its own, as another program reads.
std::vector<std::string> shelvesIn(const std::filesystem::path& file) {
    std::vector<std::string> names;
    for (const auto& shelf : platform::ModelContext(open(file)).fetch<Shelf>()) names.push_back(shelf->name);
    return names;
}

/// A store of its own at `file` with one shelf, closed again.
void makeStore(const std::filesystem::path& file, const std::string& shelf) {
    platform::ModelContext context(open(file));
    context.insert(Shelf::make(shelf));
    context.save();
}

// Found with the application open: after its store's files were deleted and a new store made in
// their place, it kept reading the deleted file and saved a collection there, where nobody reads it.
TEST_F(ModelContainerTest, FollowsTheFileAtItsPathWhenItIsDeletedReplacedOrMoved) {
    auto container = open(file);
    platform::ModelContext context(container);
    const auto shelves = [&] {
        std::vector<std::string> names;
        for (const auto& shelf : context.fetch<Shelf>()) names.push_back(shelf->name);
        return names;
    };
    context.insert(Shelf::make("alpha"));
    context.save();
    EXPECT_FALSE(container->checkForExternalChanges());

    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    makeStore(file, "beta");
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_EQ(shelves(), std::vector<std::string>{"beta"});
    context.insert(Shelf::make("gamma"));
    context.save();
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>({"beta", "gamma"}));

    // Another store copied into its place, as a copy to a temporary name and a rename make it.
    makeStore(folder.path() / "copy.store", "delta");
    std::filesystem::rename(folder.path() / "copy.store", file);
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>{"delta"}) << "read with the log of the file before";
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_EQ(shelves(), std::vector<std::string>{"delta"});

    // Moved away, it keeps all it holds, and the path has a new store.
    context.insert(Shelf::make("epsilon"));
    context.save();
    std::filesystem::rename(file, folder.path() / "moved.store");
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_TRUE(shelves().empty());
    EXPECT_EQ(shelvesIn(folder.path() / "moved.store"), std::vector<std::string>({"delta", "epsilon"}));

    // No store at the path: every use says why, until one is there.
    folder.writeFile("other", std::string(8192, 'x'));
    std::filesystem::rename(folder.path() / "other", file);
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_THAT(errorMessageOf<platform::StoreError>([&] { shelves(); }), HasSubstr("is not a Norvane store"));
    EXPECT_FALSE(container->checkForExternalChanges()) << "told once";
    std::filesystem::rename(folder.path() / "moved.store", file);
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_EQ(shelves(), std::vector<std::string>({"delta", "epsilon"}));
}

// Found with the window open while the store's folder was deleted: the folder went as the window made
// the store in it again, and the window said it could not open the store until its next check.
TEST_F(ModelContainerTest, AFolderDeletedAsTheStoreIsMadeAgainIsMadeOnceMore) {
    const auto storeFolder = folder.path() / "Norvane";
    const auto inFolder = storeFolder / "test.store";
    bool deleteAsMade = false;
    auto container = platform::ModelContainer::open(
        inFolder, testSchema(), platform::ModelContainer::Intent::readAndWrite, [&](const std::filesystem::path&) {
            std::filesystem::create_directories(storeFolder);
            if (std::exchange(deleteAsMade, false)) std::filesystem::remove_all(storeFolder);
        });
    platform::ModelContext context(container);
    context.insert(Shelf::make("alpha"));
    context.save();

    std::filesystem::remove_all(storeFolder);
    deleteAsMade = true;
    EXPECT_TRUE(context.fetch<Shelf>().empty());
    EXPECT_FALSE(container->openingFailure());
    context.insert(Shelf::make("beta"));
    context.save();
    EXPECT_EQ(shelvesIn(inFolder), std::vector<std::string>{"beta"});
}

// Found with `norvane history` while another store was renamed over its file: it said it had stored
// the history, and the file's log stayed at the path, where the other store was read with it.
TEST_F(ModelContainerTest, AWriteWhoseFileLeavesThePathFailsAndLeavesNothingOfThatFileThere) {
    const auto other = folder.path() / "other.store";
    const auto moved = folder.path() / "moved.store";
    struct Leaving {
        std::string how;
        std::function<void()> leave;
        std::vector<std::string> entriesLeft;
        std::filesystem::path whole;
    };
    const std::vector<Leaving> ways{
        {"replaced", [&] { std::filesystem::rename(other, file); }, {"test.store"}, file},
        {"deleted", [&] { std::filesystem::remove(file); }, {"other.store"}, other},
        {"moved", [&] { std::filesystem::rename(file, moved); }, {"moved.store", "other.store"}, moved},
    };
    // The log is emptied by the one checkpoint that a save runs once it has committed.
    const auto onCheckpoint = [](unsigned, void* action, void* statement, void*) {
        const char* text = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
        return std::string_view(text ? text : "").find("wal_checkpoint") == std::string_view::npos
                   ? 0
                   : runPendingAction(action);
    };
    enum class Moment { beforeCommit, asItCommits, asItsLogIsEmptied };
    constexpr std::array momentNames{" before it commits", " as it commits", " as its log is emptied"};
    for (const auto moment : {Moment::beforeCommit, Moment::asItCommits, Moment::asItsLogIsEmptied}) {
        for (const auto& way : ways) {
            const bool committed = moment != Moment::beforeCommit;
            SCOPED_TRACE(way.how + momentNames[int(moment)]);
            for (const auto& entry : folderEntries(folder.path())) std::filesystem::remove(folder.path() / entry);
            makeStore(file, "alpha");
            makeStore(other, "other");
            auto container = open(file);
            platform::ModelContext context(container);
            context.insert(Shelf::make("beta"));
            auto leave = way.leave;
            container->withDatabase([&](platform::Database& database) {
                if (moment == Moment::asItCommits) sqlite3_commit_hook(database.handle(), runPendingAction, &leave);
                if (moment == Moment::asItsLogIsEmptied) {
                    sqlite3_trace_v2(database.handle(), SQLITE_TRACE_STMT, onCheckpoint, &leave);
                }
            });

            const auto message = errorMessageOf<platform::StoreMovedError>(
                [&] { context.save(committed ? std::function<void()>([] {}) : leave); });
            const std::map<std::string, std::string> sentences{
                {"replaced", " was replaced by another file while this change was made; nothing was saved"},
                {"deleted", " was deleted while it was in use"},
                {"moved", " was moved to " + moved.string() + " while it was in use"},
            };
            EXPECT_EQ(message, "The store " + file.string() + sentences.at(way.how));
            EXPECT_EQ(folderEntries(folder.path()), way.entriesLeft);
            if (way.how == "replaced") {
                EXPECT_EQ(shelvesIn(file), std::vector<std::string>{"other"});
            } else if (way.how == "moved") {
                EXPECT_EQ(shelvesIn(moved),
                          committed ? std::vector<std::string>({"alpha", "beta"}) : std::vector<std::string>{"alpha"});
            }
            EXPECT_EQ(integrityOf(way.whole), "ok");

            context.insert(Shelf::make("gamma"));
            context.save();
            EXPECT_EQ(shelvesIn(file).back(), "gamma") << "the next write lands in the file at the path";
            const auto opening = container->opening();
            context.insert(Shelf::make("delta"));
            context.save();
            EXPECT_EQ(context.fetch<Shelf>().size(), shelvesIn(file).size());
            EXPECT_EQ(container->opening(), opening) << "the connection to the file at the path is kept";
        }
    }
}

/// Runs `work` in a child process and kills it (SIGKILL) once the work is done, with what the work
/// returned still held, leaving whatever the child had open as a killed program leaves it.
void killedAfter(const std::function<std::shared_ptr<void>()>& work) {
    int done[2];
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    if (child == 0) {
        const auto held = work();
        [[maybe_unused]] const auto written = write(done[1], "d", 1);
        while (true) pause();
    }
    char byte = 0;
    EXPECT_EQ(read(done[0], &byte, 1), 1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(done[0]);
    close(done[1]);
}

// A process killed after it saved leaves the store's log beside it.
TEST_F(ModelContainerTest, WhatAKilledWriterLeftBesideThePathIsNotReadIntoAFileRenamedThere) {
    const auto other = folder.path() / "other.store";
    makeStore(other, "other");
    killedAfter([this] {
        auto context = std::make_shared<platform::ModelContext>(open(file));
        context->insert(Shelf::make("alpha"));
        context->save();
        return context;
    });
    std::filesystem::rename(other, file);
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>{"other"});
    EXPECT_EQ(integrityOf(file), "ok");
}

/// The size of the log beside `file`, 0 when there is none.
std::uintmax_t logSize(const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file.string() + "-wal", error);
    return error ? 0 : size;
}

// Found when a copy of a store was put back at its path after the application that had made the
// store there was ended: the log of the new store's set-up was replayed over the copy.
TEST_F(ModelContainerTest, ASetUpOrAnUpgradeLeavesNothingInTheLogForACopyPutBackAtThePath) {
    const auto backup = folder.path() / "backup.store";
    makeStore(backup, "kept");
    for (const bool upgrade : {false, true}) {
        SCOPED_TRACE(upgrade ? "an upgrade" : "a new store");
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
        if (upgrade) {
            makeStore(file, "old");
            execute(file, "UPDATE norvane_metadata SET value = '0.9.12' WHERE key = 'schemaVersion'");
        }
        // Killed with the container open: SQLite's close would empty the log itself.
        killedAfter([this] { return open(file); });
        EXPECT_EQ(logSize(file), 0U);

        std::filesystem::copy_file(backup, file, std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(shelvesIn(file), std::vector<std::string>{"kept"});
        EXPECT_EQ(integrityOf(file), "ok");
    }
}

TEST_F(ModelContainerTest, ALogThatAReaderKeptFromBeingEmptiedIsEmptiedOnceTheReaderLetsGo) {
    storeWithAShelf();
    auto container = open(file);
    auto context = std::make_unique<platform::ModelContext>(container);
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &reader), SQLITE_OK);
    const auto save = [&](const std::string& shelf) {
        sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM shelf", nullptr, nullptr, nullptr);
        context->insert(Shelf::make(shelf));
        context->save();
        EXPECT_GT(logSize(file), 0U) << "the reader keeps the log";
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    };
    save("beta");
    container->checkForExternalChanges();
    EXPECT_EQ(logSize(file), 0U) << "emptied at the next check";
    save("gamma");
    context.reset();
    container.reset();
    EXPECT_EQ(logSize(file), 0U) << "emptied as the container closes";
    sqlite3_close(reader);
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>({"alpha", "beta", "gamma"}));
}

/// Work on a thread of its own, watched for a wait: it sleeps between its tries for a lock or for
/// readers to let go.
class WatchedWork {
public:
    explicit WatchedWork(std::function<void()> work)
        : thread_([this, work = std::move(work)] {
              task_ = ::gettid();
              work();
              ended_ = true;
          }) {}
    ~WatchedWork() { thread_.join(); }
    WatchedWork(const WatchedWork&) = delete;
    WatchedWork& operator=(const WatchedWork&) = delete;

    /// Waits until the work ends or waits; whether it waits.
    bool waits() const {
        bool sleeping = false;
        waitUntil([&] {
            sleeping = task_ != 0 && isSleeping(task_) && !ended_;
            return sleeping || ended_;
        });
        return sleeping;
    }

private:
    std::atomic<pid_t> task_ = 0;
    std::atomic<bool> ended_ = false;
    std::thread thread_;
};

// Found when the version before still ran an add as this one opened the store: the upgrade went on
// under it, and the older program wrote rows with its own meanings into the newer store. The wait
// keeps nobody out: another program takes its turn at the folder and reads the store meanwhile, also
// while SQLite refuses the store alone for another connection of this process, which only it sees.
TEST_F(ModelContainerTest, AnOlderStoreIsBroughtUpToDateOnceNoOtherProgramHasItOpen) {
    storeWithAShelf();
    execute(file, "UPDATE norvane_metadata SET value = '0.9.12' WHERE key = 'schemaVersion'");
    std::optional<StoreHolder> older(std::in_place, file);
    sqlite3* own = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &own), SQLITE_OK);
    sqlite3_exec(own, "SELECT count(*) FROM shelf", nullptr, nullptr, nullptr);
    std::shared_ptr<platform::ModelContainer> opened;
    std::string refusal;
    {
        const WatchedWork opening(
            [&] { refusal = errorMessageOf<platform::StoreError>([&] { opened = open(file); }); });
        ASSERT_TRUE(opening.waits());
        {
            const platform::FileDescriptor turn(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            EXPECT_TRUE(waitUntil([&] { return ::flock(turn.get(), LOCK_EX | LOCK_NB) == 0; }));
            EXPECT_EQ(storedVersion(file), "'0.9.12'");
            EXPECT_TRUE(opening.waits()) << "the turn and the read came while the opening waited";
        }
        older.reset();
        const auto read = platform::PosixProcessRunner().run(
            {"python3",
             {"-c",
              "import sqlite3, sys; print(sqlite3.connect(sys.argv[1], "
              "timeout=0.5).execute(sys.argv[2]).fetchone()[0])",
              file.string(), "SELECT value FROM norvane_metadata WHERE key = 'schemaVersion'"}});
        EXPECT_EQ(read.standardOutput, "0.9.12\n") << read.standardError;
        EXPECT_TRUE(opening.waits());
        sqlite3_close(own);
    }
    ASSERT_EQ(refusal, "no error");
    EXPECT_EQ(storedVersion(file), "'1.0.0'");
    EXPECT_EQ(platform::ModelContext(opened).fetch<Shelf>().size(), 1U);
}

// Found with a plain reader beside `norvane archive`: the tool ended at once with its write still in
// the log, and a copy of the store put back at the path afterwards was read with that write.
TEST_F(ModelContainerTest, AContainerToldToWaitAtItsCloseEmptiesTheLogOnceAReaderLetsGoThoughNoSaveWaits) {
    storeWithAShelf();
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM shelf", nullptr, nullptr, nullptr);
    auto container = open(file);
    container->waitForReadersAtClose(platform::ModelContainer::lockWait);
    {
        // The application saves on its window's thread.
        const WatchedWork save([&] {
            platform::ModelContext context(container);
            context.insert(Shelf::make("beta"));
            context.save();
        });
        EXPECT_FALSE(save.waits());
    }
    EXPECT_GT(logSize(file), 0U) << "the reader keeps the log";
    {
        const WatchedWork close([&] { container.reset(); });
        EXPECT_TRUE(close.waits());
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    }
    EXPECT_EQ(logSize(file), 0U);
    sqlite3_close(reader);
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>({"alpha", "beta"}));
}

// A program that is ending no longer waits for a store that another program keeps locked, nor for
// another program's turn at its folder: the opening goes on, or fails as a wait that lasted too
// long fails, without one more pause.
TEST_F(ModelContainerTest, AnOpeningWhoseWaitsAreInterruptedNeverPausesForAnotherProgram) {
    storeWithAShelf();
    const std::atomic<bool> interrupted{true};
    const auto openingOutcome = [&] {
        std::string outcome;
        {
            const WatchedWork opening([&] {
                const platform::InterruptibleWaits::Scope waits(interrupted);
                try {
                    open(file);
                    outcome = "opened";
                } catch (const platform::StoreBusyError&) {
                    outcome = "locked";
                }
            });
            EXPECT_FALSE(opening.waits());
        }
        return outcome;
    };
    {
        sqlite3* holder = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(openingOutcome(), "locked");
        sqlite3_close(holder);
    }
    const platform::FileDescriptor turn(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_EQ(::flock(turn.get(), LOCK_EX), 0);
    EXPECT_EQ(openingOutcome(), "opened");
}

// The window's thread never waits for another program, nor for another thread that may be waiting
// for one: where a use would wait, it is refused at once, and the window reads elsewhere.
TEST_F(ModelContainerTest, AThreadThatMayNotWaitIsRefusedAtOnceWhereAUseWouldWait) {
    storeWithAShelf();
    auto container = open(file);
    const auto outcome = [](const std::function<void()>& use) {
        std::string said;
        {
            const WatchedWork work([&] {
                const platform::NoWaits::Scope mayNotWait;
                try {
                    use();
                    said = "done";
                } catch (const platform::StoreBusyError&) {
                    said = "refused";
                }
            });
            EXPECT_FALSE(work.waits());
        }
        return said;
    };
    const auto save = [&] {
        platform::ModelContext context(container);
        context.insert(Shelf::make("beta"));
        context.save();
    };
    {
        sqlite3* browser = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &browser), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(browser, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(outcome(save), "refused") << "another program's write lock";
        EXPECT_EQ(outcome([&] { platform::ModelContext(container).fetch<Shelf>(); }), "done") << "readers go on";
        sqlite3_close(browser);
    }
    {
        std::promise<void> used;
        std::promise<void> done;
        std::thread worker([&] {
            container->withDatabase([&](platform::Database&) {
                used.set_value();
                done.get_future().wait_for(std::chrono::minutes(1));
            });
        });
        used.get_future().wait();
        EXPECT_EQ(outcome([&] { platform::ModelContext(container).fetch<Shelf>(); }), "refused")
            << "another thread's use";
        done.set_value();
        worker.join();
    }
    {
        // A thread of this process in its turn may itself be waiting for another program's.
        std::promise<void> taken;
        std::promise<void> done;
        std::thread worker([&] {
            const platform::StoreSideFiles::Turn turn(file);
            taken.set_value();
            done.get_future().wait_for(std::chrono::minutes(1));
        });
        taken.get_future().wait();
        EXPECT_EQ(outcome([&] { open(file); }), "refused") << "another thread's turn at the folder";
        done.set_value();
        worker.join();
    }
    const platform::FileDescriptor turn(::open(folder.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_EQ(::flock(turn.get(), LOCK_EX), 0);
    EXPECT_EQ(outcome([&] { open(file); }), "refused") << "another program's turn at the folder";
}

/// The inodes of the log and shared memory files beside `file`, 0 for one that is not there.
std::vector<ino_t> sideFilesOf(const std::filesystem::path& file) {
    std::vector<ino_t> inodes;
    for (const char* suffix : {"-wal", "-shm"}) {
        struct stat status {};
        inodes.push_back(::stat((file.string() + suffix).c_str(), &status) == 0 ? status.st_ino : 0);
    }
    return inodes;
}

TEST_F(ModelContainerTest, ALogAndSharedMemoryFileGoWithTheirFileAndStayWithAnother) {
    const auto moved = folder.path() / "moved.store";
    {
        const auto container = open(file);
        makeStore(file, "alpha");
        std::filesystem::rename(file, moved);
    }
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"moved.store"}) << "gone as it closed";

    // Deleted with its side files, and another store renamed there, which another program reads.
    auto leaving = open(file);
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    makeStore(moved, "beta");
    std::filesystem::rename(moved, file);
    sqlite3* reading = nullptr;
    sqlite3_open(file.c_str(), &reading);
    sqlite3_exec(reading, "SELECT count(*) FROM shelf", nullptr, nullptr, nullptr);
    const auto before = sideFilesOf(file);
    EXPECT_TRUE(leaving->checkForExternalChanges());
    EXPECT_EQ(sideFilesOf(file), before) << "the other store's own stay";

    // Replaced in turn while the other program still reads it: the store there has side files of its own.
    leaving.reset();
    makeStore(moved, "gamma");
    std::filesystem::rename(moved, file);
    platform::ModelContext renamedThere(open(file));
    EXPECT_EQ(renamedThere.fetch<Shelf>().front()->name, "gamma");
    EXPECT_NE(sideFilesOf(file), before);
    sqlite3_close(reading);
}

// Found with the application open while its store was made read-only and then writable again: its
// collections failed as read-only until it was started again, the first time because the container
// that found it read-only never opened it for writing again, then because SQLite kept reading the
// store's shared memory as read-only for the application's other container.
TEST_F(ModelContainerTest, AStoreMadeWritableAgainIsWrittenByTheContainerThatFoundItReadOnly) {
    storeWithAShelf();
    // Root may write any file: the containers then run as nobody, over files handed to nobody.
    constexpr uid_t nobody = 65534;
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        for (const auto& path : {folder.path(), file}) ASSERT_EQ(chown(path.c_str(), nobody, nobody), 0);
    }
    int step[2];
    int told[2];
    ASSERT_EQ(pipe(step), 0);
    ASSERT_EQ(pipe(told), 0);
    const auto next = [&](int to, int from) {
        char byte = 0;
        return write(to, "s", 1) == 1 && read(from, &byte, 1) == 1;
    };
    auto writer = std::async(std::launch::async, [&] {
        return inChildProcess([&] {
            if (asRoot && (setgid(nobody) != 0 || setuid(nobody) != 0)) throw std::runtime_error("still root");
            // The application's own container, open since before the store became read-only.
            platform::ModelContext application(open(file));
            application.fetch<Shelf>();
            if (!next(step[1], told[0])) throw std::runtime_error("pipe");
            platform::ModelContext context(open(file));
            context.insert(Shelf::make("beta"));
            const auto refused = errorMessageOf<platform::StoreError>([&] { context.save(); });
            if (!next(step[1], told[0])) throw std::runtime_error("pipe");
            if (refused.find("is read-only") == std::string::npos) throw std::runtime_error(refused);
            context.insert(Shelf::make("gamma"));
            context.save();
            application.insert(Shelf::make("delta"));
            application.save();
        });
    });
    char byte = 0;
    ASSERT_EQ(read(step[0], &byte, 1), 1);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    ASSERT_EQ(write(told[1], "r", 1), 1);
    ASSERT_EQ(read(step[0], &byte, 1), 1);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_EQ(write(told[1], "w", 1), 1);
    EXPECT_EQ(writer.get(), 0);
    EXPECT_EQ(shelvesIn(file), std::vector<std::string>({"alpha", "gamma", "delta"}));
}

class ReadOnlyStore : public ModelContainerTest {
protected:
    void SetUp() override {
        if (geteuid() == 0) GTEST_SKIP() << "root may write any file: run as an unprivileged user";
        storeWithAShelf();
    }

    void TearDown() override { std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all); }

    /// Reads the store, fails to write it with a message that says so, and leaves no file behind.
    void expectReadableButNotWritable() {
        const auto entries = folderEntries(folder.path());
        platform::ModelContext context(open(file));
        EXPECT_EQ(context.fetch<Shelf>().size(), 1U);
        context.insert(Shelf::make("beta"));
        const auto message = errorMessageOf<platform::StoreError>([&] { context.save(); });
        EXPECT_THAT(message, HasSubstr("The store " + file.string() + " is read-only"));
        EXPECT_EQ(folderEntries(folder.path()), entries);
    }
};

TEST_F(ReadOnlyStore, AFileThatMayOnlyBeReadOpensForReading) {
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    expectReadableButNotWritable();

    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    platform::ModelContext context(open(file));
    context.insert(Shelf::make("beta"));
    EXPECT_NO_THROW(context.save()) << "nothing left behind blocks the owner afterwards";
}

TEST_F(ReadOnlyStore, AFolderThatMayOnlyBeReadOpensForReading) {
    std::filesystem::permissions(folder.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    expectReadableButNotWritable();
}

} // namespace
} // namespace norvane::testing
