#pragma once

#include <atomic>

namespace norvane::platform {

/// Lets another thread cut short the waits of this one. While a `Scope` lives on a thread, its waits
/// for the store (a lock that another connection holds, another program's turn at the store's
/// folder) end as soon as the scope's flag is set, as waits that lasted too long end: a program that
/// is ending does not wait for the store it is no longer going to use.
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

    /// Whether the waits of the calling thread are to end now.
    static bool interrupted();
};

} // namespace norvane::platform
