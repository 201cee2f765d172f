#include "platform/SerialExecutor.h"

#include "platform/ErrorLog.h"

#include <string>

namespace norvane::platform {

SerialExecutor::SerialExecutor(FailureHandler onFailure)
    : onFailure_(std::move(onFailure)), worker_([this] { run(); }) {}

SerialExecutor::~SerialExecutor() { shutdown(); }

bool SerialExecutor::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return false;
        }
        tasks_.push_back(std::move(task));
    }
    wakeUp_.notify_one();
    return true;
}

void SerialExecutor::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wakeUp_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void SerialExecutor::run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wakeUp_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        try {
            task();
        } catch (...) {
            onFailure_(std::current_exception());
        }
    }
}

void SerialExecutor::logFailure(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& exception) {
        logError(std::string("A background task failed: ") + exception.what());
    } catch (...) {
        logError("A background task failed with an exception that says nothing of itself");
    }
}

} // namespace norvane::platform
