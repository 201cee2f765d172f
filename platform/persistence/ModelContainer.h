#pragma once

#include "platform/FileIdentity.h"
#include "platform/persistence/Database.h"
#include "platform/persistence/Entity.h"
#include "platform/persistence/QueryRow.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::platform {

class StoreMovedError;

/// The table that keeps, per record table, the highest row key ever handed out: keys are never
/// used twice, so that a write aimed at a row that another connection deleted cannot land on a
/// newer row.
inline constexpr std::string_view keysTable = "norvane_keys";

/// The record types of a store and its version ("1.1.0"), in table order: parents before the
/// records that point to them.
struct Schema {
    std::string version;
    std::vector<const EntityInfo*> entities;
    /// Brings the rows of a store of an older version (given) up to this one, once its missing
    /// tables and indexes exist, in the transaction that then stores the new version.
    std::function<void(Database& database, const std::string& storedVersion)> upgrade;
};

/// What changed in the store: the names of the affected record types, and whether another
/// connection (another container or process) made the change.
struct StoreChange {
    std::set<std::string> entityNames;
    bool external = false;
};

/// Keeps an observer registered for as long as it lives.
class ObserverRegistration {
public:
    ObserverRegistration() = default;
    explicit ObserverRegistration(std::function<void()> remove) : remove_(std::move(remove)) {}
    ~ObserverRegistration() { reset(); }
    ObserverRegistration(ObserverRegistration&& other) noexcept : remove_(std::move(other.remove_)) {
        other.remove_ = nullptr;
    }
    ObserverRegistration& operator=(ObserverRegistration&& other) noexcept {
        if (this != &other) {
            reset();
            remove_ = std::move(other.remove_);
            other.remove_ = nullptr;
        }
        return *this;
    }
    void reset() {
        if (remove_) remove_();
        remove_ = nullptr;
    }

private:
    std::function<void()> remove_;
};

/// An open store: one SQLite connection (WAL, busy timeout, foreign keys) with the schema's tables.
/// Several containers, in this process or others, can use one file at once. Contexts made over a
/// container share its connection; the container serialises their access.
///
/// Opening writes only when the file needs it (a new store, an older layout of the tables); a
/// store that this user may read but not write opens read-only, and only a save fails, until a use
/// finds that the user may write it again.
///
/// A store file is known by its path: whenever the connection is taken up outside a transaction
/// (every read, every save, `checkForExternalChanges`), the container checks that the file at the
/// path is still the one it has open. When it is not (deleted, replaced, moved), it opens the one
/// there as the first opening did, making it when there is none; until that succeeds, every use
/// fails with the reason.
class ModelContainer : public std::enable_shared_from_this<ModelContainer> {
public:
    /// How long a use waits for a lock that another connection holds before it fails.
    static constexpr std::chrono::milliseconds lockWait{10000};

    /// What the opener means to do with the store.
    enum class Intent {
        readAndWrite,
        /// Only to read: where the file that readers share beside the store cannot be written (a
        /// full disk), the store is read through an index of its own in memory instead, and held
        /// for this container alone while it is open; it is then read-only.
        readOnly,
    };

    /// Opens or creates the store file. Fails with StoreError, naming the file, when it is not a
    /// store or carries a newer schema version; such a file is left unchanged. Fails with
    /// StoreBusyError when another connection keeps the file locked for longer than the busy
    /// timeout while it has to be set up.
    /// `beforeOpening` runs before every opening of the file, the first and each later one (to make
    /// its folder, for example).
    static std::shared_ptr<ModelContainer> open(const std::filesystem::path& file, const Schema& schema,
                                                Intent intent = Intent::readAndWrite,
                                                std::function<void(const std::filesystem::path&)> beforeOpening = {});
    /// A store that lives in memory only.
    static std::shared_ptr<ModelContainer> inMemory(const Schema& schema);

    ~ModelContainer();
    ModelContainer(const ModelContainer&) = delete;
    ModelContainer& operator=(const ModelContainer&) = delete;

    const Schema& schema() const { return schema_; }
    /// The store file, or none for an in-memory store.
    const std::optional<std::filesystem::path>& file() const { return file_; }
    bool isReadOnly() const;
    /// Why the file at the path cannot be opened (not a store, a newer version's, gone), while the
    /// container follows the path and finds no store it can open there; none once it opens one.
    std::optional<std::string> openingFailure() const;
    /// Fails with StoreError saying why when the store may be read but not written.
    void requireWritable() const;

    /// Calls `observer` after every successful save through this container, and after changes by
    /// other connections that `checkForExternalChanges` notices. Called on the thread that saved
    /// or checked.
    ObserverRegistration observe(std::function<void(const StoreChange&)> observer);
    /// Compares SQLite's data_version with the last one seen, after following the file; tells the
    /// observers when another connection has committed since, or when the file was opened anew or
    /// could not be. Returns whether it told them. Empties the log of this container's last write
    /// too, when readers kept it from being emptied then.
    bool checkForExternalChanges();
    /// Which opening of the file the connection is: one more each time the container opens the
    /// file at its path anew. The row keys of one opening mean nothing in another.
    std::uint64_t opening() const { return opening_.load(); }

    /// Runs `work` with exclusive use of the connection.
    template <typename Work>
    auto withDatabase(Work&& work) {
        const auto lock = lockConnection();
        const Use use(*this);
        return work(use.database());
    }

    /// Runs `work` inside one read transaction: everything it reads through this container shows
    /// one state of the store, whatever other connections commit meanwhile. `work` must not save.
    template <typename Work>
    void withReadTransaction(Work&& work) {
        const auto lock = lockConnection();
        const Use use(*this);
        Transaction transaction(use.database(), Transaction::Kind::read);
        work();
        transaction.commit();
    }

    /// Makes the close wait, up to `limit`, until readers let the log of this container's writes be
    /// emptied: for a program that ends with the close, whose log would otherwise stay beside the
    /// path after its last write. Saves never wait for readers, nor does the close of a container
    /// that was not told to, so that no window waits.
    void waitForReadersAtClose(std::chrono::milliseconds limit);

    /// Commits `transaction`, a write begun on this container's connection inside `withDatabase`,
    /// only into the file at the path. A file that left the path (deleted, replaced, moved) fails
    /// the write with StoreMovedError: before the commit, rolled back by `transaction`; as it
    /// committed or while its log was copied in, written into the file that left. Either way the
    /// container lets go of that file once its use ends. A committed write's log is copied into the
    /// file and emptied at once, so that what a killed process leaves beside the path holds nothing
    /// to replay into a file renamed there later.
    void commit(Transaction& transaction);

    /// Runs one SELECT over the stored rows (not over any context's pending changes) and hands each
    /// result row to `row`, in order. For reads that want figures rather than records: nothing is
    /// kept once it returns.
    void query(std::string_view sql, const std::vector<SqlValue>& arguments,
               const std::function<void(const QueryRow&)>& row);

    void notify(const StoreChange& change);
    std::size_t entityOrder(const EntityInfo& entity) const;

private:
    /// One use of the connection, with the container's mutex held; the outermost use of a thread
    /// follows the file first.
    class Use {
    public:
        explicit Use(ModelContainer& container);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        Database& database() const;

    private:
        ModelContainer& container_;
    };

    ModelContainer(Schema schema, std::optional<std::filesystem::path> file, Intent intent,
                   std::function<void(const std::filesystem::path&)> beforeOpening);
    /// The connection's mutex, held; on a thread that may not wait (NoWaits), fails with
    /// StoreBusyError while another thread uses the connection.
    std::unique_lock<std::recursive_mutex> lockConnection() const;
    /// Opens the file at the path, after `beforeOpening_`: the connection, its set-up, and what is
    /// kept of its side files.
    void connect();
    void connectToFileAtPath();
    void connectShared();
    /// Opens the file alone, for a reader whose shared memory file could not be made or grown, and
    /// why, which a change is refused with.
    void connectUnshared(const std::string& sharedMemoryFailure);
    /// Opens the file at the path anew when the one open is no longer there, or, when it was opened
    /// only to be read, once this user may write it again.
    void followFile();
    /// Opens the same file again to write it, keeping the connection that reads it when that fails.
    void reopenForWriting();
    /// Lets go of a connection whose file is no longer at the path; see `followFile`.
    void retire();
    /// Has the other containers of this process on the same path let go of a file that is no
    /// longer there before this one opens the file there: with its log left at the path, the
    /// file there would be read with that log.
    void releaseMovedFilesOfOthers();
    /// Lets go of the file when it is no longer at the path, unless the connection is in use.
    void releaseIfMoved();
    /// Fails with StoreMovedError, saying what became of the file, once it is no longer the one at
    /// the path; the use under way then lets go of it as it ends.
    void requireFileAtPath();
    /// What became of the file open here, which left the path: another file is there, it was
    /// moved (and where to), or it was deleted.
    StoreMovedError leftPath(const std::string& during) const;
    /// Copies the log into the file and empties it, unless readers or a writer hold it: then
    /// `logHoldsFrames_` says so, to be tried again.
    void emptyLog();
    /// Tries `emptyLog` again while the log holds frames, up to `waitForReadersAtClose`'s limit.
    void emptyLogOnceReadersLetGo();
    void prepare();
    /// Writes what the store lacks: its tables, indexes and version, and, for a store of an older
    /// version (given), the upgrade, with no other connection to the file open meanwhile.
    void setUp(const std::optional<std::string>& olderVersion);
    std::int64_t dataVersion();

    mutable std::recursive_mutex databaseMutex_;
    std::unique_ptr<Database> database_;
    /// Uses of the connection under way on the thread that holds the mutex.
    std::size_t uses_ = 0;
    Schema schema_;
    std::optional<std::filesystem::path> file_;
    /// The file's path made absolute, by which the containers of one file know each other.
    std::filesystem::path followedPath_;
    Intent intent_ = Intent::readAndWrite;
    std::function<void(const std::filesystem::path&)> beforeOpening_;
    std::optional<std::string> readOnlyReason_;
    std::int64_t lastDataVersion_ = 0;
    std::atomic<std::uint64_t> opening_{0};
    /// Why the file at the path could not be opened anew, while it cannot.
    std::optional<std::string> openingFailure_;
    /// Guards `openingFailure_` for the threads that only ask for it, which never wait for a use.
    mutable std::mutex openingFailureMutex_;
    /// The file was opened anew, or could not be, since the observers last heard of it.
    bool openingUnannounced_ = false;
    /// A write found the file gone from the path: the use under way lets go of it as it ends.
    bool fileLeftPath_ = false;
    /// A committed write is still in the log: readers kept it from being emptied.
    bool logHoldsFrames_ = false;
    std::chrono::milliseconds readersWaitAtClose_{0};
    /// The store file as it was when it was opened, and where it is since it left the path, when
    /// it was moved rather than deleted.
    std::optional<FileIdentity> storeIdentity_;
    std::optional<std::filesystem::path> leftFileNowAt_;
    /// The log and shared memory files beside the store as they were when it was opened.
    std::optional<FileIdentity> logIdentity_;
    std::optional<FileIdentity> sharedMemoryIdentity_;

    std::mutex observersMutex_;
    std::uint64_t nextObserverId_ = 1;
    std::vector<std::pair<std::uint64_t, std::shared_ptr<std::function<void(const StoreChange&)>>>> observers_;
};

} // namespace norvane::platform
