#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QObject>
#include <QString>

#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {

/// Reads off the GUI thread for a view that asks again whenever what it shows may have changed:
/// one read runs at a time, a request made meanwhile replaces any that waits, and only the newest
/// request's result reaches the view. Results of superseded requests are dropped, and nothing
/// arrives once the receiver is gone.
template <typename Result>
class LatestRequestLoader {
public:
    using Work = std::function<Result()>;
    /// The result, or none and the error's text when the work threw.
    using Then = std::function<void(std::optional<Result>, const QString&)>;

    explicit LatestRequestLoader(QObject& receiver) : receiver_(receiver) {}
    LatestRequestLoader(const LatestRequestLoader&) = delete;
    LatestRequestLoader& operator=(const LatestRequestLoader&) = delete;

    void request(Work work, Then then) {
        waiting_ = Pending{std::move(work), std::move(then)};
        if (!running_) startWaiting();
    }
    /// Whether a read runs or waits.
    bool isLoading() const { return running_ || waiting_.has_value(); }

private:
    struct Pending {
        Work work;
        Then then;
    };

    void startWaiting() {
        Pending next = std::move(*waiting_);
        waiting_.reset();
        running_ = true;
        runInBackground<Result>(
            &receiver_, std::move(next.work),
            [this, then = std::move(next.then)](std::optional<Result> result, const QString& error) {
                running_ = false;
                if (waiting_) {
                    startWaiting();
                    return;
                }
                then(std::move(result), error);
            });
    }

    QObject& receiver_;
    bool running_ = false;
    std::optional<Pending> waiting_;
};

} // namespace norvane::app
