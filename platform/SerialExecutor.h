#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace norvane::platform {

/// One worker thread that runs posted tasks one at a time, in the order they were posted. Owning
/// objects keep their state on it, so that state needs no locks.
class SerialExecutor {
public:
    /// Told of an exception that a posted task let escape, on the worker; it must not throw.
    using FailureHandler = std::function<void(std::exception_ptr)>;

    /// A task that throws is reported to `onFailure` (by default a line on standard error), and the
    /// tasks after it run as ever.
    explicit SerialExecutor(FailureHandler onFailure = logFailure);
    /// Runs the tasks already posted, then joins the thread.
    ~SerialExecutor();
    SerialExecutor(const SerialExecutor&) = delete;
    SerialExecutor& operator=(const SerialExecutor&) = delete;

    /// Queues `task`; false (and `task` dropped) once the executor is shutting down.
    bool post(std::function<void()> task);

    /// Queues `work` and returns the future of its result; a dropped task leaves the future with a
    /// broken promise.
    template <typename Work>
    std::future<std::invoke_result_t<Work>> submit(Work work) {
        auto task = std::make_shared<std::packaged_task<std::invoke_result_t<Work>()>>(std::move(work));
        auto future = task->get_future();
        post([task] { (*task)(); });
        return future;
    }

    /// Stops accepting tasks, runs the queued ones and joins; safe to call more than once, never
    /// from the worker itself.
    void shutdown();

    /// Writes what a task threw on standard error.
    static void logFailure(std::exception_ptr error);

private:
    void run();

    const FailureHandler onFailure_;
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace norvane::platform
