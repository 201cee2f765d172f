#include "platform/ProcessRunner.h"

#include "platform/ChildProcesses.h"
#include "platform/ChildStart.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace norvane::platform {

namespace {

struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;
};

/// Moves a descriptor above 0-2, so that wiring the child's standard streams cannot overwrite it
/// when the caller runs with closed standard streams.
int keepAboveStandardStreams(FileDescriptor& descriptor) {
    if (descriptor.get() > STDERR_FILENO) {
        return 0;
    }
    const int moved = fcntl(descriptor.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) {
        return errno;
    }
    descriptor = FileDescriptor(moved);
    return 0;
}

/// A close-on-exec pipe, so that children started by other threads never inherit it.
int openPipe(Pipe& pipe) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return errno;
    }
    pipe.readEnd = FileDescriptor(ends[0]);
    pipe.writeEnd = FileDescriptor(ends[1]);
    if (const int error = keepAboveStandardStreams(pipe.readEnd)) {
        return error;
    }
    return keepAboveStandardStreams(pipe.writeEnd);
}

std::string errorText(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

/// NUL-terminated copies of texts and the null-terminated pointer array that exec expects.
class CStringArray {
public:
    void add(std::string text) { texts_.push_back(std::move(text)); }
    char** pointers() {
        pointers_.clear();
        for (std::string& text : texts_) {
            pointers_.push_back(text.data());
        }
        pointers_.push_back(nullptr);
        return pointers_.data();
    }

private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

bool containsNul(const ProcessRequest& request) {
    const auto hasNul = [](const std::string& text) { return text.find('\0') != std::string::npos; };
    bool found = hasNul(request.executable);
    for (const std::string& argument : request.arguments) {
        found = found || hasNul(argument);
    }
    const auto variablesHaveNul = [&hasNul](const std::map<std::string, std::string>& variables) {
        return std::any_of(variables.begin(), variables.end(), [&hasNul](const auto& variable) {
            return hasNul(variable.first) || hasNul(variable.second);
        });
    };
    found = found || variablesHaveNul(request.environmentOverrides);
    return found || (request.environment && variablesHaveNul(*request.environment));
}

/// Writes without letting a child that stopped reading kill us with SIGPIPE: the signal is
/// blocked in this thread for the write and a SIGPIPE that the write raised is consumed.
ssize_t writeWithoutPipeSignal(int descriptor, std::string_view data) {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t written = write(descriptor, data.data(), data.size());
    const int writeError = errno;
    if (written < 0 && writeError == EPIPE && !alreadyPending) {
        const timespec immediately{};
        while (sigtimedwait(&pipeSignal, nullptr, &immediately) < 0 && errno == EINTR) {}
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = writeError;
    return written;
}

constexpr std::size_t drainChunk = 65536;

/// Reads what the pipe holds, up to a chunk; returns how much it read.
std::size_t drain(FileDescriptor& source, const std::function<void(std::string_view)>& receive) {
    std::array<char, drainChunk> chunk;
    const ssize_t count = read(source.get(), chunk.data(), chunk.size());
    if (count > 0) {
        receive(std::string_view(chunk.data(), static_cast<std::size_t>(count)));
        return static_cast<std::size_t>(count);
    }
    if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        source.close();
    }
    return 0;
}

/// Reads a long standard output in batches. Waking this thread at each of the child's writes (git
/// writes 4 KB at a time, a thousand times a second) costs the child more than the copy itself:
/// once it has written `longOutput`, its pipe is widened to hold what it writes in an `interval`,
/// and read once an interval rather than at each write.
class OutputBatching {
public:
    static constexpr std::size_t longOutput = 256 * 1024;
    static constexpr int widePipe = 1024 * 1024;
    static constexpr std::chrono::milliseconds interval{2};

    /// Called after each read of standard output; waits before the next poll when the read found
    /// the pipe nearly empty, never past the deadline.
    void afterRead(FileDescriptor& output, std::size_t count,
                   const std::optional<std::chrono::steady_clock::time_point>& deadline) {
        received_ += count;
        if (!output.isOpen() || received_ < longOutput || count == drainChunk) {
            return;
        }
        // A pipe that cannot be widened would fill while waiting, and stall the child.
        if (!widened_) {
            widened_ = true;
            batching_ = fcntl(output.get(), F_SETPIPE_SZ, widePipe) >= widePipe;
        }
        if (!batching_) {
            return;
        }
        auto pause = std::chrono::duration_cast<std::chrono::nanoseconds>(interval);
        if (deadline) {
            pause = std::min(pause, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        *deadline - std::chrono::steady_clock::now()));
        }
        if (pause.count() > 0) {
            const timespec wait{0, static_cast<long>(pause.count())};
            nanosleep(&wait, nullptr);
        }
    }

private:
    std::size_t received_ = 0;
    bool widened_ = false;
    bool batching_ = false;
};

void feed(FileDescriptor& destination, std::string_view text, std::size_t& written) {
    const ssize_t count = writeWithoutPipeSignal(destination.get(), text.substr(written));
    if (count >= 0) {
        written += static_cast<std::size_t>(count);
    }
    // EPIPE: the child no longer reads, and the rest of the input is dropped.
    if (written == text.size() || (count < 0 && errno != EINTR && errno != EAGAIN)) {
        destination.close();
    }
}

/// How long poll may wait before the time limit is reached: -1 without a limit.
int pollTimeout(const std::optional<std::chrono::steady_clock::time_point>& deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60'000));
}

/// Kills the child's process group once it has run past its deadline.
bool endPastDeadline(pid_t child, const std::optional<std::chrono::steady_clock::time_point>& deadline,
                     ProcessResult& result) {
    if (!deadline || std::chrono::steady_clock::now() < *deadline) {
        return false;
    }
    kill(-child, SIGKILL);
    result.timedOut = true;
    return true;
}

/// Writes the input and collects both outputs as they come (standard output to its receiver when
/// there is one), until the child has closed them or has run past its deadline; then its process
/// group is killed.
void exchange(FileDescriptor& input, const ProcessRequest& request, FileDescriptor& output, FileDescriptor& error,
              pid_t child, const std::optional<std::chrono::steady_clock::time_point>& deadline,
              ProcessResult& result) {
    const std::string_view inputText = request.standardInput ? std::string_view(*request.standardInput) : "";
    const auto collect = [](std::string& target) { return [&target](std::string_view text) { target.append(text); }; };
    const std::function<void(std::string_view)> receiveOutput =
        request.standardOutputReceiver ? request.standardOutputReceiver : collect(result.standardOutput);
    const std::function<void(std::string_view)> receiveError = collect(result.standardError);
    std::size_t written = 0;
    OutputBatching batching;
    if (inputText.empty()) {
        input.close();
    }
    // Closing our ends lets the child run to its end instead of blocking on a full pipe.
    const auto closeAll = [&] {
        input.close();
        output.close();
        error.close();
    };
    while (output.isOpen() || error.isOpen() || input.isOpen()) {
        if (endPastDeadline(child, deadline, result)) {
            closeAll();
            return;
        }
        std::array<pollfd, 3> watched{{{output.get(), POLLIN, 0}, {error.get(), POLLIN, 0}, {input.get(), POLLOUT, 0}}};
        const int ready = poll(watched.data(), watched.size(), pollTimeout(deadline));
        if (ready <= 0) {
            if (ready == 0 || errno == EINTR) {
                continue;
            }
            closeAll();
            return;
        }
        std::size_t outputRead = 0;
        if (watched[0].revents != 0) {
            outputRead = drain(output, receiveOutput);
        }
        if (watched[1].revents != 0) {
            drain(error, receiveError);
        }
        if (watched[2].revents != 0) {
            feed(input, inputText, written);
        }
        // Input still to write goes to the child as fast as it takes it.
        if (outputRead > 0 && !input.isOpen()) {
            batching.afterRead(output, outputRead, deadline);
        }
    }
}

/// A child that closed its outputs may still run: its deadline holds until it exits.
void awaitExitBefore(pid_t child, const std::optional<std::chrono::steady_clock::time_point>& deadline,
                     ProcessResult& result) {
    if (!deadline || result.timedOut) {
        return;
    }
    // Through syscall: the C library's header of this call lacks C linkage.
    const FileDescriptor process(static_cast<int>(syscall(SYS_pidfd_open, child, 0)));
    if (!process.isOpen()) {
        return;
    }
    pollfd watched{process.get(), POLLIN, 0};
    while (!endPastDeadline(child, deadline, result)) {
        const int ready = poll(&watched, 1, pollTimeout(deadline));
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            return;
        }
    }
}

/// The exit code, 128 + the signal that ended the child, or -1 when its end cannot be learned
/// (someone else reaped it). The child leaves the list of running ones before it is reaped:
/// until then its process id, and so its group's, cannot be given to another process.
int waitForExit(pid_t child, ChildProcesses::Start& start) {
    siginfo_t ended{};
    while (waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOWAIT) < 0 && errno == EINTR) {}
    start.ended();
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// Names what could not be started: the working folder when that is missing, else the program.
std::string startErrorText(int error, const ProcessRequest& request) {
    if (request.workingDirectory) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(*request.workingDirectory, ignored) ||
            access(request.workingDirectory->c_str(), X_OK) != 0) {
            return errorText(error) + ": " + request.workingDirectory->string();
        }
    }
    return errorText(error) + ": " + request.executable;
}

int openPipes(Pipe& input, Pipe& output, Pipe& error, bool needsInput) {
    int result = needsInput ? openPipe(input) : 0;
    result = result ? result : openPipe(output);
    return result ? result : openPipe(error);
}

/// The variables of the base environment whose names are neither overridden nor removed, then the
/// overrides.
char** childEnvironment(const ProcessRequest& request, CStringArray& environment) {
    const auto isReplaced = [&request](std::string_view name) {
        return request.environmentOverrides.find(std::string(name)) != request.environmentOverrides.end() ||
               std::find(request.environmentRemovals.begin(), request.environmentRemovals.end(), name) !=
                   request.environmentRemovals.end();
    };
    if (request.environment) {
        for (const auto& [name, value] : *request.environment) {
            if (!isReplaced(name)) {
                environment.add(name + "=" + value);
            }
        }
    } else {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string_view variable(*entry);
            if (!isReplaced(variable.substr(0, variable.find('=')))) {
                environment.add(std::string(variable));
            }
        }
    }
    for (const auto& [name, value] : request.environmentOverrides) {
        environment.add(name + "=" + value);
    }
    return environment.pointers();
}

int spawn(pid_t& child, const ProcessRequest& request, const Pipe* input, const Pipe& output, const Pipe& error) {
    CStringArray arguments;
    arguments.add(request.executable);
    for (const std::string& argument : request.arguments) {
        arguments.add(argument);
    }
    CStringArray environment;
    const bool inherits =
        !request.environment && request.environmentOverrides.empty() && request.environmentRemovals.empty();
    const ChildStart::Setup setup{.executable = request.executable.c_str(),
                                  .arguments = arguments.pointers(),
                                  .environment = inherits ? environ : childEnvironment(request, environment),
                                  .standardInput = input != nullptr ? input->readEnd.get() : -1,
                                  .standardOutput = output.writeEnd.get(),
                                  .standardError = error.writeEnd.get(),
                                  .workingDirectory =
                                      request.workingDirectory ? request.workingDirectory->c_str() : nullptr};
    return ChildStart::start(setup, child);
}

} // namespace

ProcessResult PosixProcessRunner::run(const ProcessRequest& request) {
    ProcessResult result;
    if (containsNul(request)) {
        result.startError = startErrorText(EINVAL, request);
        return result;
    }
    Pipe input;
    Pipe output;
    Pipe error;
    const bool needsInput = request.standardInput.has_value();
    int failure = openPipes(input, output, error, needsInput);
    pid_t child = -1;
    ChildProcesses::Start start;
    if (failure == 0) {
        failure = start.run(
            [&](pid_t& started) { return spawn(started, request, needsInput ? &input : nullptr, output, error); },
            child);
    }
    if (failure != 0) {
        result.startError = startErrorText(failure, request);
        return result;
    }
    input.readEnd.close();
    output.writeEnd.close();
    error.writeEnd.close();
    if (input.writeEnd.isOpen()) {
        fcntl(input.writeEnd.get(), F_SETFL, O_NONBLOCK);
    }
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (request.timeLimit) {
        deadline = std::chrono::steady_clock::now() + *request.timeLimit;
    }
    exchange(input.writeEnd, request, output.readEnd, error.readEnd, child, deadline, result);
    awaitExitBefore(child, deadline, result);
    result.exitStatus = waitForExit(child, start);
    return result;
}

ProcessRunner& defaultProcessRunner() {
    static PosixProcessRunner runner;
    return runner;
}

std::string timeLimitText(std::chrono::milliseconds limit) {
    const auto counted = [](std::int64_t count, const char* unit) {
        return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
    };
    using namespace std::chrono;
    if (limit >= hours(1) && limit % hours(1) == milliseconds::zero()) {
        return counted(duration_cast<hours>(limit).count(), "hour");
    }
    if (limit >= minutes(1) && limit % minutes(1) == milliseconds::zero()) {
        return counted(duration_cast<minutes>(limit).count(), "minute");
    }
    return counted(ceil<seconds>(limit).count(), "second");
}

} // namespace norvane::platform
