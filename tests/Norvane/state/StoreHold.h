#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace norvane::app::testing {

/// A plain SQLite connection of this process that holds a store as another program holds it, from
/// the moment it is made until `letGo` (from any thread) or its end: "BEGIN IMMEDIATE" keeps the
/// write lock, as a database browser with changes not yet written; `readTransaction` keeps what is
/// written after it in the log, as a backup program or an indexer does. For a store that this
/// process has open already: a process forked from it (StoreHolder) takes over what SQLite and the
/// turns at the store's folder know of this process's locks, and may hold what it never took.
class StoreHold {
public:
    static constexpr const char* readTransaction = "BEGIN; SELECT count(*) FROM sqlite_master";

    StoreHold(const std::filesystem::path& file, const std::string& statement) {
        // A reader may only read, as an indexer opens the store: it never empties the log as it closes.
        const bool reads = statement == readTransaction;
        EXPECT_EQ(
            sqlite3_open_v2(file.c_str(), &connection_, reads ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr),
            SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(connection_, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << statement;
    }
    ~StoreHold() { letGo(); }
    StoreHold(const StoreHold&) = delete;
    StoreHold& operator=(const StoreHold&) = delete;

    void letGo() {
        const std::lock_guard lock(mutex_);
        sqlite3_close(std::exchange(connection_, nullptr));
    }

private:
    std::mutex mutex_;
    sqlite3* connection_ = nullptr;
};

} // namespace norvane::app::testing
