#include "index-server/ConnectionPool.h"

namespace norvane::indexserver {

ConnectionPool::~ConnectionPool() { shutdown(); }

void ConnectionPool::enqueue(Connection handOver) { handOver(); }

void ConnectionPool::serve(Connection connection) {
    std::lock_guard lock(mutex_);
    ++busy_;
    connections_.push_back(std::move(connection));
    // Each thread serves one connection at a time, so fewer threads than busy connections means
    // this one would wait.
    if (threads_.size() < busy_) {
        threads_.emplace_back([this] { work(); });
    } else {
        queued_.notify_one();
    }
}

void ConnectionPool::serveInPlaceOfDismissed(Connection connection) {
    {
        std::lock_guard lock(mutex_);
        ++busy_;
        connections_.push_back(std::move(connection));
    }
    queued_.notify_one();
}

void ConnectionPool::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (auto& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void ConnectionPool::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        queued_.wait(lock, [this] { return stopping_ || !connections_.empty(); });
        if (connections_.empty()) {
            return;
        }
        auto connection = std::move(connections_.front());
        connections_.pop_front();
        lock.unlock();
        connection();
        lock.lock();
        --busy_;
    }
}

} // namespace norvane::indexserver
