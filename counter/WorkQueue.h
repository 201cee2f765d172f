#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace norvane::counter {

/// The shared work list of the counting threads. Tasks may add further tasks while they run, so
/// the list is finished only when it is empty and no task is still being worked on. The newest
/// task is taken first, so a deep tree is walked depth first and the list stays short.
template <typename Task>
class WorkQueue {
public:
    /// True when the list now holds more tasks than the threads waiting for work and the caller,
    /// once done with its task, can take: then another thread would find work at once.
    bool push(Task task) {
        bool backlog = false;
        {
            const std::lock_guard lock(mutex_);
            if (abandoned_) {
                return false;
            }
            tasks_.push_back(std::move(task));
            ++unfinished_;
            backlog = tasks_.size() > waiting_ + 1;
        }
        ready_.notify_one();
        return backlog;
    }

    /// The next task, waiting while others may still add some; none once all work is done.
    /// Every task taken must be reported with `finish()`.
    std::optional<Task> take() {
        std::unique_lock lock(mutex_);
        ++waiting_;
        ready_.wait(lock, [this] { return !tasks_.empty() || unfinished_ == 0; });
        --waiting_;
        if (tasks_.empty()) {
            return std::nullopt;
        }
        Task task = std::move(tasks_.back());
        tasks_.pop_back();
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

    /// How many tasks wait to be taken.
    std::size_t backlog() {
        const std::lock_guard lock(mutex_);
        return tasks_.size();
    }

    /// Drops the tasks not yet taken and any added later, once the work has failed.
    void abandon() {
        bool allDone = false;
        {
            const std::lock_guard lock(mutex_);
            abandoned_ = true;
            unfinished_ -= tasks_.size();
            tasks_.clear();
            allDone = unfinished_ == 0;
        }
        if (allDone) {
            ready_.notify_all();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Task> tasks_;
    std::size_t unfinished_ = 0;
    std::size_t waiting_ = 0;
    bool abandoned_ = false;
};

} // namespace norvane::counter
