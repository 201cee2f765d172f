#pragma once

#include <sys/types.h>

namespace norvane::platform {

/// Starts a program as a child that cannot outlive what started it: the kernel kills it (SIGKILL)
/// when the thread that started it ends, however this program ends, kill -9 and crashes too. The
/// thread must therefore wait for the child, as the process runner does. Made for a program that
/// runs threads: between the start and the program the child runs nothing of this program's own,
/// neither its signal handlers nor the C library's locks, only calls of the kernel.
namespace ChildStart {

/// What the child runs with. Every pointer stays valid until `start` returns.
struct Setup {
    const char* executable = nullptr;         ///< a path, or a name looked up in PATH
    const char* const* arguments = nullptr;   ///< argv, ending with a null pointer
    const char* const* environment = nullptr; ///< ending with a null pointer
    int standardInput = -1;                   ///< -1: /dev/null
    int standardOutput = -1;
    int standardError = -1;
    const char* workingDirectory = nullptr; ///< none: this program's
};

/// Starts the child in a process group of its own, with the given descriptors for its standard
/// streams and no other open, no blocked signal, and every signal at its default but those of a
/// terminal that this program ignores (nohup's), which stay ignored. A SIGCHLD ignored by this
/// program goes back to its default first, so that the child can be waited for. Returns 0 and the
/// child's id, or the error number of what failed (a missing program, working folder or descriptor).
int start(const Setup& setup, pid_t& child);

} // namespace ChildStart
} // namespace norvane::platform
