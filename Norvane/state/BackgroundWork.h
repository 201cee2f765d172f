#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <optional>

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/FreedMemory.h"

namespace norvane::app {
namespace detail {

/// The works that the pool runs now.
inline std::atomic<int> runningWorks{0};

} // namespace detail

/// Runs `work` on the thread pool, so the GUI thread never waits for it, and hands its result (or,
/// when it threw, none and the error's text) to `then` on the GUI thread; nothing is handed over
/// once `receiver` is gone. `work` must own, or share, everything it touches.
template <typename Result>
void runInBackground(QObject* receiver, std::function<Result()> work,
                     std::function<void(std::optional<Result>, const QString&)> then) {
    (void)QtConcurrent::run([receiver = QPointer<QObject>(receiver), work = std::move(work), then = std::move(then)] {
        ++detail::runningWorks;
        std::optional<Result> result;
        QString error;
        try {
            result = work();
        } catch (const std::exception& failure) {
            error = QString::fromUtf8(failure.what());
        }
        // What the works read and dropped would otherwise stay with their threads' arenas. The
        // last of a burst, such as a page's loads, gives it back for all of them.
        if (--detail::runningWorks == 0) platform::FreedMemory::release();
        // Posted to the application, which outlives every receiver, and checked there: the
        // receiver lives on the GUI thread, so only there can it be asked whether it still exists.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [receiver, then, result = std::move(result), error] {
                if (receiver) then(result, error);
            },
            Qt::QueuedConnection);
    });
}

} // namespace norvane::app
