#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace norvane::indexserver {

/// The server's connection threads: one per connection being served, started when needed. The
/// HTTP library's hand-over of a connection runs at once on its accepting thread, which decides
/// there whether, and in whose place, the connection is served: nothing waits in a queue unseen.
class ConnectionPool : public httplib::TaskQueue {
public:
    using Connection = std::function<void()>;

    /// `busy` counts the connections queued or being served; its owner may read it at any time.
    explicit ConnectionPool(std::atomic<std::size_t>& busy) : busy_(busy) {}
    ~ConnectionPool() override;
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    /// Runs `handOver` on the calling thread, the library's accepting thread.
    void enqueue(Connection handOver) override;
    /// Serves `connection` on a thread that is free, or on a new one.
    void serve(Connection connection);
    /// Serves `connection` on the thread of one that was told to end, once that one is done.
    void serveInPlaceOfDismissed(Connection connection);
    /// Serves what is queued, then joins every thread.
    void shutdown() override;

private:
    void work();

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Connection> connections_;
    std::atomic<std::size_t>& busy_; ///< changed under `mutex_` only
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace norvane::indexserver
