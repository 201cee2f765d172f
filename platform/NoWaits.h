#pragma once

namespace norvane::platform {

/// Marks a thread that must never wait for another program, nor for another thread that may be
/// waiting for one: the window's. While a `Scope` lives on a thread, whatever the store would wait
/// for there (a lock that another connection holds, another program's turn at the store's folder,
/// another thread's use of the same connection) fails at once with StoreBusyError instead, so that
/// the caller can do the work elsewhere.
class NoWaits {
public:
    class Scope {
    public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    /// Lets the calling thread wait again while it lives: for a close, which lets go of the file
    /// whichever thread it runs on.
    class Lifted {
    public:
        Lifted();
        ~Lifted();
        Lifted(const Lifted&) = delete;
        Lifted& operator=(const Lifted&) = delete;

    private:
        int outer_;
    };

    /// Whether the calling thread may not wait now.
    static bool inForce();
};

} // namespace norvane::platform
