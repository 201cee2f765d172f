#include "platform/persistence/Database.h"

#include "platform/InterruptibleWaits.h"
#include "platform/NoWaits.h"
#include "platform/persistence/StoreError.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

namespace norvane::platform {
namespace {

/// Turns off SQLite's memory statistics, which nothing here reads: keeping them takes a global
/// lock on every allocation. Settings like this one apply only before SQLite's first use.
void configureSqlite() {
    [[maybe_unused]] static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
}

/// A file URI for `path` that opens it without locks or shared memory.
std::string immutableUri(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char digits[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            uri += {'%', digits[byte >> 4], digits[byte & 0xF]};
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

/// Why SQLite failed, in words for the user rather than SQLite's own, which speak of its pages and
/// tables; where the file system refused, with the system's reason ("I/O error" alone does not tell
/// a full disk from a missing permission). A failure that only a fault of this program's makes keeps
/// SQLite's text after a sentence of ours, for whoever reports it.
std::string describeFailure(sqlite3* handle, int code) {
    const int systemError = sqlite3_system_errno(handle);
    const auto withSystemReason = [systemError](std::string text) {
        return systemError == 0 ? text : text + ": " + std::system_category().message(systemError);
    };
    // SQLite tells a full disk as such only where it writes the store or its log; growing the shared
    // memory file on one fails as any other write does.
    if (systemError == ENOSPC) return withSystemReason("the disk is full");
    switch (code & 0xFF) {
    case SQLITE_CONSTRAINT:
        if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
            return "The store already holds a record that it keeps only once; nothing was saved";
        }
        // A trigger's refusal is worded by whoever wrote the trigger.
        if (code == SQLITE_CONSTRAINT_TRIGGER) return sqlite3_errmsg(handle);
        return std::string("the store refused a record that breaks its rules: ") + sqlite3_errmsg(handle);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "Another program kept the store locked for longer than this one waits";
    case SQLITE_CORRUPT: return "the file is damaged";
    case SQLITE_NOTADB: return "the file is not a database";
    case SQLITE_FULL: return withSystemReason("the disk is full");
    case SQLITE_READONLY: return withSystemReason("the file may only be read");
    case SQLITE_IOERR: return withSystemReason("the file could not be read or written");
    case SQLITE_CANTOPEN: return withSystemReason("the file could not be opened");
    case SQLITE_PERM: return withSystemReason("the file may not be used");
    case SQLITE_NOMEM: return "out of memory";
    case SQLITE_ERROR:
        return std::string("the file does not hold what this program expects: ") + sqlite3_errmsg(handle);
    default: return std::string("the file could not be used: ") + sqlite3_errmsg(handle);
    }
}

} // namespace

Database::Database(const std::string& path, Access access) : path_(path), access_(access) {
    configureSqlite();
    int flags = SQLITE_OPEN_NOMUTEX;
    std::string name = path;
    switch (access) {
    case Access::readWrite: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    case Access::readOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Access::immutable:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        name = immutableUri(path);
        break;
    }
    if (sqlite3_open_v2(name.c_str(), &handle_, flags, nullptr) != SQLITE_OK) {
        const std::string message =
            handle_ ? describeFailure(handle_, sqlite3_extended_errcode(handle_)) : std::string("out of memory");
        sqlite3_close(handle_);
        handle_ = nullptr;
        throw StoreError("Cannot open the store " + path + ": " + message);
    }
    sqlite3_extended_result_codes(handle_, 1);
}

Database::~Database() { sqlite3_close_v2(handle_); }

void Database::execute(std::string_view sql) {
    char* message = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(handle_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        fail(text);
    }
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        fail(sql);
    }
    return Statement(*this, statement);
}

std::int64_t Database::lastInsertRowId() const { return sqlite3_last_insert_rowid(handle_); }

void Database::setLastInsertRowId(std::int64_t key) { sqlite3_set_last_insert_rowid(handle_, key); }

int Database::changes() const { return sqlite3_changes(handle_); }

void Database::setBusyTimeout(std::chrono::milliseconds timeout) {
    busyTimeout_ = timeout;
    sqlite3_busy_handler(handle_, timeout.count() > 0 ? &Database::waitForLock : nullptr, this);
}

int Database::waitForLock(void* database, int triesBefore) {
    // SQLite's own pauses: short at first, as most locks are held for a moment.
    static constexpr std::array<int, 12> pauses{1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    auto& self = *static_cast<Database*>(database);
    const auto now = std::chrono::steady_clock::now();
    if (triesBefore == 0) self.waitStart_ = now;
    const auto left = self.waitStart_ + self.busyTimeout_ - now;
    if (left <= std::chrono::steady_clock::duration::zero() || InterruptibleWaits::interrupted() || NoWaits::inForce())
        return 0;
    const std::chrono::milliseconds pause{pauses[std::min<std::size_t>(std::size_t(triesBefore), pauses.size() - 1)]};
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, left));
    return InterruptibleWaits::interrupted() ? 0 : 1;
}

bool Database::hasMoved() const {
    int moved = 0;
    return sqlite3_file_control(handle_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

void Database::fail(std::string_view context) const {
    (void)context;
    const int code = sqlite3_extended_errcode(handle_);
    const std::string reason = describeFailure(handle_, code);
    const std::string message = reason + " (" + path_ + ")";
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY) {
        throw UniqueConstraintError(message, code, reason);
    }
    if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED) {
        throw StoreBusyError(message, code, reason);
    }
    throw StoreError(message, code, reason);
}

Statement::~Statement() { sqlite3_finalize(handle_); }

Statement::Statement(Statement&& other) noexcept : database_(other.database_), handle_(other.handle_) {
    other.handle_ = nullptr;
}

void Statement::bind(int index, const SqlValue& value) { bind(index, value, true); }

void Statement::bind(int index, const SqlValue& value, bool copy) {
    const auto lifetime = copy ? SQLITE_TRANSIENT : SQLITE_STATIC;
    if (std::holds_alternative<std::monostate>(value)) {
        bindNull(index);
    } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        bindInteger(index, *integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        bindReal(index, *real);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        check(sqlite3_bind_text64(handle_, index, text->data(), text->size(), lifetime, SQLITE_UTF8));
    } else {
        const auto& blob = std::get<Blob>(value);
        check(sqlite3_bind_blob64(handle_, index, blob.data(), blob.size(), lifetime));
    }
}

void Statement::bindNull(int index) { check(sqlite3_bind_null(handle_, index)); }

void Statement::bindInteger(int index, std::int64_t value) { check(sqlite3_bind_int64(handle_, index, value)); }

void Statement::bindReal(int index, double value) { check(sqlite3_bind_double(handle_, index, value)); }

void Statement::bindTextInPlace(int index, std::string_view text) {
    // SQLite takes text without an address for NULL: an empty text keeps one.
    const char* characters = text.data() != nullptr ? text.data() : "";
    check(sqlite3_bind_text64(handle_, index, characters, text.size(), SQLITE_STATIC, SQLITE_UTF8));
}

void Statement::bindBytesInPlace(int index, const std::uint8_t* bytes, std::size_t size) {
    check(sqlite3_bind_blob64(handle_, index, bytes, size, SQLITE_STATIC));
}

void Statement::check(int result) {
    if (result != SQLITE_OK) {
        database_->fail("bind");
    }
}

void Statement::bindAll(const std::vector<SqlValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        bind(static_cast<int>(i + 1), values[i], true);
    }
}

void Statement::bindAllInPlace(const std::vector<SqlValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        bind(static_cast<int>(i + 1), values[i], false);
    }
}

bool Statement::step() {
    const int result = sqlite3_step(handle_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    sqlite3_reset(handle_);
    database_->fail("step");
}

void Statement::run() {
    while (step()) {}
}

void Statement::reset() {
    sqlite3_reset(handle_);
    sqlite3_clear_bindings(handle_);
}

int Statement::columnCount() const { return sqlite3_column_count(handle_); }

SqlValue Statement::column(int index) const {
    switch (sqlite3_column_type(handle_, index)) {
    case SQLITE_INTEGER: return static_cast<std::int64_t>(sqlite3_column_int64(handle_, index));
    case SQLITE_FLOAT: return sqlite3_column_double(handle_, index);
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(handle_, index));
        return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(handle_, index)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(handle_, index));
        return Blob(data, data + sqlite3_column_bytes(handle_, index));
    }
    default: return std::monostate{};
    }
}

Transaction::Transaction(Database& database, Kind kind) : database_(database) {
    database_.execute(kind == Kind::write ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (!committed_) {
        try {
            database_.execute("ROLLBACK");
        } catch (const StoreError&) {
            // A failed statement may already have ended the transaction.
        }
    }
}

void Transaction::commit() {
    database_.execute("COMMIT");
    committed_ = true;
}

} // namespace norvane::platform
