#include "index-server/IdleConnections.h"

#include <sys/socket.h>

namespace norvane::indexserver {

IdleConnections::Entry::Entry(IdleConnections& owner, int socket) : owner_(owner) {
    std::lock_guard lock(owner_.mutex_);
    state_ = owner_.connections_.insert(owner_.connections_.end(), {socket, std::chrono::steady_clock::now()});
}

IdleConnections::Entry::~Entry() {
    std::lock_guard lock(owner_.mutex_);
    owner_.connections_.erase(state_);
}

void IdleConnections::Entry::beginWait() {
    std::lock_guard lock(owner_.mutex_);
    state_->waiting = true;
}

bool IdleConnections::Entry::endWait() {
    std::lock_guard lock(owner_.mutex_);
    state_->waiting = false;
    return !state_->dismissed;
}

void IdleConnections::Entry::heard() {
    std::lock_guard lock(owner_.mutex_);
    state_->lastHeard = std::chrono::steady_clock::now();
}

bool IdleConnections::Entry::dismissed() const {
    std::lock_guard lock(owner_.mutex_);
    return state_->dismissed;
}

bool IdleConnections::dismissLongestIdle() {
    std::lock_guard lock(mutex_);
    State* longest = nullptr;
    for (auto& state : connections_) {
        if (state.waiting && !state.dismissed && (longest == nullptr || state.lastHeard < longest->lastHeard)) {
            longest = &state;
        }
    }
    if (longest == nullptr) {
        return false;
    }
    longest->dismissed = true;
    // Ends its wait at once; what it would answer is left to its own thread.
    ::shutdown(longest->socket, SHUT_RD);
    return true;
}

} // namespace norvane::indexserver
