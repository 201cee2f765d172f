#include "platform/persistence/ModelContainer.h"

#include "platform/Backoff.h"
#include "platform/ErrorLog.h"
#include "platform/InterruptibleWaits.h"
#include "platform/NoWaits.h"
#include "platform/persistence/LocalizedCollation.h"
#include "platform/persistence/StoreError.h"
#include "platform/persistence/StoreSideFiles.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>
#include <utility>

namespace norvane::platform {
namespace {

constexpr const char* metadataTable = "norvane_metadata";
constexpr std::chrono::milliseconds busyTimeout = ModelContainer::lockWait;
/// How often an opening is tried when the file vanishes from under it.
constexpr int openingAttempts = 3;

/// "MAJOR.MINOR.PATCH", three decimal numbers without signs or spaces; none for anything else.
std::optional<std::array<std::uint32_t, 3>> parseVersion(std::string_view text) {
    std::array<std::uint32_t, 3> parts{};
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const char* end = text.data() + text.size();
        const auto [next, error] = std::from_chars(text.data(), end, parts[index]);
        const bool digitsRead = error == std::errc() && next != text.data();
        const bool separatorFollows = index + 1 < parts.size() ? next != end && *next == '.' : next == end;
        if (!digitsRead || !separatorFollows) return std::nullopt;
        text.remove_prefix(static_cast<std::size_t>(next - text.data()) + (index + 1 < parts.size() ? 1 : 0));
    }
    return parts;
}

std::string columnDefinition(const ColumnInfo& column) {
    std::string definition = "\"" + column.name + "\" " + column.sqlType;
    if (!column.nullable) definition += " NOT NULL";
    if (column.unique) definition += " UNIQUE";
    if (column.relationTarget) {
        definition += " REFERENCES \"" + column.relationTarget()->table + "\"(pk) ON DELETE ";
        definition += column.deleteRule == DeleteRule::cascade ? "CASCADE" : "SET NULL";
    }
    return definition;
}

std::string tableDefinition(const EntityInfo& entity) {
    std::string sql = "CREATE TABLE IF NOT EXISTS \"" + entity.table + "\" (pk INTEGER PRIMARY KEY";
    for (const auto& column : entity.columns) sql += ", " + columnDefinition(column);
    return sql + ")";
}

std::string indexName(const EntityInfo& entity, const IndexInfo& index) {
    std::string name = entity.table + "_by";
    for (const auto& column : index.columns) name += "_" + column;
    return name;
}

/// The entity's declared indexes, and one on each relationship that none of them starts with, so
/// that cascades and per-parent fetches do not scan the table.
std::vector<IndexInfo> indexesOf(const EntityInfo& entity) {
    auto indexes = entity.indexes;
    for (const auto& column : entity.columns) {
        const bool covered = std::any_of(indexes.begin(), indexes.end(),
                                         [&](const IndexInfo& index) { return index.columns.front() == column.name; });
        if (column.relationTarget && !covered) indexes.push_back({{column.name}, false});
    }
    return indexes;
}

/// What a store file holds, read without writing anything.
struct StoreLayout {
    std::set<std::string> tables;
    std::set<std::string> indexes;
    std::optional<std::string> version;
};

StoreLayout readLayout(Database& database) {
    StoreLayout layout;
    auto entries = database.prepare("SELECT type, name FROM sqlite_master WHERE type IN ('table', 'index')");
    while (entries.step()) {
        const auto type = std::get<std::string>(entries.column(0));
        (type == "table" ? layout.tables : layout.indexes).insert(std::get<std::string>(entries.column(1)));
    }
    if (layout.tables.contains(metadataTable)) {
        auto query =
            database.prepare(std::string("SELECT value FROM ") + metadataTable + " WHERE key = 'schemaVersion'");
        if (query.step()) {
            // A value that is not text is kept as none: a version that cannot be read.
            const auto value = query.column(0);
            if (const auto* text = std::get_if<std::string>(&value)) layout.version = *text;
        }
    }
    return layout;
}

/// A store whose version is newer than the schema, or cannot be read at all, is another
/// program's: opening it must neither use nor rewrite it.
void refuseUnknownVersion(const StoreLayout& layout, const Schema& schema, const std::string& where) {
    if (!layout.tables.contains(metadataTable)) return;
    const auto version = layout.version ? parseVersion(*layout.version) : std::nullopt;
    if (!version) {
        throw StoreError("The store " + where + " carries a schema version that cannot be read (" +
                         (layout.version ? "\"" + *layout.version + "\"" : std::string("none")) +
                         "); this version of Norvane reads schema " + schema.version);
    }
    if (*version > parseVersion(schema.version).value()) {
        throw StoreError("The store " + where + " was written by a newer version of Norvane (schema " +
                         *layout.version + "); this version reads schema " + schema.version);
    }
}

/// Whether the store was written by an older version, which opening brings up to date.
bool isOlder(const StoreLayout& layout, const Schema& schema) {
    return layout.version && *layout.version != schema.version;
}

/// The name the system gives a process, or none once it ended.
std::string commandOf(pid_t process) {
    std::string command;
    std::getline(std::ifstream("/proc/" + std::to_string(process) + "/comm"), command);
    return command;
}

/// One process that has `file` open, as " (COMMAND, process PID)", where the system names one: what
/// to close.
std::string holderNamed(const std::filesystem::path& file) {
    const pid_t process = StoreSideFiles::otherHolderOf(file);
    if (process <= 0) return {};
    const auto command = commandOf(process);
    return " (" + (command.empty() ? "" : command + ", ") + "process " + std::to_string(process) + ")";
}

/// Why a store of an older version is not brought up to date: another process kept it open for
/// longer than the lock wait.
StoreError heldByAnother(const std::filesystem::path& file, const std::string& olderVersion) {
    return StoreError("The store " + file.string() + " was written by an earlier version of Norvane (schema " +
                      olderVersion + "), and another program has it open" + holderNamed(file) +
                      ": an older Norvane, or one that reads the store. Quit the older Norvane's window and let "
                      "its commands end, or close the program that reads the store, then try again; nothing was "
                      "changed");
}

/// Pauses between the looks of a wait for the store alone, whether another program has it open.
constexpr std::chrono::milliseconds firstAlonePause{5};
constexpr std::chrono::milliseconds longestAlonePause{100};
/// Such a wait that lasts longer than this is said, so that nobody takes a silent command for a hung one.
constexpr std::chrono::seconds quietAloneWait{1};

/// Takes (SQLITE_LOCK_SHARED) or lets go of (SQLITE_LOCK_NONE) the connection's lock on the store
/// file, which SQLite in WAL mode takes at the first read and keeps until it closes; through SQLite's
/// own file, which counts the locks of the process's connections. Whether it did.
bool setStoreLock(Database& database, int level) {
    sqlite3_file* store = nullptr;
    sqlite3_file_control(database.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &store);
    if (store == nullptr || store->pMethods == nullptr) return false;
    const auto& methods = *store->pMethods;
    return (level == SQLITE_LOCK_NONE ? methods.xUnlock(store, level) : methods.xLock(store, level)) == SQLITE_OK;
}

/// Begins the upgrade's write transaction with the store alone (`locking_mode = EXCLUSIVE`) once no
/// other process has it open, or a plain one once another program of this version has brought it up
/// to date meanwhile; fails as `heldByAnother` when neither comes within the lock wait.
void beginAlone(Database& database, const std::filesystem::path& file, const Schema& schema,
                const std::string& olderVersion, std::optional<Transaction>& transaction) {
    // SQLite's own wait would hold the lock that turns every new reader away (PENDING) from its first
    // refused try until the connection closes. So the store is asked for only when no other process
    // holds it, and what a refused try took is let go at once. Between tries the connection holds not
    // even its read lock, so that other programs of this version that wait too do not count it, and
    // the turn at the folder, which older programs take to open the store, is let go too.
    database.execute("PRAGMA locking_mode = EXCLUSIVE");
    database.setBusyTimeout(std::chrono::milliseconds(0));
    const auto start = std::chrono::steady_clock::now();
    Backoff pauses(firstAlonePause, longestAlonePause);
    bool said = false;
    while (true) {
        if (setStoreLock(database, SQLITE_LOCK_SHARED)) {
            try {
                if (!isOlder(readLayout(database), schema)) {
                    database.execute("PRAGMA locking_mode = NORMAL");
                    break;
                }
                if (StoreSideFiles::otherHolderOf(file) == 0) {
                    transaction.emplace(database);
                    break;
                }
            } catch (const StoreBusyError&) {
                // Another connection of this process has it, or another process took it just now.
            }
        }
        setStoreLock(database, SQLITE_LOCK_NONE);
        // Only kept waiting, on a thread that may not wait: the store may well be free at the next use.
        if (NoWaits::inForce()) throw StoreBusyError("The store " + file.string() + " is held by another program");
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited >= busyTimeout || InterruptibleWaits::interrupted()) throw heldByAnother(file, olderVersion);
        if (waited >= quietAloneWait && !std::exchange(said, true)) {
            logNotice("waiting for another program" + holderNamed(file) + " to close the store " + file.string() +
                      ", which was written by an earlier version of Norvane (schema " + olderVersion +
                      ") and is brought up to date only while no other program has it open; should it stay open, "
                      "this gives up after " +
                      std::to_string(std::chrono::duration_cast<std::chrono::seconds>(busyTimeout).count()) +
                      " seconds and changes nothing");
        }
        StoreSideFiles::Turn::pauseOutside(pauses.next());
    }
    database.setBusyTimeout(busyTimeout);
    if (!transaction) transaction.emplace(database);
}

/// Whether opening has to write: a new store, a missing table or index, or an older version.
bool needsSetUp(const StoreLayout& layout, const Schema& schema) {
    if (layout.version != schema.version || !layout.tables.contains(std::string(keysTable))) return true;
    for (const EntityInfo* entity : schema.entities) {
        if (!layout.tables.contains(entity->table)) return true;
        for (const auto& index : indexesOf(*entity)) {
            if (!layout.indexes.contains(indexName(*entity, index))) return true;
        }
    }
    return false;
}

void createTables(Database& database, const Schema& schema) {
    database.execute(std::string("CREATE TABLE IF NOT EXISTS ") + metadataTable +
                     " (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
    database.execute("CREATE TABLE IF NOT EXISTS " + std::string(keysTable) +
                     " (\"table\" TEXT PRIMARY KEY, lastKey INTEGER NOT NULL)");
    for (const EntityInfo* entity : schema.entities) {
        database.execute(tableDefinition(*entity));
        for (const auto& index : indexesOf(*entity)) {
            std::string columns;
            for (const auto& column : index.columns) columns += (columns.empty() ? "\"" : ", \"") + column + "\"";
            database.execute(std::string("CREATE ") + (index.unique || index.replaces ? "UNIQUE " : "") +
                             "INDEX IF NOT EXISTS \"" + indexName(*entity, index) + "\" ON \"" + entity->table +
                             "\" (" + columns + ")");
        }
    }
}

std::string describe(const std::optional<std::filesystem::path>& file) {
    return file ? file->string() : std::string("(in memory)");
}

bool isWritable(const std::filesystem::path& path) { return access(path.c_str(), W_OK) == 0; }

bool pathExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

/// Why this user may only read an existing store file, or none when it may write it.
std::optional<std::string> readOnlyReason(const std::filesystem::path& file) {
    if (!pathExists(file)) return std::nullopt;
    if (!isWritable(file)) return "the file is not writable";
    const auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (!isWritable(folder)) return "its folder is not writable";
    return std::nullopt;
}

/// A read-only connection without lock files when there are none to share: creating them would
/// leave files behind that this user cannot remove or write, and that block the store's owner.
Database::Access readOnlyAccess(const std::filesystem::path& file) {
    const bool shared = pathExists(file.string() + "-wal") || pathExists(file.string() + "-shm");
    return shared ? Database::Access::readOnly : Database::Access::immutable;
}

/// The containers of this process that have a store file.
struct OpenContainers {
    std::mutex mutex;
    std::vector<ModelContainer*> containers;

    /// Never destroyed: a container that a static of another file holds ends after this file's statics.
    static OpenContainers& shared() {
        static auto* instance = new OpenContainers;
        return *instance;
    }
};

/// SQLite gives an empty log the store's mode as a connection opens it, so a log emptied while the
/// store could only be read may only be read in turn: opened for writing again, every connection
/// that opened it then would fail to write. The owner's right to write comes back with the store's.
void letOwnerWriteSideFiles(const std::filesystem::path& file) {
    for (const char* suffix : {"-wal", "-shm"}) {
        const std::string side = file.string() + suffix;
        struct stat status {};
        if (::stat(side.c_str(), &status) == 0 && status.st_uid == ::geteuid() && (status.st_mode & S_IWUSR) == 0) {
            static_cast<void>(::chmod(side.c_str(), (status.st_mode & 07777) | S_IRUSR | S_IWUSR));
        }
    }
}

/// The -shm file, which the connections to a store in WAL mode share, could not be made or grown.
bool isSharedMemoryFailure(int code) {
    return code == SQLITE_IOERR_SHMOPEN || code == SQLITE_IOERR_SHMSIZE || code == SQLITE_IOERR_SHMMAP;
}

} // namespace

ModelContainer::Use::Use(ModelContainer& container) : container_(container) {
    if (container_.uses_++ > 0) return;
    try {
        container_.followFile();
    } catch (...) {
        --container_.uses_;
        throw;
    }
}

ModelContainer::Use::~Use() {
    if (--container_.uses_ > 0 || !container_.fileLeftPath_) return;
    try {
        container_.retire();
    } catch (const StoreBusyError&) {
        // Another has its turn, which this thread may not wait for: the next use lets go.
    }
}

Database& ModelContainer::Use::database() const { return *container_.database_; }

ModelContainer::ModelContainer(Schema schema, std::optional<std::filesystem::path> file, Intent intent,
                               std::function<void(const std::filesystem::path&)> beforeOpening)
    : schema_(std::move(schema)), file_(std::move(file)), intent_(intent), beforeOpening_(std::move(beforeOpening)) {
    if (!file_) return;
    std::error_code error;
    const auto absolute = std::filesystem::absolute(*file_, error);
    followedPath_ = (error ? *file_ : absolute).lexically_normal();
}

ModelContainer::~ModelContainer() {
    {
        auto& open = OpenContainers::shared();
        std::lock_guard lock(open.mutex);
        std::erase(open.containers, this);
    }
    if (!database_ || !file_) return;
    // Lets go of the file whatever thread it ends on, taking its turn as every closing does.
    const NoWaits::Lifted closing;
    // Outside the turn: openings and closings elsewhere go on while this one waits.
    if (readersWaitAtClose_.count() > 0 && !database_->hasMoved()) emptyLogOnceReadersLetGo();
    const StoreSideFiles::Turn turn(*file_);
    // Closing a file that left its path, SQLite copies nothing into it and leaves its log where it
    // was, for the file there to be read with.
    if (database_->hasMoved()) {
        retire();
    } else {
        if (logHoldsFrames_) emptyLog();
        database_.reset();
    }
}

std::shared_ptr<ModelContainer> ModelContainer::open(const std::filesystem::path& file, const Schema& schema,
                                                     Intent intent,
                                                     std::function<void(const std::filesystem::path&)> beforeOpening) {
    std::shared_ptr<ModelContainer> container(new ModelContainer(schema, file, intent, std::move(beforeOpening)));
    container->connect();
    ++container->opening_;
    auto& open = OpenContainers::shared();
    std::lock_guard lock(open.mutex);
    open.containers.push_back(container.get());
    return container;
}

void ModelContainer::connect() {
    // A file or folder deleted between its making and SQLite's opening is made again, as it was
    // then: the deletion that made the opening necessary may still be under way.
    for (int attempt = 1;; ++attempt) {
        if (beforeOpening_) beforeOpening_(*file_);
        try {
            connectToFileAtPath();
            return;
        } catch (const StoreError&) {
            if (attempt == openingAttempts || pathExists(*file_)) throw;
        }
    }
}

void ModelContainer::connectToFileAtPath() {
    const StoreSideFiles::Turn turn(*file_);
    releaseMovedFilesOfOthers();
    // Those that hold them for a file that left the path keep using them; the file at the path
    // gets side files of its own.
    StoreSideFiles(*file_).setAsideIfAnotherFiles();
    try {
        try {
            connectShared();
        } catch (const StoreError& error) {
            if (intent_ != Intent::readOnly || !isSharedMemoryFailure(error.code())) throw;
            connectUnshared(error.reason());
        }
    } catch (...) {
        database_.reset();
        throw;
    }
    // An immutable connection reads no log: any beside the file is another connection's.
    const bool usesLog = database_->access() != Database::Access::immutable;
    storeIdentity_ = FileIdentity::of(*file_);
    logIdentity_ = usesLog ? FileIdentity::of(file_->string() + "-wal") : std::nullopt;
    sharedMemoryIdentity_ = usesLog ? FileIdentity::of(file_->string() + "-shm") : std::nullopt;
    // Replaced again at once: what is there now may be another store's.
    if (database_->hasMoved()) storeIdentity_ = logIdentity_ = sharedMemoryIdentity_ = std::nullopt;
    leftFileNowAt_.reset();
}

void ModelContainer::connectUnshared(const std::string& sharedMemoryFailure) {
    database_ = std::make_unique<Database>(file_->string(), Database::Access::readWrite);
    // Set before the first read, this keeps SQLite from the shared memory file for good.
    database_->execute("PRAGMA locking_mode = EXCLUSIVE");
    readOnlyReason_ = "its shared memory file cannot be written: " + sharedMemoryFailure;
    prepare();
}

void ModelContainer::connectShared() {
    const auto& file = *file_;
    readOnlyReason_ = readOnlyReason(file);
    if (!readOnlyReason_) letOwnerWriteSideFiles(file);
    database_ =
        std::make_unique<Database>(file.string(), readOnlyReason_ ? readOnlyAccess(file) : Database::Access::readWrite);
    // A store that several processes open at once for the first time: the one setting it up may
    // hold it for a moment in ways SQLite's busy handler does not wait for.
    const auto deadline = std::chrono::steady_clock::now() + busyTimeout;
    while (true) {
        try {
            prepare();
            return;
        } catch (const StoreBusyError& error) {
            if (std::chrono::steady_clock::now() >= deadline || InterruptibleWaits::interrupted() ||
                NoWaits::inForce()) {
                throw StoreBusyError("The store " + file.string() + " stays locked by another program", error.code());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

std::shared_ptr<ModelContainer> ModelContainer::inMemory(const Schema& schema) {
    std::shared_ptr<ModelContainer> container(new ModelContainer(schema, std::nullopt, Intent::readAndWrite, {}));
    container->database_ = std::make_unique<Database>(":memory:", Database::Access::readWrite);
    container->prepare();
    return container;
}

void ModelContainer::followFile() {
    if (!file_) return;
    if (database_ && !database_->hasMoved()) {
        if (intent_ == Intent::readAndWrite && readOnlyReason_ && !readOnlyReason(*file_)) reopenForWriting();
        return;
    }
    if (database_) retire();
    try {
        connect();
        ++opening_;
        openingUnannounced_ = true;
        const std::lock_guard failureLock(openingFailureMutex_);
        openingFailure_.reset();
    } catch (const StoreBusyError&) {
        // Only kept waiting: the file there may well be a store, as the next use will find.
        throw;
    } catch (const std::exception& failure) {
        // No store at the path for a container that makes none: say where the one it had went.
        const bool moved = leftFileNowAt_ && dynamic_cast<const StoreMovedError*>(&failure);
        const std::string reason =
            moved ? StoreMovedError::moved(file_->string(), leftFileNowAt_->string()).what() : failure.what();
        openingUnannounced_ = openingUnannounced_ || openingFailure_ != reason;
        {
            const std::lock_guard failureLock(openingFailureMutex_);
            openingFailure_ = reason;
        }
        if (moved) throw StoreMovedError(reason);
        throw;
    }
}

void ModelContainer::reopenForWriting() {
    const StoreSideFiles::Turn turn(*file_);
    auto reading = std::move(database_);
    const auto reason = readOnlyReason_;
    try {
        connect();
    } catch (const std::exception&) {
        // Read on as before: a write says why it cannot be made.
        database_ = std::move(reading);
        readOnlyReason_ = reason;
    }
}

void ModelContainer::releaseMovedFilesOfOthers() {
    auto& open = OpenContainers::shared();
    std::lock_guard lock(open.mutex);
    for (auto* other : open.containers) {
        if (other != this && other->followedPath_ == followedPath_) other->releaseIfMoved();
    }
}

void ModelContainer::releaseIfMoved() {
    // One in use lets go at its next use; waiting for it here could wait for this one.
    std::unique_lock lock(databaseMutex_, std::try_to_lock);
    if (lock && uses_ == 0 && database_ && database_->hasMoved()) retire();
}

void ModelContainer::retire() {
    const StoreSideFiles::Turn turn(*file_);
    const std::string log = file_->string() + "-wal";
    const std::string sharedMemory = file_->string() + "-shm";
    // The file was moved or replaced by a rename, and its log and shared memory file stayed at the
    // path: whoever opens the file there would read this log as its own. Its pages go into the
    // file they belong to, wherever it is now, and both go, as SQLite removes them when the last
    // connection to a store closes; never from under a connection to the file at the path.
    if (logIdentity_ && logIdentity_ == FileIdentity::of(log) &&
        StoreSideFiles(*file_).owner() != StoreSideFiles::Owner::storeAtPath) {
        // A reader of the old file may still hold the log: what it keeps from being copied stays in
        // the log, which goes all the same.
        emptyLog();
        ::unlink(log.c_str());
        if (sharedMemoryIdentity_ && sharedMemoryIdentity_ == FileIdentity::of(sharedMemory)) {
            ::unlink(sharedMemory.c_str());
        }
    }
    if (storeIdentity_) leftFileNowAt_ = storeIdentity_->whereOpen();
    database_.reset();
    fileLeftPath_ = false;
    logHoldsFrames_ = false;
}

void ModelContainer::requireFileAtPath() {
    if (!file_ || !database_->hasMoved()) return;
    fileLeftPath_ = true;
    throw leftPath("this change was made");
}

StoreMovedError ModelContainer::leftPath(const std::string& during) const {
    if (pathExists(*file_)) return StoreMovedError::replaced(file_->string(), during);
    const auto place = storeIdentity_ ? storeIdentity_->whereOpen() : std::nullopt;
    return place ? StoreMovedError::moved(file_->string(), place->string()) : StoreMovedError::deleted(file_->string());
}

void ModelContainer::commit(Transaction& transaction) {
    // Checked with the write lock held, so no writer of the file that may be there now comes between.
    requireFileAtPath();
    transaction.commit();
    // Gone as it committed or as its log was copied in: the write is in the file that left.
    if (file_ && !database_->hasMoved()) emptyLog();
    requireFileAtPath();
}

void ModelContainer::waitForReadersAtClose(std::chrono::milliseconds limit) {
    const auto lock = lockConnection();
    readersWaitAtClose_ = limit;
}

void ModelContainer::emptyLogOnceReadersLetGo() {
    // Tried without waiting each time, so that the write lock that emptying takes is held only for
    // a moment and writers elsewhere never wait for these readers.
    if (!logHoldsFrames_) return;
    // Not cut short by an ending, whose log it empties.
    const auto deadline = std::chrono::steady_clock::now() + readersWaitAtClose_;
    emptyLog();
    while (logHoldsFrames_ && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        emptyLog();
    }
}

void ModelContainer::emptyLog() {
    // Without waiting: a reader that holds the log ends soon, and the log is emptied at the next try.
    database_->setBusyTimeout(std::chrono::milliseconds(0));
    try {
        auto checkpoint = database_->prepare("PRAGMA wal_checkpoint(TRUNCATE)");
        // Its first column says whether another connection kept the log from being emptied.
        logHoldsFrames_ = !checkpoint.step() || std::get<std::int64_t>(checkpoint.column(0)) != 0;
    } catch (const StoreError&) {
        logHoldsFrames_ = true;
    }
    database_->setBusyTimeout(busyTimeout);
}

void ModelContainer::prepare() {
    Database& database = *database_;
    const std::string where = describe(file_);
    database.setBusyTimeout(busyTimeout);
    registerLocalizedCollation(database.handle());

    // Everything up to the set-up only reads: a file that is not ours stays untouched.
    StoreLayout layout;
    try {
        layout = readLayout(database);
    } catch (const StoreBusyError&) {
        throw;
    } catch (const StoreError& error) {
        if ((error.code() & 0xFF) == SQLITE_NOTADB) {
            throw StoreError("The file " + where + " is not a Norvane store: " + error.reason(), error.code());
        }
        throw StoreError("Cannot open the store " + where + ": " + error.reason(), error.code(), error.reason());
    }
    if (!layout.tables.empty() && !layout.tables.contains(metadataTable)) {
        throw StoreError("The file " + where + " is not a Norvane store: it holds other tables");
    }
    refuseUnknownVersion(layout, schema_, where);
    if (needsSetUp(layout, schema_)) {
        if (readOnlyReason_ && layout.tables.empty()) {
            throw StoreError("The store " + where + " is empty and cannot be set up: " + *readOnlyReason_);
        }
        // A store of an earlier version may lack what this one reads, and only an upgrade adds
        // it; one that lacks only an index or the keys' table still reads.
        if (readOnlyReason_ && isOlder(layout, schema_)) {
            throw StoreError("The store " + where + " was written by an earlier version (schema " + *layout.version +
                             ") and cannot be brought up to date: " + *readOnlyReason_);
        }
        if (!readOnlyReason_) setUp(isOlder(layout, schema_) ? layout.version : std::nullopt);
    } else if (file_ && !readOnlyReason_) {
        // Already in WAL mode, so this writes nothing; it sets the connection up for it before
        // the first read, which keeps reads as cheap as they were.
        database.execute("PRAGMA journal_mode = WAL");
    }
    database.execute("PRAGMA synchronous = NORMAL");
    database.execute("PRAGMA foreign_keys = ON");
    lastDataVersion_ = dataVersion();
}

void ModelContainer::setUp(const std::optional<std::string>& olderVersion) {
    Database& database = *database_;
    if (file_) database.execute("PRAGMA journal_mode = WAL");
    // A program that has the store open (an older Norvane, a reader) would go on with the rows as
    // it reads them: an upgrade holds the file alone, which it gets once every other connection
    // has let go, within the lock wait.
    const bool alone = file_ && olderVersion;
    std::optional<Transaction> transaction;
    if (alone) {
        beginAlone(database, *file_, schema_, *olderVersion, transaction);
    } else {
        transaction.emplace(database);
    }
    // Another process may have set the store up while this one waited for the lock.
    const auto layout = readLayout(database);
    refuseUnknownVersion(layout, schema_, describe(file_));
    createTables(database, schema_);
    if (isOlder(layout, schema_) && schema_.upgrade) {
        schema_.upgrade(database, *layout.version);
    }
    if (layout.version != schema_.version) {
        auto version = database.prepare(std::string("INSERT OR REPLACE INTO ") + metadataTable +
                                        " (key, value) VALUES ('schemaVersion', ?)");
        version.bind(1, schema_.version);
        version.run();
    }
    transaction->commit();
    // A store's first write and an upgrade leave nothing in the log, as every save does: a log left
    // at the path is replayed into whatever file is put there next.
    if (file_) emptyLog();
    if (alone) {
        // The file is shared again from the next read on.
        database.execute("PRAGMA locking_mode = NORMAL");
        database.execute("SELECT count(*) FROM sqlite_master");
    }
}

std::unique_lock<std::recursive_mutex> ModelContainer::lockConnection() const {
    if (!NoWaits::inForce()) return std::unique_lock(databaseMutex_);
    std::unique_lock lock(databaseMutex_, std::try_to_lock);
    if (!lock) throw StoreBusyError("The store " + describe(file_) + " is in use by another thread of this program");
    return lock;
}

std::optional<std::string> ModelContainer::openingFailure() const {
    const std::lock_guard lock(openingFailureMutex_);
    return openingFailure_;
}

bool ModelContainer::isReadOnly() const {
    const auto lock = lockConnection();
    return readOnlyReason_.has_value();
}

void ModelContainer::requireWritable() const {
    const auto lock = lockConnection();
    if (readOnlyReason_) {
        throw StoreError("The store " + describe(file_) + " is read-only (" + *readOnlyReason_ +
                         "); nothing was changed");
    }
}

std::int64_t ModelContainer::dataVersion() {
    auto statement = database_->prepare("PRAGMA data_version");
    return statement.step() ? std::get<std::int64_t>(statement.column(0)) : 0;
}

ObserverRegistration ModelContainer::observe(std::function<void(const StoreChange&)> observer) {
    std::lock_guard lock(observersMutex_);
    const std::uint64_t id = nextObserverId_++;
    observers_.emplace_back(id, std::make_shared<std::function<void(const StoreChange&)>>(std::move(observer)));
    std::weak_ptr<ModelContainer> weakSelf = weak_from_this();
    return ObserverRegistration([weakSelf, id] {
        if (auto self = weakSelf.lock()) {
            std::lock_guard innerLock(self->observersMutex_);
            std::erase_if(self->observers_, [id](const auto& entry) { return entry.first == id; });
        }
    });
}

void ModelContainer::query(std::string_view sql, const std::vector<SqlValue>& arguments,
                           const std::function<void(const QueryRow&)>& row) {
    withDatabase([&](Database& database) {
        auto statement = database.prepare(sql);
        statement.bindAll(arguments);
        const QueryRow current(statement);
        while (statement.step()) row(current);
    });
}

void ModelContainer::notify(const StoreChange& change) {
    std::vector<std::shared_ptr<std::function<void(const StoreChange&)>>> targets;
    {
        std::lock_guard lock(observersMutex_);
        for (const auto& entry : observers_) targets.push_back(entry.second);
    }
    for (const auto& target : targets) (*target)(change);
}

bool ModelContainer::checkForExternalChanges() {
    bool changed = false;
    {
        const auto lock = lockConnection();
        try {
            const Use use(*this);
            const std::int64_t current = dataVersion();
            changed = current != lastDataVersion_;
            lastDataVersion_ = current;
            if (logHoldsFrames_) emptyLog();
        } catch (const std::exception&) {
            // Said by every use until the file at the path opens.
        }
        changed = changed || openingUnannounced_;
        openingUnannounced_ = false;
    }
    if (changed) {
        StoreChange change;
        change.external = true;
        for (const EntityInfo* entity : schema_.entities) change.entityNames.insert(entity->name);
        notify(change);
    }
    return changed;
}

std::size_t ModelContainer::entityOrder(const EntityInfo& entity) const {
    const auto found = std::find(schema_.entities.begin(), schema_.entities.end(), &entity);
    return static_cast<std::size_t>(found - schema_.entities.begin());
}

} // namespace norvane::platform
