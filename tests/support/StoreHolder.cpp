#include "tests/support/StoreHolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::testing {

StoreHolder::StoreHolder(const std::filesystem::path& file, std::function<std::string()> watch,
                         const std::string& statement, Access access) {
    int ready[2];
    int verdict[2];
    int end[2];
    // Closed as the tool's runs start: a run that kept the end's pipe would keep the holder.
    EXPECT_EQ(pipe2(ready, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(verdict, O_CLOEXEC), 0);
    EXPECT_EQ(pipe2(end, O_CLOEXEC), 0);
    process_ = fork();
    if (process_ == 0) {
        prctl(PR_SET_NAME, name);
        close(end[1]);
        sqlite3* connection = nullptr;
        sqlite3_open_v2(file.c_str(), &connection,
                        access == Access::readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        sqlite3_busy_timeout(connection, 10'000);
        sqlite3_exec(connection, statement.c_str(), nullptr, nullptr, nullptr);
        [[maybe_unused]] auto written = write(ready[1], "r", 1);
        std::string said;
        if (watch) {
            said = watch();
        } else {
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(end[0], &byte, 1);
        }
        sqlite3_close(connection);
        written = write(verdict[1], said.data(), said.size());
        _exit(0);
    }
    for (const int unused : {ready[1], verdict[1], end[0]}) close(unused);
    char byte = 0;
    EXPECT_EQ(read(ready[0], &byte, 1), 1) << "the holder read the store";
    close(ready[0]);
    verdict_ = verdict[0];
    end_ = end[1];
}

StoreHolder::~StoreHolder() {
    close(end_);
    close(verdict_);
    waitpid(process_, nullptr, 0);
}

std::string StoreHolder::verdict() {
    std::string said;
    char buffer[256];
    for (ssize_t count; (count = read(verdict_, buffer, sizeof buffer)) > 0;) said.append(buffer, count);
    return said;
}

} // namespace norvane::testing
