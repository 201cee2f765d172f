#pragma once

#include "index-server/ReportStore.h"
#include "platform/Date.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace norvane::indexserver {

/// The answer to GET /v1/benchmarks, computed once per change of the stored reports on a thread
/// of its own and served from memory: a request never reads the reports, so neither its time nor
/// the server's memory grows with their number. Changes that come while a document is computed
/// are taken together into the next one, which starts no sooner than the last one took, so that a
/// stream of reports keeps at most half a core busy. A document that cannot be computed leaves the
/// last one served and a line on standard error. A document whose figures are those served already
/// is not served: "generated_at" moves only when what is published changes, so that it does not
/// tell when a report of a withheld bucket arrived.
class BenchmarkPublisher {
public:
    /// Computes the first document before it returns; fails when the store cannot be read.
    BenchmarkPublisher(ReportStore& store, platform::Clock clock);
    ~BenchmarkPublisher();
    BenchmarkPublisher(const BenchmarkPublisher&) = delete;
    BenchmarkPublisher& operator=(const BenchmarkPublisher&) = delete;

    /// The latest document, as JSON.
    std::shared_ptr<const std::string> document() const;
    /// Tells that the stored reports changed; a new document follows.
    void reportsChanged();
    /// Waits until the document includes every change told before the call.
    void waitUntilCurrent();

private:
    void run();
    /// Computes the document and keeps it when its figures differ from those served; the caller
    /// does not hold `mutex_`.
    void publish();

    ReportStore& store_;
    const platform::Clock clock_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable published_;
    std::uint64_t changes_ = 0;
    std::uint64_t publishedChanges_ = 0;
    bool stopping_ = false;
    std::shared_ptr<const std::string> document_;
    /// The served document without its "generated_at"; touched by the publishing thread only.
    std::string figures_;
    std::thread thread_;
};

} // namespace norvane::indexserver
