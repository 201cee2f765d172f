#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <sys/types.h>

namespace norvane::testing {

/// Runs `work` in a child process; its exit status, 0 when it returned normally, 1 when it threw
/// (saying what on standard error).
int inChildProcess(const std::function<void()>& work);

/// Checks `condition` now and then, up to a minute, until it holds; false when it never did.
bool waitUntil(const std::function<bool()>& condition);

/// Waits, up to a minute, until `file` holds a whole line; returns that line without its break,
/// or an empty text when none came.
std::string waitForLine(const std::filesystem::path& file);

/// Whether the process, or a thread of this or another process named by its task id, sleeps for
/// a time now, as a wait between two tries does.
bool isSleeping(pid_t task);

/// Waits, up to a minute, until the process has ended (gone, or dead and not yet reaped by
/// whoever took it over); false when it still runs then.
bool waitUntilEnded(pid_t process);

} // namespace norvane::testing
