#pragma once

#include <cstddef>
#include <functional>

#include <sys/types.h>

namespace norvane::platform {

/// The process groups of the children that this program is waiting for, kept where a signal
/// handler can reach them, so that stopping the program stops what it started. Each child runs
/// in a process group of its own, which also holds whatever it starts in turn.
class ChildProcesses {
public:
    /// Makes SIGINT, SIGTERM and SIGHUP end every running child's process group before they end
    /// this program as they would have. A signal that the program was started ignoring stays
    /// ignored.
    static void stopOnTerminationSignals();

    /// Ends every running child's process group and refuses to start any more for as long as it
    /// lives: for a program that is quitting while a collection still runs. Once the collection
    /// is done, so is the refusal, and children start again (the next application of a test).
    class StopAll {
    public:
        StopAll();
        ~StopAll();
        StopAll(const StopAll&) = delete;
        StopAll& operator=(const StopAll&) = delete;
    };

    /// Marks one child that is being started. Termination signals wait while it starts, so the
    /// child is always on the list before a stop can look for it.
    class Start {
    public:
        Start();
        ~Start();
        Start(const Start&) = delete;
        Start& operator=(const Start&) = delete;

        /// Starts the child with `spawn` (0 and its process id, or an error number), unless all
        /// children are being stopped (ECANCELED).
        int run(const std::function<int(pid_t&)>& spawn, pid_t& child);
        /// The child has ended but is not reaped yet, so its process group cannot be reused.
        void ended();

    private:
        std::size_t place_;
    };
};

} // namespace norvane::platform
