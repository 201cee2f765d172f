#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <sys/types.h>

namespace norvane::testing {

/// Another program that has a store open, as a program of an older version does while it runs (its
/// window, an add) and as a reader does (a database browser): a process of its own whose plain
/// SQLite connection has read the store and stays open until `watch` returns, or, without one,
/// until the holder goes away. The system knows the process by `name`.
class StoreHolder {
public:
    static constexpr const char* name = "store-holder";

    /// What the holder's connection runs once it has opened the store: a plain read by default;
    /// "BEGIN IMMEDIATE" keeps the write lock, as a database browser with changes not yet written.
    static constexpr const char* plainRead = "SELECT count(*) FROM sqlite_master";

    /// Starts the process and waits until its connection has run `statement`. `watch` runs there
    /// while the connection is open; what it returns is the `verdict`.
    /// How the holder opens the store. One that may only read, as an indexer opens it, does not
    /// empty the log as it closes, as the last connection that may write does.
    enum class Access { readWrite, readOnly };

    explicit StoreHolder(const std::filesystem::path& file, std::function<std::string()> watch = {},
                         const std::string& statement = plainRead, Access access = Access::readWrite);
    ~StoreHolder();
    StoreHolder(const StoreHolder&) = delete;
    StoreHolder& operator=(const StoreHolder&) = delete;

    pid_t process() const { return process_; }
    /// What `watch` returned, once the process has closed its connection.
    std::string verdict();

private:
    pid_t process_ = -1;
    int verdict_ = -1;
    int end_ = -1;
};

} // namespace norvane::testing
