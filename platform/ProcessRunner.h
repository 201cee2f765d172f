#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::platform {

/// What to start: a program and its argument vector, never a shell command line.
struct ProcessRequest {
    std::string executable;             ///< absolute path, or a name looked up in PATH
    std::vector<std::string> arguments; ///< without argv[0]
    std::optional<std::filesystem::path> workingDirectory;
    /// Replaces the whole environment when given; the caller's environment otherwise.
    std::optional<std::map<std::string, std::string>> environment;
    /// Set on top of that environment: added when missing, replacing the value when present.
    std::map<std::string, std::string> environmentOverrides;
    /// Left out of that environment, so that the child does not inherit them.
    std::vector<std::string> environmentRemovals;
    std::optional<std::string> standardInput; ///< written to the child's stdin, then closed
    /// How long the program may run before it is ended, with all that it started; no limit when
    /// none is given.
    std::optional<std::chrono::milliseconds> timeLimit;
    /// Receives the child's standard output piece by piece as it is written, in place of the
    /// result's `standardOutput`, so that a long output is worked on while the child still runs.
    /// Must not throw.
    std::function<void(std::string_view)> standardOutputReceiver;
};

/// How a process ended. `startError` is set (and nothing else is meaningful) when the program
/// could not be started at all.
struct ProcessResult {
    std::optional<std::string> startError;
    int exitStatus = 0;         ///< the exit code, or 128 + signal number when a signal ended it
    std::string standardOutput; ///< empty when the request had a receiver for it
    std::string standardError;
    bool timedOut = false; ///< ended for running past the request's time limit

    bool started() const { return !startError.has_value(); }
    bool succeeded() const { return started() && exitStatus == 0; }
};

/// Runs outside programs and waits for them. Tests substitute their own implementation.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    /// Starts the program, drains both of its pipes while it runs, and waits for it to end.
    virtual ProcessResult run(const ProcessRequest& request) = 0;
};

/// The real runner: both pipes drained concurrently, so a chatty child never blocks on a full
/// pipe. Each child runs in a process group of its own that ChildProcesses knows of, so that
/// stopping this program can stop it, and ends with the thread that runs it however this program
/// ends (ChildStart): the runner waits for it on that thread.
class PosixProcessRunner final : public ProcessRunner {
public:
    ProcessResult run(const ProcessRequest& request) override;
};

/// A process-wide real runner for services that are not given one.
ProcessRunner& defaultProcessRunner();

/// A time limit as messages name it: "2 hours", "30 minutes", "1 second" (seconds rounded up).
std::string timeLimitText(std::chrono::milliseconds limit);

} // namespace norvane::platform
