#include "Norvane/state/StoreWaitRetry.h"

#include <utility>

namespace norvane::app {

StoreWaitRetry::StoreWaitRetry(const QLoggingCategory& category, QString what, std::function<void()> retry,
                               std::chrono::milliseconds interval, QObject* parent)
    : QObject(parent), category_(category), what_(std::move(what)) {
    timer_.setSingleShot(true);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, std::move(retry));
}

bool StoreWaitRetry::keptWaiting(const QString& why) {
    timer_.start();
    if (std::exchange(said_, true)) return false;
    qCWarning(category_, "%s: %s; trying again until the store is free", qUtf8Printable(what_), qUtf8Printable(why));
    return true;
}

void StoreWaitRetry::ended() { said_ = false; }

} // namespace norvane::app
