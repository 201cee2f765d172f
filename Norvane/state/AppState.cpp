#include "Norvane/state/AppState.h"

#include <algorithm>
#include <exception>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include <QStringList>
#include <QTimer>

#include "Norvane/LogCategories.h"
#include "Norvane/state/BackgroundScheduler.h"
#include "Norvane/state/BackgroundWork.h"
#include "Norvane/state/DerivedWrites.h"
#include "Norvane/state/StoreChanges.h"

namespace norvane::app {
namespace {

constexpr int historyIntervalDays = 7;

bool isFailed(const CollectionResult& result) { return result.isFailure(); }

bool isReportable(const CollectionResult& result) {
    return result.isSuccess() && result.dailyActivity && result.project;
}

/// Why another program kept the result from landing; none when it landed or failed otherwise.
std::optional<QString> keptWaitingBy(const CollectionResult& result) {
    if (!result.error || !result.error->storeKeptWaiting) return std::nullopt;
    return QString::fromStdString(result.error->message);
}

QString failureText(const CollectionResult& result) {
    return result.error ? QString::fromStdString(result.error->message) : QStringLiteral("Collection failed");
}

/// "Failed to collect: " and the failed projects' names, each group of them followed by why they
/// failed: "Failed to collect: atlas, cairo: REASON; delta: OTHER REASON". One reason shared by
/// all (a store that cannot be written) is said once.
QString collectAllFailureText(const std::vector<CollectionResult>& results) {
    std::vector<std::pair<QString, QStringList>> reasons;
    for (const auto& result : results) {
        if (!isFailed(result)) continue;
        const QString reason = failureText(result);
        auto group =
            std::find_if(reasons.begin(), reasons.end(), [&](const auto& known) { return known.first == reason; });
        if (group == reasons.end()) group = reasons.insert(reasons.end(), {reason, {}});
        group->second << QString::fromStdString(result.projectName);
    }
    QStringList groups;
    for (const auto& [reason, names] : reasons)
        groups << names.join(QStringLiteral(", ")) + QStringLiteral(": ") + reason;
    return groups.isEmpty() ? QString() : QStringLiteral("Failed to collect: ") + groups.join(QStringLiteral("; "));
}

} // namespace

AppState::AppState(Services services, Timing timing, QObject* parent)
    : QObject(parent), services_(std::move(services)), timing_(timing),
      metricsRetry_(
          stateLog(), QStringLiteral("Failed to refresh metrics cache whole"), [this] { refreshMetricsCache(); },
          timing.storeRetry),
      dailyRowsRetry_(
          stateLog(), QStringLiteral("Failed to store the daily portfolio rows"), [this] { storeDailyRows(); },
          timing.storeRetry),
      collectionRetry_(
          stateLog(), QStringLiteral("Failed to collect"),
          [this] {
              if (auto again = std::exchange(collectionAgain_, {})) again();
          },
          timing.storeRetry) {
    // The opt-in may change in any window; whoever shows it listens here.
    connect(services_.preferences.get(), &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKey::shareAnonymousMetrics) {
            // Opting out, wherever, drops at once what waits to be sent.
            if (!shareAnonymousMetrics()) configureIndexClient();
            emit shareAnonymousMetricsChanged(shareAnonymousMetrics());
        }
        if (key == PreferenceKey::anonymousDeviceId) emit anonymousDeviceIdChanged(anonymousDeviceId());
    });
    scheduler_ = std::make_unique<BackgroundScheduler>(services_.metrics, services_.notify, services_.clock,
                                                       timing_.schedulerWait, timing_.checkInterval);
    if (services_.requestNotificationPermission) services_.requestNotificationPermission();
    scheduler_->setAppState(this);
    QTimer::singleShot(0, scheduler_.get(), [scheduler = scheduler_.get()] { scheduler->collectIfNeeded(); });
    scheduler_->start();
    QTimer::singleShot(0, this, [this] { configureIndexClient(); });
    QTimer::singleShot(0, this, [this] { refreshMetricsCache(); });
    followStore();
}

void AppState::followStore() {
    if (!services_.store) return;
    storeChanges_ = std::make_unique<StoreChanges>(*services_.store);
    storeRefresh_.setSingleShot(true);
    storeRefresh_.setInterval(StoreChanges::settleMilliseconds);
    connect(storeChanges_.get(), &StoreChanges::changed, &storeRefresh_, qOverload<>(&QTimer::start));
    connect(&storeRefresh_, &QTimer::timeout, this, &AppState::refreshMetricsCache);
}

AppState::~AppState() { waitForCollection(); }

void AppState::waitForCollection() {
    storeChanges_.reset();
    storeRefresh_.stop();
    metricsRetry_.cancel();
    dailyRowsRetry_.cancel();
    collectionRetry_.cancel();
    worker_.shutdown();
    metricsWorker_.shutdown();
}

void AppState::setLastCollectionError(std::optional<QString> error) {
    if (lastCollectionError_ == error) return;
    lastCollectionError_ = std::move(error);
    emit lastCollectionErrorChanged();
}

void AppState::setIsCollecting(bool collecting) {
    if (isCollecting_ == collecting) return;
    isCollecting_ = collecting;
    emit isCollectingChanged(collecting);
}

void AppState::setCollectionProgress(std::optional<CollectionProgress> progress) {
    collectionProgress_ = std::move(progress);
    emit collectionProgressChanged();
}

void AppState::configureIndexClient() {
    const auto deviceId = anonymousDeviceId();
    services_.indexClient->configure(shareAnonymousMetrics(),
                                     deviceId.isEmpty() ? std::nullopt : std::optional(deviceId.toStdString()));
}

template <typename Result>
void AppState::inBackground(std::function<Result()> work,
                            std::function<void(std::optional<Result>, const StepFailure&)> then) {
    worker_.post([this, work = std::move(work), then = std::move(then)] {
        std::optional<Result> result;
        StepFailure failure;
        try {
            result = work();
        } catch (const std::exception& error) {
            failure = {QString::fromStdString(error.what()),
                       dynamic_cast<const NorvaneStore::BusyError*>(&error) != nullptr};
            // A wait is said once, however often it is tried again.
            if (!failure.keptWaiting) qCWarning(stateLog, "Collection failed: %s", error.what());
        }
        QMetaObject::invokeMethod(
            this, [then, result = std::move(result), failure] { then(result, failure); }, Qt::QueuedConnection);
    });
}

bool AppState::waitForStore(const QString& projects, const QString& why, std::function<void()> again) {
    collectionAgain_ = std::move(again);
    return collectionRetry_.keptWaiting(projects + QStringLiteral(": ") + why);
}

void AppState::collectAgainLater(const QString& projects, const QString& why, std::function<void()> again) {
    if (!waitForStore(projects, why, std::move(again))) return;
    collectionWaitSaid_ = QStringLiteral("Waiting to collect %1: %2; trying again until it lets go").arg(projects, why);
    setLastCollectionError(collectionWaitSaid_);
}

void AppState::collectionLanded() {
    collectionRetry_.ended();
    if (collectionWaitSaid_ && lastCollectionError_ == collectionWaitSaid_) setLastCollectionError(std::nullopt);
    collectionWaitSaid_.reset();
}

bool AppState::beginCollection() {
    if (isCollecting_) return false;
    setIsCollecting(true);
    setLastCollectionError(std::nullopt);
    return true;
}

void AppState::finishCollection(const Done& done) {
    setCollectionProgress(std::nullopt);
    setIsCollecting(false);
    if (done) done();
}

void AppState::pauseThenFinish(Done done) {
    QTimer::singleShot(timing_.collectionPause, this, [this, done = std::move(done)] { finishCollection(done); });
}

void AppState::collectAllProjects(Done done) {
    if (!beginCollection()) {
        if (done) done();
        return;
    }
    collectProjects(std::nullopt, {}, std::move(done));
}

void AppState::collectProjects(std::optional<std::vector<std::string>> names, std::vector<CollectionResult> landed,
                               Done done) {
    auto collection = services_.collection;
    inBackground<std::vector<CollectionResult>>(
        [collection, names] {
            if (!names) return collection->collectAll();
            std::vector<CollectionResult> results;
            for (const auto& name : *names) results.push_back(collection->collectProject(name));
            return results;
        },
        [this, names, landed = std::move(landed), done = std::move(done)](
            std::optional<std::vector<CollectionResult>> results, const StepFailure& failure) mutable {
            if (!results && failure.keptWaiting) {
                collectAgainLater(QStringLiteral("the projects"), failure.text,
                                  [=, this] { collectProjects(names, landed, done); });
                return;
            }
            if (!results) {
                collectionLanded();
                setLastCollectionError(failure.text);
                setIsCollecting(false);
                if (done) done();
                return;
            }
            std::vector<std::string> waiting;
            QStringList waitingNames;
            QString why;
            for (auto& result : *results) {
                if (const auto kept = keptWaitingBy(result)) {
                    waiting.push_back(result.projectName);
                    waitingNames << QString::fromStdString(result.projectName);
                    why = *kept;
                } else {
                    landed.push_back(std::move(result));
                }
            }
            if (!waiting.empty()) {
                collectAgainLater(waitingNames.join(QStringLiteral(", ")), why,
                                  [=, this] { collectProjects(waiting, landed, done); });
                return;
            }
            collectionLanded();
            finishCollectAll(landed, done);
        });
}

void AppState::finishCollectAll(const std::vector<CollectionResult>& results, const Done& done) {
    for (const auto& result : results) {
        if (isFailed(result))
            qCWarning(stateLog, "Failed to collect %s: %s", result.projectName.c_str(),
                      qPrintable(failureText(result)));
    }
    if (const QString failure = collectAllFailureText(results); !failure.isEmpty()) setLastCollectionError(failure);
    submitIndexReports(results);
    refreshMetricsCache();
    setIsCollecting(false);
    if (done) done();
}

void AppState::submitIndexReports(const std::vector<CollectionResult>& results) {
    const auto deviceId = anonymousDeviceId();
    if (!shareAnonymousMetrics() || deviceId.isEmpty()) return;
    services_.indexClient->configure(true, deviceId.toStdString());
    auto submissions = std::make_shared<std::vector<std::future<void>>>();
    for (const auto& result : results) {
        if (!isReportable(result)) continue;
        std::optional<VelocityRetention> retention;
        try {
            retention = services_.metrics->getVelocityRetention(*result.project);
        } catch (const std::exception& failure) {
            // The report goes without it.
            qCWarning(stateLog, "Failed to read the velocity retention of %s for its benchmark report: %s",
                      result.projectName.c_str(), failure.what());
        }
        submissions->push_back(
            services_.indexClient->submit(*result.dailyActivity, *result.project, result.snapshot, retention));
    }
    if (!submissions->empty()) showPendingReportsSaveFailure(submissions);
}

void AppState::showPendingReportsSaveFailure(std::shared_ptr<std::vector<std::future<void>>> submissions) {
    // Once every report went out or into the queue: a queue that could not be saved would be lost
    // at the next start.
    runInBackground<std::optional<std::string>>(
        this,
        [client = services_.indexClient, submissions] {
            for (auto& submission : *submissions) submission.wait();
            return client->pendingReportsSaveFailure().get();
        },
        [this](std::optional<std::optional<std::string>> failure, const QString&) {
            if (failure && *failure) setLastCollectionError(QString::fromStdString(**failure));
        });
}

void AppState::startProjectCollection(const QString& name, Done done, ProjectCollected then) {
    if (!beginCollection()) {
        if (done) done();
        return;
    }
    setCollectionProgress(CollectionProgress{name, CollectionProgress::Phase::scc, 0, 0});
    runProjectCollection(name, std::move(done), std::move(then));
}

void AppState::runProjectCollection(const QString& name, Done done, ProjectCollected then) {
    auto collection = services_.collection;
    auto collected = [this, name, then = std::move(then),
                      done = std::move(done)](std::optional<CollectionResult> result, const StepFailure& failure) {
        std::optional<QString> why = failure.keptWaiting ? std::optional(failure.text) : std::nullopt;
        if (result) why = keptWaitingBy(*result);
        if (why) {
            collectAgainLater(name, *why, [=, this] { runProjectCollection(name, done, then); });
            return;
        }
        collectionLanded();
        then(std::move(result), failure.text, done);
    };
    inBackground<CollectionResult>([collection, name] { return collection->collectProject(name.toStdString()); },
                                   std::move(collected));
}

void AppState::collectProject(const QString& name, Done done) {
    startProjectCollection(
        name, std::move(done),
        [this, name](std::optional<CollectionResult> result, const QString& error, Done finished) {
            if (!result) {
                setLastCollectionError(error);
            } else if (isFailed(*result)) {
                setLastCollectionError(failureText(*result));
            } else {
                setCollectionProgress(CollectionProgress{name, CollectionProgress::Phase::complete, 0, 0});
                refreshMetricsCache();
            }
            pauseThenFinish(finished);
        });
}

void AppState::collectProjectWithHistory(const QString& name, Done done) {
    startProjectCollection(name, std::move(done),
                           [this, name](std::optional<CollectionResult> result, const QString& error, Done finished) {
                               if (!result) {
                                   setLastCollectionError(error);
                                   pauseThenFinish(finished);
                               } else if (isFailed(*result)) {
                                   // The progress goes at once when the first step of a full collection fails.
                                   setLastCollectionError(failureText(*result));
                                   finishCollection(finished);
                               } else {
                                   startHistoryImport(name, finished);
                               }
                           });
}

void AppState::startHistoryImport(const QString& name, Done done) {
    setCollectionProgress(CollectionProgress{name, CollectionProgress::Phase::history, 0, 0});
    auto collection = services_.collection;
    inBackground<bool>(
        [this, collection, name] {
            collection->collectHistory(name.toStdString(), historyIntervalDays, [this, name](int current, int total) {
                QMetaObject::invokeMethod(
                    this, [this, name, current, total] { reportCollectionProgress(name, current, total); },
                    Qt::QueuedConnection);
            });
            return true;
        },
        [this, name, done = std::move(done)](std::optional<bool> imported, const StepFailure& failure) {
            if (failure.keptWaiting) {
                collectAgainLater(name, failure.text, [=, this] { startHistoryImport(name, done); });
                return;
            }
            collectionLanded();
            if (!imported) {
                setLastCollectionError(failure.text);
                pauseThenFinish(done);
                return;
            }
            setCollectionProgress(CollectionProgress{name, CollectionProgress::Phase::complete, 0, 0});
            refreshMetricsCache();
            pauseThenFinish(done);
        });
}

void AppState::reportCollectionProgress(const QString& name, int current, int total) {
    // A report that arrives once the import has ended would put an old count back on screen.
    if (!collectionProgress_ || collectionProgress_->phase != CollectionProgress::Phase::history ||
        collectionProgress_->projectName != name) {
        return;
    }
    setCollectionProgress(CollectionProgress{name, CollectionProgress::Phase::history, current, total});
}

void AppState::onMainThread(std::function<void()> step) {
    QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}

bool AppState::addProjectAndCollect(NewProject project, NewProjectReports reports) {
    if (!beginCollection()) return false;
    registerNewProject(std::move(project), std::make_shared<NewProjectReports>(std::move(reports)));
    return true;
}

void AppState::addAgainLater(const std::shared_ptr<NewProjectReports>& reports, const std::string& name,
                             const QString& why, std::function<void()> again) {
    waitForStore(QString::fromStdString(name), why, std::move(again));
    // Each try that waits: the try's own progress says otherwise meanwhile.
    if (reports->keptWaiting) reports->keptWaiting(why);
}

void AppState::registerNewProject(NewProject project, std::shared_ptr<NewProjectReports> reports) {
    worker_.post([this, collection = services_.collection, project = std::move(project), reports] {
        std::shared_ptr<Project> stored;
        try {
            stored = collection->addProject(project);
        } catch (const NorvaneStore::BusyError& failure) {
            onMainThread([this, project, reports, why = QString::fromStdString(failure.what())] {
                addAgainLater(reports, project.name, why, [=, this] { registerNewProject(project, reports); });
            });
            return;
        } catch (const std::exception&) {
            onMainThread([this, reports, refusal = std::current_exception()] {
                collectionLanded();
                finishNewProject(reports, refusal, {});
            });
            return;
        }
        onMainThread([this, reports, path = QString::fromStdString(stored->path)] {
            collectionLanded();
            if (reports->registered) reports->registered(path);
        });
        collectNewProject(stored, reports);
    });
}

void AppState::collectNewProject(const std::shared_ptr<Project>& stored,
                                 const std::shared_ptr<NewProjectReports>& reports) {
    NewProjectCollection outcome;
    std::optional<QString> keptWaiting;
    try {
        const auto result = services_.collection->collectInitialData(stored, [this, reports](const auto& stage) {
            onMainThread([reports, stage] {
                if (reports->progress) reports->progress(stage);
            });
        });
        if (result.error) outcome.error = QString::fromStdString(result.error->message);
        if (result.error && result.error->storeKeptWaiting) keptWaiting = outcome.error;
        if (result.sccSnapshot) {
            outcome.codeLines = result.sccSnapshot->codeLines;
            outcome.totalFiles = result.sccSnapshot->totalFiles;
        }
    } catch (const NorvaneStore::BusyError& failure) {
        keptWaiting = QString::fromStdString(failure.what());
    } catch (const std::exception& failure) {
        outcome.error = QString::fromStdString(failure.what());
    }
    if (keptWaiting) {
        // The add stays unfinished meanwhile, as an ending leaves it for the next collection.
        onMainThread([this, stored, reports, name = stored->name, why = *keptWaiting] {
            addAgainLater(reports, name, why,
                          [=, this] { worker_.post([=, this] { collectNewProject(stored, reports); }); });
        });
        return;
    }
    onMainThread([this, reports, outcome] {
        collectionLanded();
        finishNewProject(reports, nullptr, outcome);
    });
}

void AppState::finishNewProject(const std::shared_ptr<NewProjectReports>& reports, std::exception_ptr refusal,
                                const NewProjectCollection& outcome) {
    if (!refusal && !outcome.error) refreshMetricsCache();
    setIsCollecting(false);
    if (!refusal) {
        if (reports->collected) reports->collected(outcome);
        return;
    }
    try {
        std::rethrow_exception(refusal);
    } catch (const std::exception& failure) {
        if (reports->refused) reports->refused(failure);
    }
}

void AppState::refreshMetricsCache() {
    // A refresh that has not begun to read reads what changed up to now too.
    if (refreshWaiting_->exchange(true)) return;
    metricsRetry_.cancel();
    // The refresh stores the rows it derives anew.
    dailyRowsRetry_.cancel();
    ++refreshesUnderWay_;
    metricsWorker_.post([this, waiting = refreshWaiting_, metrics = services_.metrics] {
        waiting->store(false);
        const DerivedWrites derived;
        auto refresh = MetricsRefresh::read(*metrics);
        QMetaObject::invokeMethod(
            this, [this, refresh = std::move(refresh)] { takeMetricsRefresh(refresh); }, Qt::QueuedConnection);
    });
}

void AppState::takeMetricsRefresh(const MetricsRefresh& refresh) {
    --refreshesUnderWay_;
    hasRefreshed_ = true;
    // A file at the store's path that cannot be opened as a store has no figures, as a start shows.
    const bool storeUnavailable = services_.store && services_.store->openingFailure();
    if (storeUnavailable) {
        cachedPortfolioMetrics_.reset();
        cachedRollingLeverageData_.clear();
        unsavedDailyRows_.reset();
    }
    if (refresh.metrics) cachedPortfolioMetrics_ = refresh.metrics;
    if (refresh.rollingLeverage) cachedRollingLeverageData_ = *refresh.rollingLeverage;
    if (!refresh.failure || storeUnavailable) {
        // The projects as read now, as a start would read them: a project gone from the store
        // keeps no figures.
        cachedProjectLeverage_.clear();
        cachedProjectComposition_.clear();
        cachedProjectVelocityRetention_.clear();
        cachedProjectVelocityData_.clear();
    }
    for (const auto& figures : refresh.projects) takeProjectFigures(figures);
    // A refresh made again stores its rows anew.
    if (refresh.rows) takeStoredRows(*refresh.rows, !refresh.keptWaiting);
    if (refresh.keptWaiting) {
        metricsRetry_.keptWaiting(QString::fromStdString(*refresh.keptWaiting));
    } else {
        metricsRetry_.ended();
    }
    if (refresh.failure) {
        if (refresh.failure != refresh.keptWaiting)
            qCWarning(stateLog, "Failed to refresh metrics cache: %s", refresh.failure->c_str());
    } else if (!metricsLoaded_) {
        metricsLoaded_ = true;
        emit metricsLoadedChanged(true);
    }
    emit metricsCacheChanged();
    emit metricsRefreshed();
}

void AppState::takeStoredRows(const MetricsRefresh::RowsStored& stored, bool retry) {
    unsavedDailyRows_ = stored.unsaved;
    if (stored.keptWaiting && retry) {
        dailyRowsRetry_.keptWaiting(QString::fromStdString(*stored.failure));
        return;
    }
    dailyRowsRetry_.cancel();
    dailyRowsRetry_.ended();
    if (stored.failure && !stored.keptWaiting)
        qCWarning(stateLog, "Failed to store the daily portfolio rows: %s", stored.failure->c_str());
}

void AppState::storeDailyRows() {
    if (!unsavedDailyRows_) return;
    metricsWorker_.post([this, metrics = services_.metrics, rows = unsavedDailyRows_] {
        const DerivedWrites derived;
        auto stored = MetricsRefresh::RowsStored::store(*metrics, rows);
        QMetaObject::invokeMethod(
            this,
            [this, rows, stored = std::move(stored)] {
                // A refresh since derives and stores the rows anew.
                if (rows == unsavedDailyRows_ && refreshesUnderWay_ == 0) takeStoredRows(stored, true);
            },
            Qt::QueuedConnection);
    });
}

void AppState::takeProjectFigures(const MetricsRefresh::ProjectFigures& figures) {
    const auto& key = figures.project.id;
    if (figures.leverage) cachedProjectLeverage_[key] = *figures.leverage;
    if (figures.composition) cachedProjectComposition_[key] = *figures.composition;
    if (figures.retention) cachedProjectVelocityRetention_[key] = *figures.retention;
    if (figures.velocity) cachedProjectVelocityData_[key] = *figures.velocity;
    if (figures.failure) {
        qCWarning(stateLog, "Failed to refresh project metrics cache for %s: %s", figures.project.name.c_str(),
                  figures.failure->c_str());
    }
}

} // namespace norvane::app
