#include "platform/persistence/StoreSideFiles.h"

#include "platform/Backoff.h"
#include "platform/ErrorLog.h"
#include "platform/InterruptibleWaits.h"
#include "platform/NoWaits.h"
#include "platform/persistence/StoreError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace norvane::platform {
namespace {

/// How often a reading is taken again when the process it named ended before it showed anything.
constexpr int readingAttempts = 50;
constexpr std::chrono::milliseconds betweenReadings{1};
/// How long a process waits for another's turn; it goes on without it after this.
constexpr std::chrono::seconds longestTurnWait{15};
/// Pauses between looks at the folder: a turn takes a moment.
constexpr std::chrono::milliseconds firstTurnPause{1};
constexpr std::chrono::milliseconds longestTurnPause{50};
/// Another process's turn takes a moment; one that lasts longer than this is said, once a process.
constexpr std::chrono::seconds quietTurnWait{1};

std::recursive_mutex& turnMutex() {
    // Never destroyed: a container that a static of another file holds may close after this file's statics.
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

/// How many turns this process holds, on the thread that holds the mutex, and the outermost of them.
int turnDepth = 0;
StoreSideFiles::Turn* outermostTurn = nullptr;
/// Whether this process said that it waited for another's turn; changed with the mutex held.
bool turnWaitSaid = false;

std::filesystem::path folderOfStore(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

/// The descriptor by which `files` hold `identity`, or -1.
int descriptorOf(const std::vector<std::pair<FileIdentity, int>>& files, const FileIdentity& identity) {
    const auto found =
        std::find_if(files.begin(), files.end(), [&](const auto& file) { return file.first == identity; });
    return found == files.end() ? -1 : found->second;
}

StoreSideFiles::Holder holderShowing(const std::optional<std::vector<std::pair<FileIdentity, int>>>& files,
                                     const FileIdentity& sharedMemory, const std::optional<FileIdentity>& store) {
    if (!files) return {};
    return {true, descriptorOf(*files, sharedMemory) >= 0, store && descriptorOf(*files, *store) >= 0};
}

/// Another process that holds a lock on the file, as the kernel names one: 0 when none does, -1
/// when it cannot be asked or names none this process can see. `ownDescriptor` is this process's
/// own, where it has the file open: closing any other descriptor of the file would let go of every
/// lock this process holds on it.
pid_t otherHolder(const std::filesystem::path& path, const FileIdentity& identity, int ownDescriptor) {
    FileDescriptor opened;
    if (ownDescriptor < 0) {
        opened = FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!opened.isOpen()) return errno == ENOENT ? 0 : -1;
        if (FileIdentity::of(opened.get()) != identity) return -1;
    }
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    if (::fcntl(ownDescriptor >= 0 ? ownDescriptor : opened.get(), F_GETLK, &query) != 0) return -1;
    if (query.l_type == F_UNLCK) return 0;
    return query.l_pid > 0 ? query.l_pid : -1;
}

StoreBusyError turnTakenElsewhere(const std::filesystem::path& folder) {
    return StoreBusyError("Another program is opening or closing a store in " + folder.string());
}

/// Since when this process has found another's turn at `folder` whenever it asked for one: from the
/// first wait, until a turn gets the folder.
struct HeldUp {
    std::filesystem::path folder;
    std::chrono::steady_clock::time_point since;
};

/// Used with the mutex held. Never destroyed, as the mutex: a container may close after this file's statics.
std::optional<HeldUp>& heldUp() {
    static auto* held = new std::optional<HeldUp>;
    return *held;
}

/// `folder` locked for this process, after waiting for another's turn up to 15 seconds from the first
/// wait of this process that has not got the folder since; none when it cannot be opened or locked. A
/// process stopped in its turn holds the others up, but for those 15 seconds only, however many
/// turns a command takes (the opening and the close at least), so that the note's time is the time
/// waited: later turns go on without it at once, until it lets go. A wait that lasts is said, so that
/// nobody takes a silent command for a hung one. A thread that may not wait fails at once while
/// another process has its turn.
FileDescriptor lockedFolder(const std::filesystem::path& folder) {
    FileDescriptor locked(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    Backoff pauses(firstTurnPause, longestTurnPause);
    while (locked.isOpen() && ::flock(locked.get(), LOCK_EX | LOCK_NB) != 0) {
        const int failure = errno;
        if (failure == EWOULDBLOCK && NoWaits::inForce()) throw turnTakenElsewhere(folder);
        if (failure != EWOULDBLOCK && failure != EINTR) return FileDescriptor();
        const auto now = std::chrono::steady_clock::now();
        auto& wait = heldUp();
        if (!wait || wait->folder != folder) wait = HeldUp{folder, now};
        const auto waited = now - wait->since;
        if (waited >= longestTurnWait || InterruptibleWaits::interrupted()) return FileDescriptor();
        if (waited >= quietTurnWait && !std::exchange(turnWaitSaid, true)) {
            logNotice("waiting for another program to finish opening or closing a store in " + folder.string() +
                      "; should it be stopped, this goes on without it after " +
                      std::to_string(longestTurnWait.count()) + " seconds");
        }
        std::this_thread::sleep_for(pauses.next());
    }
    if (locked.isOpen()) heldUp().reset();
    return locked;
}

} // namespace

StoreSideFiles::Owner StoreSideFiles::ownerFrom(const std::vector<Holder>& holders) {
    const auto any = [&](auto&& showed) { return std::any_of(holders.begin(), holders.end(), showed); };
    if (holders.empty()) return Owner::none;
    if (any([](const Holder& holder) { return holder.holdsSharedMemory && holder.holdsStore; })) {
        return Owner::storeAtPath;
    }
    if (any([](const Holder& holder) { return !holder.readable; })) return Owner::unknown;
    if (any([](const Holder& holder) { return holder.holdsSharedMemory; })) return Owner::anotherFile;
    return Owner::unknown;
}

pid_t StoreSideFiles::otherHolderOf(const std::filesystem::path& file) {
    const auto identity = FileIdentity::of(file);
    if (!identity) return 0;
    const auto own = FileIdentity::openBy("self");
    return otherHolder(file, *identity, own ? descriptorOf(*own, *identity) : -1);
}

StoreSideFiles::StoreSideFiles(std::filesystem::path store)
    : store_(std::move(store)), log_(store_.string() + "-wal"), sharedMemory_(store_.string() + "-shm") {}

StoreSideFiles::Reading StoreSideFiles::read() const {
    Reading reading;
    reading.log = FileIdentity::of(log_);
    reading.sharedMemory = FileIdentity::of(sharedMemory_);
    if (!reading.sharedMemory) return reading;
    const auto store = FileIdentity::of(store_);
    std::vector<Holder> holders;
    const auto own = FileIdentity::openBy("self");
    const int ownDescriptor = own ? descriptorOf(*own, *reading.sharedMemory) : -1;
    if (ownDescriptor >= 0) holders.push_back(holderShowing(own, *reading.sharedMemory, store));
    const pid_t other = otherHolder(sharedMemory_, *reading.sharedMemory, ownDescriptor);
    if (other > 0) {
        holders.push_back(holderShowing(FileIdentity::openBy(std::to_string(other)), *reading.sharedMemory, store));
    } else if (other < 0) {
        holders.push_back(Holder{});
    }
    reading.owner = ownerFrom(holders);
    return reading;
}

StoreSideFiles::Owner StoreSideFiles::owner() const { return read().owner; }

bool StoreSideFiles::setAsideIfAnotherFiles() const {
    for (int attempt = 0; attempt < readingAttempts; ++attempt) {
        const auto first = read();
        if (first.owner == Owner::none || first.owner == Owner::storeAtPath) return false;
        if (first.owner == Owner::anotherFile) {
            const auto second = read();
            if (second.owner == Owner::anotherFile && second.sharedMemory == first.sharedMemory &&
                second.log == first.log) {
                remove(second);
                return true;
            }
        }
        std::this_thread::sleep_for(betweenReadings);
    }
    return false;
}

void StoreSideFiles::remove(const Reading& reading) const {
    if (reading.log && FileIdentity::of(log_) == reading.log) ::unlink(log_.c_str());
    if (FileIdentity::of(sharedMemory_) == reading.sharedMemory) ::unlink(sharedMemory_.c_str());
}

StoreSideFiles::Turn::Turn(const std::filesystem::path& store) : lock_(turnMutex(), std::defer_lock) {
    // Another thread of this process may be waiting in its turn for another program's.
    if (!NoWaits::inForce()) {
        lock_.lock();
    } else if (!lock_.try_lock()) {
        throw turnTakenElsewhere(folderOfStore(store));
    }
    if (turnDepth > 0) {
        ++turnDepth;
        return;
    }
    folderPath_ = folderOfStore(store);
    folder_ = lockedFolder(folderPath_);
    outermostTurn = this;
    ++turnDepth;
}

StoreSideFiles::Turn::~Turn() {
    if (--turnDepth > 0) return;
    folder_.close();
    outermostTurn = nullptr;
}

void StoreSideFiles::Turn::pauseOutside(std::chrono::milliseconds pause) {
    const std::lock_guard lock(turnMutex());
    // A turn that went on without the folder takes none back.
    Turn* const turn = outermostTurn != nullptr && outermostTurn->folder_.isOpen() ? outermostTurn : nullptr;
    if (turn != nullptr) turn->folder_.close();
    std::this_thread::sleep_for(pause);
    if (turn != nullptr) turn->folder_ = lockedFolder(turn->folderPath_);
}

} // namespace norvane::platform
