#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "Norvane/state/MetricsSource.h"
#include "platform/Date.h"

namespace norvane::app {

class AppState;

/// Collects all projects once a calendar day while the application runs: checks at start-up and
/// every six hours, collects when no project that is not archived has a snapshot from today, or
/// when a project's add was interrupted (the collection finishes it), and then tells the user. The
/// store is read on a worker: the window's thread never waits for another program that holds it.
class BackgroundScheduler : public QObject {
    Q_OBJECT

public:
    using Notify = std::function<void(const QString& title, const QString& body)>;

    BackgroundScheduler(std::shared_ptr<MetricsSource> metrics, Notify notify, platform::Clock clock,
                        std::chrono::milliseconds wait, std::chrono::milliseconds checkInterval);

    const std::optional<platform::Date>& lastCollectionDate() const { return lastCollectionDate_; }
    const std::optional<platform::Date>& nextScheduledCollection() const { return nextScheduledCollection_; }
    std::chrono::milliseconds checkInterval() const { return checkInterval_; }
    void setAppState(AppState* appState) { appState_ = appState; }

    /// (Re)schedules the repeating check, the first one a full interval from now.
    void start();
    /// One check; `done` runs when it has ended, whatever it did.
    void collectIfNeeded(std::function<void()> done = {});
    void sendCompletionNotification();

signals:
    void lastCollectionDateChanged();

private:
    /// The newest snapshot date of each project that is not archived and has one, and whether an
    /// add was interrupted; none when the store cannot be read. One read serves a check.
    struct ProjectsRead {
        std::vector<platform::Date> dates;
        bool addUnfinished = false;
    };
    using SnapshotDates = std::optional<ProjectsRead>;
    static SnapshotDates newestSnapshotDates(MetricsSource& metrics);
    /// Reads the dates on a worker and hands them to `then` on this object's thread.
    void readSnapshotDates(std::function<void(const SnapshotDates&)> then);
    /// Collects all projects unless one has been collected today and no add waits to be finished.
    void collectUnlessDone(const SnapshotDates& dates, std::function<void()> done);
    bool hasCollectedToday(const SnapshotDates& dates) const;
    void updateLastCollectionDate(const SnapshotDates& dates);

    std::shared_ptr<MetricsSource> metrics_;
    Notify notify_;
    platform::Clock clock_;
    std::chrono::milliseconds wait_;
    std::chrono::milliseconds checkInterval_;
    std::optional<platform::Date> lastCollectionDate_;
    std::optional<platform::Date> nextScheduledCollection_;
    std::unique_ptr<QTimer> timer_;
    QPointer<AppState> appState_;
};

} // namespace norvane::app
