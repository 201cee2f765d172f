#pragma once

#include <functional>

#include <QThreadPool>

namespace norvane::app {

/// The one thread that collections run on: jobs run one after another, in the order given, never
/// on the caller's thread.
class CollectionWorker {
public:
    CollectionWorker();
    /// Waits for the job under way and the queued ones, so that nothing outlives the store.
    ~CollectionWorker();
    CollectionWorker(const CollectionWorker&) = delete;
    CollectionWorker& operator=(const CollectionWorker&) = delete;

    void run(std::function<void()> job);
    void waitForDone();

private:
    QThreadPool pool_;
};

} // namespace norvane::app
