#pragma once

#include <chrono>
#include <list>
#include <mutex>

namespace norvane::indexserver {

/// The connections being served, and which of them wait for their client's next bytes. When every
/// place of the server is taken, the one whose client has been silent longest gives its place up to
/// a newcomer: clients that hold connections without sending keep no one out, while a client that
/// sends its request is served.
class IdleConnections {
    struct State {
        int socket;
        std::chrono::steady_clock::time_point lastHeard;
        /// From its start: nothing is read before its first wait.
        bool waiting = true;
        bool dismissed = false;
    };

public:
    /// One connection's entry, from the start of its service to its end, before its socket closes.
    class Entry {
    public:
        Entry(IdleConnections& owner, int socket);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

        /// Around each wait for the client's bytes: false once the connection was dismissed, which
        /// ends the wait.
        void beginWait();
        bool endWait();
        /// The client sent bytes.
        void heard();
        /// Whether the connection gave its place up; nothing more is read or written then.
        bool dismissed() const;

    private:
        IdleConnections& owner_;
        std::list<State>::iterator state_;
    };

    /// Dismisses the waiting connection whose client has been silent longest, ending its wait; false
    /// when none waits.
    bool dismissLongestIdle();

private:
    mutable std::mutex mutex_;
    std::list<State> connections_;
};

} // namespace norvane::indexserver
