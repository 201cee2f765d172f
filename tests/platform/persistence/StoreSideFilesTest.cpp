#include "platform/persistence/StoreSideFiles.h"

#include "platform/persistence/ModelContainer.h"
#include "platform/persistence/ModelContext.h"
#include "tests/platform/persistence/TestRecords.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/StoreIntegrity.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace norvane::testing {
namespace {

using Owner = platform::StoreSideFiles::Owner;
using Holder = platform::StoreSideFiles::Holder;

TEST(StoreSideFilesOwner, AConnectionToTheFileAtThePathKeepsItsSideFilesWhateverElseIsSeen) {
    const Holder oldFileReader{true, true, false};
    const Holder storeReader{true, true, true};
    const Holder ended{true, false, false};
    const Holder unreadable{};
    const std::vector<std::pair<std::vector<Holder>, Owner>> cases{
        {{}, Owner::none},
        {{storeReader}, Owner::storeAtPath},
        {{oldFileReader}, Owner::anotherFile},
        // This process reads the file that left, the one named reads the file at the path.
        {{oldFileReader, storeReader}, Owner::storeAtPath},
        {{storeReader, unreadable}, Owner::storeAtPath},
        // Nothing that was not seen counts as another file's.
        {{ended}, Owner::unknown},
        {{unreadable}, Owner::unknown},
        {{oldFileReader, unreadable}, Owner::unknown},
        {{oldFileReader, ended}, Owner::anotherFile},
    };
    for (const auto& [holders, owner] : cases) {
        EXPECT_EQ(platform::StoreSideFiles::ownerFrom(holders), owner) << "case " << (&holders - &cases.front().first);
    }
}

/// A process of its own, as another program is, that runs `work` and then waits until it is told to
/// end. Constructed, the work is done.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<void()>& work) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        EXPECT_EQ(pipe(end_), 0);
        pid_ = fork();
        if (pid_ == 0) {
            ::close(end_[1]);
            work();
            [[maybe_unused]] const auto written = write(ready[1], "r", 1);
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(end_[0], &byte, 1);
            _exit(0);
        }
        ::close(ready[1]);
        ::close(end_[0]);
        char byte = 0;
        EXPECT_EQ(::read(ready[0], &byte, 1), 1) << "the child process did its work";
        ::close(ready[0]);
    }
    ~ChildProcess() {
        ::close(end_[1]);
        waitpid(pid_, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

private:
    pid_t pid_ = 0;
    int end_[2]{};
};

/// A plain SQLite reader of the store that stays, as the window or another program does; with a
/// read transaction open, it keeps a checkpoint from emptying the log.
std::function<void()> readerOf(const std::filesystem::path& file, bool inReadTransaction) {
    return [=] {
        sqlite3* reader = nullptr;
        sqlite3_open(file.c_str(), &reader);
        sqlite3_exec(reader, inReadTransaction ? "BEGIN; SELECT count(*) FROM shelf" : "SELECT count(*) FROM shelf",
                     nullptr, nullptr, nullptr);
    };
}

/// Programs with locks of their own on files of their own, each taking and letting go of one of
/// them in a loop until they are told to end, as busy SQLite programs do.
class LockChurners {
public:
    LockChurners(const std::filesystem::path& folder, int programs, int heldLocks) {
        EXPECT_EQ(pipe(end_), 0);
        for (int index = 0; index < programs; ++index) {
            const pid_t churner = fork();
            if (churner == 0) churn(folder / ("churn" + std::to_string(index)), heldLocks);
            churners_.push_back(churner);
        }
        ::close(end_[0]);
    }
    ~LockChurners() {
        ::close(end_[1]);
        for (const pid_t churner : churners_) waitpid(churner, nullptr, 0);
    }
    LockChurners(const LockChurners&) = delete;
    LockChurners& operator=(const LockChurners&) = delete;

private:
    [[noreturn]] void churn(const std::filesystem::path& file, int heldLocks) const {
        ::close(end_[1]);
        const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT, 0600);
        const auto lock = [&](short type, int byte) {
            struct flock range {};
            range.l_type = type;
            range.l_whence = SEEK_SET;
            range.l_start = 2 * byte;
            range.l_len = 1;
            ::fcntl(descriptor, F_SETLK, &range);
        };
        // As many locks come and go, the lines of the others shift in the list of all locks.
        pollfd ended{end_[0], POLLIN, 0};
        for (int round = 0; ::poll(&ended, 1, 0) == 0; ++round) {
            lock((round / heldLocks) % 2 == 0 ? F_RDLCK : F_UNLCK, round % heldLocks);
            sched_yield();
        }
        _exit(0);
    }

    std::vector<pid_t> churners_;
    int end_[2]{};
};

class StoreSideFilesTest : public ::testing::Test {
protected:
    std::shared_ptr<platform::ModelContainer> open() const {
        return platform::ModelContainer::open(file, testSchema());
    }

    void addShelves(const std::filesystem::path& store, const std::vector<std::string>& names) const {
        platform::ModelContext context(platform::ModelContainer::open(store, testSchema()));
        for (const auto& name : names) context.insert(Shelf::make(name));
        context.save();
    }

    std::vector<std::string> shelves() const {
        std::vector<std::string> names;
        for (const auto& shelf : platform::ModelContext(open()).fetch<Shelf>()) names.push_back(shelf->name);
        return names;
    }

    TemporaryFolder folder;
    std::filesystem::path file = folder.path() / "test.store";
};

// Found with the window open beside many programs with databases of their own: the system's list
// of locks, read a page at a time, missed the reader's lock on the store while it showed its lock
// on the shared memory file, and a command removed the log and shared memory that the reader used.
TEST_F(StoreSideFilesTest, TheSideFilesOfAReaderOfTheStoreStayWhateverLocksOtherProgramsTakeAndLetGo) {
    addShelves(file, {"first"});
    const ChildProcess reader(readerOf(file, false));
    const auto sharedMemory = platform::FileIdentity::of(file.string() + "-shm");
    ASSERT_TRUE(sharedMemory);
    auto churners = std::make_unique<LockChurners>(folder.path(), 4, 16);
    std::vector<std::string> written{"first"};
    for (int round = 0; round < 20; ++round) {
        written.push_back("shelf " + std::to_string(round));
        addShelves(file, {written.back()});
        ASSERT_EQ(platform::FileIdentity::of(file.string() + "-shm"), sharedMemory) << "round " << round;
    }
    churners.reset();
    EXPECT_EQ(shelves(), written);
    EXPECT_EQ(integrityOf(file), "ok");
}

// A reader of a store that was then replaced keeps the old store's committed pages in the log: with
// the log left at the path, the store renamed there would be read with those pages as its own.
TEST_F(StoreSideFilesTest, ALogThatAReaderOfTheFileThatLeftHoldsIsNotReadIntoTheFileRenamedThere) {
    addShelves(file, {"alpha"});
    const ChildProcess reader(readerOf(file, true));
    std::vector<std::string> longNames;
    for (char letter = 'a'; letter < 'u'; ++letter) longNames.emplace_back(400, letter);
    addShelves(file, longNames);
    ASSERT_GE(std::filesystem::file_size(file.string() + "-wal"), 8192U)
        << "the reader kept the log from being emptied";

    const auto other = folder.path() / "other.store";
    addShelves(other, {"other"});
    std::filesystem::rename(other, file);
    EXPECT_EQ(shelves(), std::vector<std::string>{"other"});
    EXPECT_EQ(integrityOf(file), "ok");
}

/// The exit status of a process whose system makes no PID namespace for it.
constexpr int noNamespace = 97;

/// Runs `work` in a process of a PID namespace of its own, which sees no process of this one, as a
/// program in a container sees none of those beside it; its exit status.
int inOwnProcessNamespace(const std::function<void()>& work) {
    return inChildProcess([&] {
        // Root may make one; anyone else only within a user namespace of their own, where allowed.
        if (unshare(CLONE_NEWPID) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWPID) != 0) _exit(noNamespace);
        // The namespace takes this process's children, not the process itself.
        _exit(inChildProcess(work));
    });
}

/// Runs `work` in a child process that may not look into the test's processes: under root, as
/// nobody, with the store's folder and files handed to nobody. Its exit status.
int asAnotherUser(const std::filesystem::path& store, const std::function<void()>& work) {
    return inChildProcess([&] {
        constexpr uid_t nobody = 65534;
        if (geteuid() == 0) {
            for (const auto& path :
                 {store.parent_path().string(), store.string(), store.string() + "-wal", store.string() + "-shm"}) {
                if (chown(path.c_str(), nobody, nobody) != 0) throw std::runtime_error("cannot hand over " + path);
            }
            if (setgid(nobody) != 0 || setuid(nobody) != 0) throw std::runtime_error("still root");
        }
        work();
    });
}

// Found with readers in another PID namespace and of another user: the kernel names no process for
// the lock of the one, the other's open files cannot be listed, and side files whose holder cannot
// be seen are nobody's to remove.
TEST_F(StoreSideFilesTest, TheSideFilesOfAReaderThatCannotBeSeenStay) {
    struct Unseen {
        std::string reader;
        /// Run in the reader's process before it opens the store.
        std::function<void()> hide;
        std::function<int(const std::function<void()>&)> opener;
    };
    const std::vector<Unseen> ways{
        {"in another PID namespace", [] {}, inOwnProcessNamespace},
        // Its open files are then root's to list, as those of a program that changed its user.
        {"of another user", [] { prctl(PR_SET_DUMPABLE, 0); },
         [&](const std::function<void()>& work) { return asAnotherUser(file, work); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.reader);
        const std::string opened = "opened beside a reader " + way.reader;
        addShelves(file, {way.reader});
        const ChildProcess reader([&] {
            way.hide();
            readerOf(file, false)();
        });
        const auto sideFiles = [&] {
            return std::pair(platform::FileIdentity::of(file.string() + "-wal"),
                             platform::FileIdentity::of(file.string() + "-shm"));
        };
        const auto held = sideFiles();
        ASSERT_TRUE(held.first && held.second);
        const int status = way.opener([&] { addShelves(file, {opened}); });
        // Where the system makes no PID namespace, the reader of another user still stands.
        if (status == noNamespace) continue;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(sideFiles(), held);
        EXPECT_EQ(shelves().back(), opened);
        EXPECT_EQ(integrityOf(file), "ok");
    }
}

// A close that lets go of a file that left the path takes a turn inside its own: one that took the
// folder's lock again would wait for itself, 15 seconds at each such close.
TEST_F(StoreSideFilesTest, ATurnInsideAnotherOnOneThreadGoesOnAtOnce) {
    addShelves(file, {"alpha"});
    int done[2];
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    if (child == 0) {
        {
            const platform::StoreSideFiles::Turn outer(file);
            const platform::StoreSideFiles::Turn inner(file);
        }
        auto container = open();
        std::filesystem::rename(file, folder.path() / "moved.store");
        container.reset();
        [[maybe_unused]] const auto written = write(done[1], "d", 1);
        _exit(0);
    }
    // Nothing here sleeps but a turn that waits for the folder's lock: a sleep is that slip, seen at
    // once.
    pollfd ended{done[0], POLLIN, 0};
    bool sleeping = false;
    EXPECT_TRUE(waitUntil([&] {
        sleeping = isSleeping(child);
        return sleeping || ::poll(&ended, 1, 0) == 1;
    }));
    EXPECT_FALSE(sleeping) << "a turn waited for the lock that this thread's outer turn holds";
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ::close(done[0]);
    ::close(done[1]);
}

} // namespace
} // namespace norvane::testing
