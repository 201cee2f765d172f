#include "index-server/BenchmarkPublisher.h"

#include "core/community/JsonCoding.h"
#include "index-server/BenchmarkBuilder.h"
#include "platform/ErrorLog.h"

namespace norvane::indexserver {

BenchmarkPublisher::BenchmarkPublisher(ReportStore& store, platform::Clock clock)
    : store_(store), clock_(std::move(clock)) {
    publish();
    thread_ = std::thread([this] { run(); });
}

BenchmarkPublisher::~BenchmarkPublisher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::shared_ptr<const std::string> BenchmarkPublisher::document() const {
    std::lock_guard lock(mutex_);
    return document_;
}

void BenchmarkPublisher::reportsChanged() {
    {
        std::lock_guard lock(mutex_);
        ++changes_;
    }
    wake_.notify_all();
}

void BenchmarkPublisher::waitUntilCurrent() {
    std::unique_lock lock(mutex_);
    const auto awaited = changes_;
    published_.wait(lock, [this, awaited] { return publishedChanges_ >= awaited || stopping_; });
}

void BenchmarkPublisher::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || changes_ > publishedChanges_; });
        if (stopping_) {
            break;
        }
        const auto included = changes_;
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        try {
            publish();
        } catch (const std::exception& error) {
            // The store could not be read this time (a disk error): the last document stays.
            platform::logError(std::string("Failed to update the benchmarks, serving the previous ones: ") +
                               error.what());
        }
        const auto took = std::chrono::steady_clock::now() - started;
        lock.lock();
        publishedChanges_ = included;
        published_.notify_all();
        wake_.wait_for(lock, took, [this] { return stopping_; });
    }
    published_.notify_all();
}

void BenchmarkPublisher::publish() {
    auto document = BenchmarkBuilder::build(store_, clock_()).toJSON();
    auto figures = document;
    figures.erase("generated_at");
    auto figuresText = JsonCoding::dump(figures);
    if (!figures_.empty() && figuresText == figures_) {
        return;
    }
    auto served = std::make_shared<const std::string>(JsonCoding::dump(document));
    figures_ = std::move(figuresText);
    std::lock_guard lock(mutex_);
    document_ = std::move(served);
}

} // namespace norvane::indexserver
