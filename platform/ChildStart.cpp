#include "platform/ChildStart.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::platform::ChildStart {

namespace {

/// The kernel's signals, 1 to 64, and the size of its signal set.
constexpr int signalLimit = 65;
constexpr long kernelSignalSetSize = sizeof(std::uint64_t);
/// The child runs on a stack of its own while this program's thread waits; it only calls the
/// kernel, which needs little of it.
constexpr std::size_t childStackSize = 64 * 1024;
/// Where PATH is not set, as the C library looks.
constexpr const char* defaultSearchPath = "/bin:/usr/bin";

/// Everything the child needs, made before it exists: it allocates nothing and calls no function
/// of the C library or of this program, which share their memory and locks with it until it runs
/// the program.
struct ChildPlan {
    const Setup* setup = nullptr;
    /// The paths to try, in order; more than one for a name looked up in PATH.
    const char* const* programs = nullptr;
    std::size_t programCount = 0;
    std::array<bool, signalLimit> resetToDefault{};
    pid_t parent = 0;
    long descriptorLimit = 0;
    /// Why the child could not run the program, written by the child before it ends.
    int error = 0;
};

// The child's functions: kernel calls on plain data only, without the sanitizers' checks, whose
// own state is this program's.

[[noreturn]] __attribute__((no_sanitize("address", "thread", "undefined"))) void endChild(ChildPlan& plan, int error) {
    plan.error = error;
    ::syscall(SYS_exit, 127);
    __builtin_unreachable();
}

__attribute__((no_sanitize("address", "thread", "undefined"))) bool moveTo(int descriptor, int target) {
    return descriptor == target || ::syscall(SYS_dup3, descriptor, target, 0) >= 0;
}

/// Standard input, output and error in place, every other descriptor closed.
__attribute__((no_sanitize("address", "thread", "undefined"))) int wireDescriptors(const ChildPlan& plan) {
    const Setup& setup = *plan.setup;
    int input = setup.standardInput;
    if (input < 0) {
        input = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, "/dev/null", O_RDONLY));
        if (input < 0) return errno;
    }
    if (!moveTo(input, STDIN_FILENO) || !moveTo(setup.standardOutput, STDOUT_FILENO) ||
        !moveTo(setup.standardError, STDERR_FILENO)) {
        return errno;
    }
    if (::syscall(SYS_close_range, STDERR_FILENO + 1, ~0U, 0) != 0) {
        for (long descriptor = STDERR_FILENO + 1; descriptor < plan.descriptorLimit; ++descriptor) {
            ::syscall(SYS_close, descriptor);
        }
    }
    return 0;
}

/// Tries each of the plan's paths as the C library's PATH search does: a path refused for its
/// rights is remembered, one that is not there is passed over, any other failure ends the search.
__attribute__((no_sanitize("address", "thread", "undefined"))) int runProgram(const ChildPlan& plan) {
    int error = ENOENT;
    bool refused = false;
    for (std::size_t index = 0; index < plan.programCount; ++index) {
        ::syscall(SYS_execve, plan.programs[index], plan.setup->arguments, plan.setup->environment);
        error = errno;
        refused = refused || error == EACCES;
        if (error != ENOENT && error != ENOTDIR && error != EACCES && error != ESTALE && error != ENODEV &&
            error != ETIMEDOUT) {
            return error;
        }
    }
    return refused ? EACCES : error;
}

__attribute__((no_sanitize("address", "thread", "undefined"))) int runChild(void* argument) {
    auto& plan = *static_cast<ChildPlan*>(argument);
    // A handler of this program's would run in memory the child shares with it.
    const std::array<unsigned long, 8> defaultAction{};
    for (int signal = 1; signal < signalLimit; ++signal) {
        if (plan.resetToDefault[static_cast<std::size_t>(signal)]) {
            ::syscall(SYS_rt_sigaction, signal, defaultAction.data(), nullptr, kernelSignalSetSize);
        }
    }
    if (::syscall(SYS_setpgid, 0, 0) != 0) endChild(plan, errno);
    ::syscall(SYS_prctl, PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
    // This program ended before the request was made: the child was handed on, and nobody waits for it.
    if (::syscall(SYS_getppid) != plan.parent) endChild(plan, ECHILD);
    if (const int error = wireDescriptors(plan)) endChild(plan, error);
    if (plan.setup->workingDirectory != nullptr && ::syscall(SYS_chdir, plan.setup->workingDirectory) != 0) {
        endChild(plan, errno);
    }
    const std::uint64_t noSignals = 0;
    ::syscall(SYS_rt_sigprocmask, SIG_SETMASK, &noSignals, nullptr, kernelSignalSetSize);
    endChild(plan, runProgram(plan));
}

/// The executable itself, or for a name without a slash each folder of PATH with it.
std::vector<std::string> programPaths(std::string_view executable) {
    if (executable.find('/') != std::string_view::npos) {
        return {std::string(executable)};
    }
    const char* variable = std::getenv("PATH");
    const std::string_view searchPath = variable != nullptr ? variable : defaultSearchPath;
    std::vector<std::string> paths;
    for (std::size_t start = 0; start <= searchPath.size();) {
        const auto end = std::min(searchPath.find(':', start), searchPath.size());
        const auto folder = searchPath.substr(start, end - start);
        // An empty entry is the working folder.
        paths.push_back((folder.empty() ? std::string(".") : std::string(folder)) + "/" + std::string(executable));
        start = end + 1;
    }
    return paths;
}

/// The signals of a terminal, which nohup and a shell's background job ignore on purpose.
bool isTerminalSignal(int signal) { return signal == SIGHUP || signal == SIGINT || signal == SIGQUIT; }

/// The signals that go back to their default in the child: every one this program handles, and
/// every one it ignores but a terminal's. An ignored signal stays ignored across exec: a service
/// manager that ignores SIGPIPE would leave git and the counter writing into a closed pipe, and an
/// ignored SIGTERM would keep a child from being stopped.
std::array<bool, signalLimit> signalsToReset() {
    std::array<bool, signalLimit> reset{};
    for (int signal = 1; signal < signalLimit; ++signal) {
        struct sigaction action {};
        // The C library keeps a few for itself and refuses to tell of them.
        if (signal == SIGKILL || signal == SIGSTOP || ::sigaction(signal, nullptr, &action) != 0) continue;
        const bool keptIgnored = action.sa_handler == SIG_IGN && isTerminalSignal(signal);
        reset[static_cast<std::size_t>(signal)] = action.sa_handler != SIG_DFL && !keptIgnored;
    }
    return reset;
}

/// A SIGCHLD that this program was started ignoring has the kernel reap every child at once, and
/// no one could learn how it ended: it goes back to its default.
void keepChildrenWaitable() {
    struct sigaction action {};
    if (::sigaction(SIGCHLD, nullptr, &action) != 0 || action.sa_handler != SIG_IGN) return;
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigaction(SIGCHLD, &defaultAction, nullptr);
}

/// Waits for a child that ended without running its program.
void reap(pid_t child) {
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
}

} // namespace

int start(const Setup& setup, pid_t& child) {
    keepChildrenWaitable();
    const auto paths = programPaths(setup.executable);
    std::vector<const char*> programs;
    for (const auto& path : paths) programs.push_back(path.c_str());
    ChildPlan plan{.setup = &setup,
                   .programs = programs.data(),
                   .programCount = programs.size(),
                   .resetToDefault = signalsToReset(),
                   .parent = ::getpid(),
                   .descriptorLimit = ::sysconf(_SC_OPEN_MAX)};
    void* stack =
        ::mmap(nullptr, childStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (stack == MAP_FAILED) {
        return errno;
    }
    // No signal reaches this thread while the child shares its memory; it waits until the child
    // runs the program or ends.
    sigset_t all;
    sigfillset(&all);
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &all, &previous);
    const pid_t started =
        ::clone(runChild, static_cast<char*>(stack) + childStackSize, CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
    const int cloneError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::munmap(stack, childStackSize);
    if (started < 0) {
        return cloneError;
    }
    if (plan.error != 0) {
        reap(started);
        return plan.error;
    }
    child = started;
    return 0;
}

} // namespace norvane::platform::ChildStart
