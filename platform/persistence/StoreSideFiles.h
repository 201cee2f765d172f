#pragma once

#include "platform/FileDescriptor.h"
#include "platform/FileIdentity.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include <sys/types.h>

namespace norvane::platform {

/// The log and shared memory files that SQLite keeps beside a store in WAL mode ("-wal", "-shm"),
/// and whose they are. A connection that uses them has the store file open and holds a lock on the
/// shared memory file for as long as it does. A store deleted, replaced or moved while a connection
/// still uses it leaves its side files at the path for that connection: read with them, the file
/// there would take the other file's pages for its own.
///
/// Whose they are is read from the processes that hold them, each answer read whole: the kernel
/// names one process that holds a lock on the shared memory file (F_GETLK), and that process's open
/// files say whether it has the file at the path open too. The system's list of all locks
/// (/proc/locks) is never read: the kernel makes it a page at a time, and a lock taken or let go
/// between two pages hides another's line.
class StoreSideFiles {
public:
    /// What one process that holds the shared memory file showed of its open files.
    struct Holder {
        /// Its open files could be listed; when not, it showed nothing.
        bool readable = false;
        bool holdsSharedMemory = false;
        /// It has the file now at the path open.
        bool holdsStore = false;
    };

    enum class Owner {
        /// No side files, or nobody holds them: SQLite takes them up as it finds them.
        none,
        /// A connection to the file at the path uses them.
        storeAtPath,
        /// Held only for a file that is no longer at the path.
        anotherFile,
        /// The process named ended, or could not be read, before it showed which.
        unknown,
    };

    /// Whose the side files are, from what the processes that hold them showed. One connection to
    /// the file at the path outweighs everything else: its side files are never taken from it.
    static Owner ownerFrom(const std::vector<Holder>& holders);

    /// Another process that holds a lock on `file`, as the kernel names one (F_GETLK): 0 when none
    /// does, -1 when it cannot be asked or names none this process can see. Asked through this
    /// process's own descriptor of the file where it has one.
    static pid_t otherHolderOf(const std::filesystem::path& file);

    explicit StoreSideFiles(std::filesystem::path store);

    /// Whose the side files at the path are, read once.
    Owner owner() const;
    /// Removes the side files from the path when two readings in a row find the same ones held only
    /// for another file; whoever holds them keeps using them. Returns whether it did.
    bool setAsideIfAnotherFiles() const;

    /// While it lives, no other thread of this process, and no other process that takes turns at
    /// the same folder, opens, sets aside or closes a connection to a store there (other processes
    /// only while it pauses outside): what a turn decides about the side files holds until its
    /// connection is open. Turns nest on one thread.
    /// A process stopped in its turn holds the others up for at most 15 seconds, however many turns
    /// they take: a process that waited that long goes on without it at each turn, at once, until a
    /// turn gets the folder. A wait that lasts longer than a second is said on standard error, once a
    /// process. On a thread that may not wait (NoWaits), a turn that another thread or process has
    /// fails with StoreBusyError.
    class Turn {
    public:
        explicit Turn(const std::filesystem::path& store);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

        /// Sleeps for `pause` with the folder let go, so that other processes open and close stores
        /// there meanwhile, then takes the folder back: for a thread that waits, inside its turn, for
        /// what other processes hold. This process's other threads still wait for the turn.
        static void pauseOutside(std::chrono::milliseconds pause);

    private:
        std::unique_lock<std::recursive_mutex> lock_;
        std::filesystem::path folderPath_;
        /// The folder, locked (flock) by the outermost turn of the process.
        FileDescriptor folder_;
    };

private:
    struct Reading {
        Owner owner = Owner::none;
        std::optional<FileIdentity> log;
        std::optional<FileIdentity> sharedMemory;
    };

    Reading read() const;
    void remove(const Reading& reading) const;

    std::filesystem::path store_;
    std::filesystem::path log_;
    std::filesystem::path sharedMemory_;
};

} // namespace norvane::platform
