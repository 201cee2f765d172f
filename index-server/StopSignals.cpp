#include "index-server/StopSignals.h"

#include <csignal>

namespace norvane::indexserver {

StopSignals::StopSignals() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    thread_ = std::thread([this] { take(); });
}

StopSignals::~StopSignals() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        // Its thread waits for a signal alone: one sent to it ends the wait, unless one came before.
        if (!stopping_) {
            pthread_kill(thread_.native_handle(), SIGTERM);
        }
    }
    thread_.join();
}

void StopSignals::serving() {
    std::lock_guard lock(mutex_);
    serving_ = true;
}

void StopSignals::await() {
    std::unique_lock lock(mutex_);
    received_.wait(lock, [this] { return stopping_; });
}

void StopSignals::take() {
    int received = 0;
    sigwait(&signals_, &received);
    std::lock_guard lock(mutex_);
    if (ending_) {
        return;
    }
    if (!serving_) {
        // Nothing to stop in order yet: ended as the signal ends a program by default.
        sigset_t just;
        sigemptyset(&just);
        sigaddset(&just, received);
        std::signal(received, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
        raise(received);
    }
    stopping_ = true;
    received_.notify_all();
}

} // namespace norvane::indexserver
