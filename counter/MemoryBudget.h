#pragma once

#include <atomic>
#include <cstddef>

namespace norvane::counter {

/// Bytes that the threads of a count take from together. What has been taken is not given back
/// when it is freed, so whether a count fits does not depend on how its threads shared the work.
class MemoryBudget {
public:
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

    std::size_t total() const { return total_; }

private:
    std::size_t total_;
    std::atomic<std::size_t> left_;
};

} // namespace norvane::counter
