#pragma once

#include <atomic>

namespace norvane::platform {

/// Lets another thread cut short the waits of this one, or of every thread. While a scope lives and
/// its flag is set, the waits for the store (a lock that another connection holds, another
/// program's turn at the store's folder) of its thread, or of every thread for a `ProcessScope`,
/// end as waits that lasted too long end: a program that is ending does not wait for the store it
/// is no longer going to use.
class InterruptibleWaits {
public:
    class Scope {
    public:
        explicit Scope(const std::atomic<bool>& interrupted);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        const std::atomic<bool>* outer_;
    };

    /// The same for every thread of the process, the workers of an application that is ending.
    class ProcessScope {
    public:
        explicit ProcessScope(const std::atomic<bool>& interrupted);
        ~ProcessScope();
        ProcessScope(const ProcessScope&) = delete;
        ProcessScope& operator=(const ProcessScope&) = delete;

    private:
        const std::atomic<bool>* outer_;
    };

    /// Whether the waits of the calling thread are to end now.
    static bool interrupted();
};

} // namespace norvane::platform
