#include "Norvane/state/BackgroundScheduler.h"

#include <algorithm>
#include <exception>

#include "Norvane/LogCategories.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/BackgroundWork.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {

BackgroundScheduler::BackgroundScheduler(std::shared_ptr<MetricsSource> metrics, Notify notify, platform::Clock clock,
                                         std::chrono::milliseconds wait, std::chrono::milliseconds checkInterval)
    : metrics_(std::move(metrics)), notify_(std::move(notify)), clock_(std::move(clock)), wait_(wait),
      checkInterval_(checkInterval) {}

void BackgroundScheduler::start() {
    timer_ = std::make_unique<QTimer>();
    timer_->setInterval(checkInterval_);
    connect(timer_.get(), &QTimer::timeout, this, [this] { collectIfNeeded(); });
    timer_->start();
    nextScheduledCollection_ = clock_() + std::chrono::duration_cast<std::chrono::microseconds>(checkInterval_);
}

void BackgroundScheduler::collectIfNeeded(std::function<void()> done) {
    if (!appState_ || appState_->isCollecting()) {
        if (done) done();
        return;
    }
    readSnapshotDates([this, done = std::move(done)](const SnapshotDates& dates) { collectUnlessDone(dates, done); });
}

void BackgroundScheduler::collectUnlessDone(const SnapshotDates& dates, std::function<void()> done) {
    if (hasCollectedToday(dates) && !dates->addUnfinished) {
        updateLastCollectionDate(dates);
        if (done) done();
        return;
    }
    QTimer::singleShot(wait_, this, [this, done = std::move(done)] {
        auto finish = [this, done] {
            readSnapshotDates([this, done](const SnapshotDates& collected) {
                updateLastCollectionDate(collected);
                sendCompletionNotification();
                if (done) done();
            });
        };
        if (!appState_) {
            finish();
            return;
        }
        appState_->collectAllProjects(finish);
    });
}

void BackgroundScheduler::readSnapshotDates(std::function<void(const SnapshotDates&)> then) {
    runInBackground<SnapshotDates>(
        this, [metrics = metrics_] { return newestSnapshotDates(*metrics); },
        [then = std::move(then)](std::optional<SnapshotDates> dates, const QString&) {
            then(dates ? *dates : std::nullopt);
        });
}

BackgroundScheduler::SnapshotDates BackgroundScheduler::newestSnapshotDates(MetricsSource& metrics) {
    try {
        ProjectsRead read;
        // An archived project is collected only to finish its add.
        for (const auto& listing : metrics.listProjects(true)) {
            read.addUnfinished = read.addUnfinished || listing.addUnfinished;
            if (listing.project.status == ProjectStatus::archived) continue;
            if (listing.newestSnapshot) read.dates.push_back(listing.newestSnapshot->capturedAt);
        }
        return read;
    } catch (const std::exception& failure) {
        qCWarning(stateLog, "Failed to read when the projects were last collected: %s", failure.what());
        return std::nullopt;
    }
}

bool BackgroundScheduler::hasCollectedToday(const SnapshotDates& dates) const {
    if (!dates) return false;
    const auto today = platform::LocalCalendar::startOfDay(clock_());
    return std::any_of(dates->dates.begin(), dates->dates.end(),
                       [&](auto date) { return platform::LocalCalendar::isSameDay(date, today); });
}

void BackgroundScheduler::updateLastCollectionDate(const SnapshotDates& dates) {
    // A store that cannot be read keeps the date shown.
    if (!dates) return;
    lastCollectionDate_.reset();
    if (!dates->dates.empty()) lastCollectionDate_ = *std::max_element(dates->dates.begin(), dates->dates.end());
    emit lastCollectionDateChanged();
}

void BackgroundScheduler::sendCompletionNotification() {
    if (notify_) notify_(QStringLiteral("Norvane"), QStringLiteral("Metrics collection completed"));
}

} // namespace norvane::app
