#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace norvane::counter {

/// The shared work list of the counting threads. Tasks may add further tasks while they run, so
/// the list is finished only when it is empty and no task is still being worked on.
template <typename Task>
class WorkQueue {
public:
    void push(Task task) {
        {
            const std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            ++unfinished_;
        }
        ready_.notify_one();
    }

    /// The next task, waiting while others may still add some; none once all work is done.
    /// Every task taken must be reported with `finish()`.
    std::optional<Task> take() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !tasks_.empty() || unfinished_ == 0; });
        if (tasks_.empty()) {
            return std::nullopt;
        }
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        return task;
    }

    void finish() {
        bool allDone = false;
        {
            const std::lock_guard lock(mutex_);
            allDone = --unfinished_ == 0;
        }
        if (allDone) {
            ready_.notify_all();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> tasks_;
    std::size_t unfinished_ = 0;
};

} // namespace norvane::counter
