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

/// The server's connection threads: one per connection being served, started when needed, at most
/// `maxConnections`. A connection beyond that is handed to `overflow` on the accepting thread
/// instead of waiting for a thread, so a crowd of slow clients cannot queue up everyone else;
/// `overflow` may queue it in place of a connection it ended.
class ConnectionPool : public httplib::TaskQueue {
public:
    using Connection = std::function<void()>;

    /// `busy` counts the connections queued or being served; its owner may read it at any time.
    ConnectionPool(std::size_t maxConnections, std::atomic<std::size_t>& busy,
                   std::function<void(Connection)> overflow);
    ~ConnectionPool() override;
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    void enqueue(Connection connection) override;
    /// Queues a connection beyond `maxConnections`, in place of one that was told to end: the
    /// thread serving that one takes it up once free.
    void enqueueInPlaceOfDismissed(Connection connection);
    /// Serves what is queued, then joins every thread.
    void shutdown() override;

private:
    void work();

    const std::size_t maxConnections_;
    const std::function<void(Connection)> overflow_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Connection> connections_;
    std::atomic<std::size_t>& busy_; ///< changed under `mutex_` only
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace norvane::indexserver
