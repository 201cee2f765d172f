#pragma once

#include <condition_variable>
#include <mutex>
#include <signal.h>
#include <thread>

namespace norvane::indexserver {

/// SIGINT and SIGTERM for the program, taken on a thread of their own from before it does anything
/// that may block (open its data file, wait for another program's lock on it). Until the service
/// serves, they end the program at once, as they would by default; from then on `await` returns,
/// so that the service stops in order. Made before any other thread, which inherits its mask: no
/// other thread receives them.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /// From now on a signal is for `await`.
    void serving();
    /// Waits for SIGINT or SIGTERM.
    void await();

private:
    void take();

    sigset_t signals_{};
    std::mutex mutex_;
    std::condition_variable received_;
    bool serving_ = false;
    bool stopping_ = false;
    /// The program ends otherwise, and the thread with it.
    bool ending_ = false;
    std::thread thread_;
};

} // namespace norvane::indexserver
