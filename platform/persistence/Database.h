#pragma once

#include "platform/persistence/SqlValue.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace norvane::platform {

class Statement;

/// One SQLite connection. Not copyable: the connection's identity matters (transactions,
/// data_version). Not thread-safe by itself; its owner serialises access.
class Database {
public:
    enum class Access {
        readWrite, ///< creates the file when missing
        readOnly,
        /// Read-only, without locks or shared memory: for a file that nobody can be writing,
        /// whose folder may not even allow the lock files to be created.
        immutable,
    };

    /// Opens the file at `path`; ":memory:" opens a private in-memory database.
    Database(const std::string& path, Access access);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void execute(std::string_view sql);
    Statement prepare(std::string_view sql);
    std::int64_t lastInsertRowId() const;
    void setLastInsertRowId(std::int64_t key);
    /// Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    /// Throws the right StoreError subclass for the connection's last error.
    [[noreturn]] void fail(std::string_view context) const;
    const std::string& path() const { return path_; }
    Access access() const { return access_; }
    sqlite3* handle() const { return handle_; }
    /// How long a statement waits for a lock that another connection holds before it fails; a wait
    /// also ends once the waits of its thread are interrupted (InterruptibleWaits), and never begins
    /// on a thread that may not wait (NoWaits).
    void setBusyTimeout(std::chrono::milliseconds timeout);
    /// Whether the file at the path is no longer the one open: deleted, replaced or moved.
    bool hasMoved() const;

private:
    /// SQLite's busy handler: whether to try the lock again after a pause.
    static int waitForLock(void* database, int triesBefore);

    sqlite3* handle_ = nullptr;
    std::string path_;
    Access access_;
    std::chrono::milliseconds busyTimeout_{0};
    std::chrono::steady_clock::time_point waitStart_;
};

/// A prepared statement, finalised by its destructor.
class Statement {
public:
    Statement(Database& database, sqlite3_stmt* handle) : database_(&database), handle_(handle) {}
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const SqlValue& value); ///< 1-based, as SQLite counts
    void bindAll(const std::vector<SqlValue>& values);
    /// Binds as `bindAll` does, but without copying texts and blobs: `values` must stay unchanged
    /// until the statement has run.
    void bindAllInPlace(const std::vector<SqlValue>& values);
    /// Bind one value of each storage class without making a SqlValue of it. Texts and bytes are
    /// not copied: they must stay unchanged until the statement has run.
    void bindNull(int index);
    void bindInteger(int index, std::int64_t value);
    void bindReal(int index, double value);
    void bindTextInPlace(int index, std::string_view text);
    void bindBytesInPlace(int index, const std::uint8_t* bytes, std::size_t size);
    /// Advances to the next row; false when there is none.
    bool step();
    /// Runs a statement that returns no rows.
    void run();
    void reset();
    int columnCount() const;
    SqlValue column(int index) const; ///< 0-based

private:
    void bind(int index, const SqlValue& value, bool copy);
    void check(int result);

    Database* database_;
    sqlite3_stmt* handle_;
};

/// Begins a transaction in its constructor and rolls it back in its destructor unless `commit()`
/// succeeded. A write transaction takes the write lock at once; a read transaction sees one
/// state of the store from its first read to its end.
class Transaction {
public:
    enum class Kind { write, read };
    explicit Transaction(Database& database, Kind kind = Kind::write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& database_;
    bool committed_ = false;
};

} // namespace norvane::platform
