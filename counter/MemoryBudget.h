#pragma once

#include <atomic>
#include <cstddef>
#include <stdexcept>

namespace norvane::counter {

/// Bytes that the threads of a count take from together and give back when they free them, so
/// that what they hold at one time stays within the total.
class MemoryBudget {
public:
    /// What one thread asked for would fit on its own, but the others hold too much of the budget
    /// at the time. On one thread the same request may well succeed.
    class Crowded : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    explicit MemoryBudget(std::size_t bytes) : total_(bytes), left_(bytes) {}

    /// False, taking nothing, when fewer than `bytes` are left.
    bool take(std::size_t bytes) {
        std::size_t left = left_.load(std::memory_order_relaxed);
        do {
            if (left < bytes) {
                return false;
            }
        } while (!left_.compare_exchange_weak(left, left - bytes, std::memory_order_relaxed));
        return true;
    }

    /// Returns what was taken and has been freed.
    void giveBack(std::size_t bytes) { left_.fetch_add(bytes, std::memory_order_relaxed); }

    std::size_t total() const { return total_; }

private:
    std::size_t total_;
    std::atomic<std::size_t> left_;
};

} // namespace norvane::counter
