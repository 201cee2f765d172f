#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QTimer>

#include "Norvane/state/CollectionProgress.h"
#include "Norvane/state/CollectionService.h"
#include "Norvane/state/IndexClient.h"
#include "Norvane/state/MetricsRefresh.h"
#include "Norvane/state/MetricsSource.h"
#include "Norvane/state/Preferences.h"
#include "Norvane/state/SaveFolder.h"
#include "Norvane/state/StoreWaitRetry.h"
#include "core/facade/NorvaneStore.h"
#include "platform/Date.h"
#include "platform/SerialExecutor.h"
#include "platform/Uuid.h"

namespace norvane::app {

class BackgroundScheduler;
class StoreChanges;

/// What the application state works with; tests hand in fakes.
struct AppStateServices {
    std::shared_ptr<CollectionService> collection;
    std::shared_ptr<MetricsSource> metrics;
    std::shared_ptr<IndexClient> indexClient;
    std::shared_ptr<Preferences> preferences;
    std::function<void(const QString& title, const QString& body)> notify;
    std::function<void()> requestNotificationPermission;
    platform::Clock clock = platform::systemClock();
    /// The application's store: whenever it changes, by this process or another, the cache is read
    /// again as at start. None in tests of the state alone.
    std::optional<NorvaneStore> store;
};

/// How a new project's first collection ended, in plain values for the main thread.
struct NewProjectCollection {
    /// The collection's failure; the project stays registered all the same.
    std::optional<QString> error;
    std::optional<std::int64_t> codeLines;
    std::optional<std::int64_t> totalFiles;
};

/// What adding a project tells its owner, each on the main thread and in this order: refused, or
/// registered, the stages, then collected. Another program that keeps the store locked meanwhile
/// holds the add up, which waits for it and goes on once it lets go.
struct NewProjectReports {
    /// Nothing was stored: a NorvaneError, the blank name's refusal, or the store's error.
    std::function<void(const std::exception& refusal)> refused;
    /// The project is stored with this folder; its first collection starts.
    std::function<void(const QString& path)> registered;
    std::function<void(const InitialCollectionProgress& stage)> progress;
    std::function<void(const NewProjectCollection& outcome)> collected;
    /// Another program has kept the store locked for longer than the add waits, `why`: the step
    /// that waited, the registration or the first collection, is tried again.
    std::function<void(const QString& why)> keptWaiting;
};

/// How long the state waits; tests shorten it.
struct AppStateTiming {
    std::chrono::milliseconds collectionPause{2000};
    std::chrono::milliseconds schedulerWait{3000};
    std::chrono::milliseconds checkInterval{std::chrono::hours(6)};
    /// How long work that another program kept waiting rests before it is tried again.
    std::chrono::milliseconds storeRetry{StoreWaitRetry::standardInterval};
};

/// The application's one state: whether a collection runs and how it went, the progress of a
/// one-project collection, the cached portfolio and project figures, and the benchmark opt-in.
/// Lives on the main thread; collections run on its own worker and report back in order. The cache
/// follows the store as the pages do: read at start, after each of its collections, and on every
/// notice of the store's changes, whoever made them.
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isCollecting READ isCollecting NOTIFY isCollectingChanged)
    Q_PROPERTY(bool metricsLoaded READ metricsLoaded NOTIFY metricsLoadedChanged)
    Q_PROPERTY(bool shareAnonymousMetrics READ shareAnonymousMetrics WRITE setShareAnonymousMetrics NOTIFY
                   shareAnonymousMetricsChanged)
    Q_PROPERTY(
        QString anonymousDeviceId READ anonymousDeviceId WRITE setAnonymousDeviceId NOTIFY anonymousDeviceIdChanged)

public:
    using Notify = std::function<void(const QString& title, const QString& body)>;
    using Done = std::function<void()>;

    using Services = AppStateServices;
    using Timing = AppStateTiming;

    /// Runs the start-up steps; the first scheduler check, the benchmark client's configuration
    /// and the first metrics refresh follow from the event loop, in that order.
    explicit AppState(Services services, Timing timing = {}, QObject* parent = nullptr);
    ~AppState() override;

    bool isCollecting() const { return isCollecting_; }
    const std::optional<QString>& lastCollectionError() const { return lastCollectionError_; }
    void setLastCollectionError(std::optional<QString> error);
    const std::optional<platform::Uuid>& selectedProjectId() const { return selectedProjectId_; }
    const std::optional<CollectionProgress>& collectionProgress() const { return collectionProgress_; }
    const std::optional<PortfolioMetrics>& cachedPortfolioMetrics() const { return cachedPortfolioMetrics_; }
    const std::map<platform::Uuid, ProjectRollingLeverage>& cachedProjectLeverage() const {
        return cachedProjectLeverage_;
    }
    const std::map<platform::Uuid, OutputComposition>& cachedProjectComposition() const {
        return cachedProjectComposition_;
    }
    const std::map<platform::Uuid, VelocityRetention>& cachedProjectVelocityRetention() const {
        return cachedProjectVelocityRetention_;
    }
    const std::map<platform::Uuid, std::vector<MetricsSource::VelocityPoint>>& cachedProjectVelocityData() const {
        return cachedProjectVelocityData_;
    }
    const std::vector<MetricsSource::LeveragePoint>& cachedRollingLeverageData() const {
        return cachedRollingLeverageData_;
    }
    bool metricsLoaded() const { return metricsLoaded_; }
    /// The daily rows that the cached figures were read from, derived from the history, while the
    /// store has not taken them (another program holds it): what reads the daily rows reads these
    /// meanwhile. None once they are stored.
    const MetricsSource::DailyRows& unsavedDailyRows() const { return unsavedDailyRows_; }
    /// The cache is to be read again, or is being read: the first refresh has not ended, a store
    /// change waits out its burst, or a refresh waits or reads. `metricsRefreshed` ends it.
    bool isRefreshingMetrics() const { return !hasRefreshed_ || refreshesUnderWay_ > 0 || storeRefresh_.isActive(); }
    Preferences& preferences() { return *services_.preferences; }
    bool shareAnonymousMetrics() const { return services_.preferences->shareAnonymousMetrics(); }
    void setShareAnonymousMetrics(bool share) { services_.preferences->setShareAnonymousMetrics(share); }
    QString anonymousDeviceId() const { return services_.preferences->anonymousDeviceId(); }
    void setAnonymousDeviceId(const QString& deviceId) { services_.preferences->setAnonymousDeviceId(deviceId); }
    BackgroundScheduler& scheduler() { return *scheduler_; }
    SaveFolder& saveFolder() { return saveFolder_; }

    /// Each collection returns at once when one is running; `done` runs when the whole
    /// operation has ended (at once when it was refused). A collection that another program keeps
    /// waiting for longer than the store's lock wait is said once, in the last error, and tried again
    /// every two seconds until it lands: it runs until then.
    void collectAllProjects(Done done = {});
    void collectProject(const QString& name, Done done = {});
    void collectProjectWithHistory(const QString& name, Done done = {});
    /// Registers a project and runs its first collection (the count, then the history import) on
    /// the worker, as one collection. False, and nothing runs, while another collection runs.
    bool addProjectAndCollect(NewProject project, NewProjectReports reports);
    /// Reads the figures on a worker of its own and takes them in on this thread, in the order
    /// they are read; refreshes end in the order they were asked for, and one asked for while
    /// another waits to begin is that one. The daily rows it rebuilds are derived writes: they
    /// start no refresh of their own.
    void refreshMetricsCache();
    /// Lets the collection and the metrics refresh under way and the queued ones end, and starts no
    /// more; called before the store closes.
    void waitForCollection();

signals:
    void isCollectingChanged(bool isCollecting);
    void lastCollectionErrorChanged();
    void collectionProgressChanged();
    void metricsCacheChanged();
    /// A metrics refresh has ended, whether or not it read everything.
    void metricsRefreshed();
    void metricsLoadedChanged(bool metricsLoaded);
    void shareAnonymousMetricsChanged(bool share);
    void anonymousDeviceIdChanged(const QString& deviceId);

private:
    /// Why a step of a collection threw, and whether another program kept the store locked for
    /// longer than the step waits, so that it may land later.
    struct StepFailure {
        QString text;
        bool keptWaiting = false;
    };

    bool beginCollection();
    void finishCollection(const Done& done);
    void pauseThenFinish(Done done);
    void finishCollectAll(const std::vector<CollectionResult>& results, const Done& done);
    /// Collects every project, or the named ones, which another program kept waiting before; adds
    /// what lands to `landed`, and tries what was kept waiting again until it lands.
    void collectProjects(std::optional<std::vector<std::string>> names, std::vector<CollectionResult> landed,
                         Done done);
    /// Runs `again` once the retry's pause has passed: another program kept the collection of
    /// `projects` under way waiting, `why`. True at the first wait since the collection's steps
    /// last landed, which the log says now.
    bool waitForStore(const QString& projects, const QString& why, std::function<void()> again);
    /// As `waitForStore`, saying the first wait in the last error too.
    void collectAgainLater(const QString& projects, const QString& why, std::function<void()> again);
    /// A step of the collection has ended other than by waiting: a later wait is said again, and
    /// the wait said is said no more.
    void collectionLanded();
    /// What a one-project collection does with the first step's outcome (absent with an error text
    /// when the step threw).
    using ProjectCollected = std::function<void(std::optional<CollectionResult>, const QString&, Done)>;
    /// Collects `name` on the worker unless a collection runs, then hands the outcome on.
    void startProjectCollection(const QString& name, Done done, ProjectCollected then);
    /// Collects `name` on the worker until another program no longer keeps it waiting.
    void runProjectCollection(const QString& name, Done done, ProjectCollected then);
    void startHistoryImport(const QString& name, Done done);
    /// Registers the project on the worker, then runs its first collection there.
    void registerNewProject(NewProject project, std::shared_ptr<NewProjectReports> reports);
    /// A new project's first collection; on the worker.
    void collectNewProject(const std::shared_ptr<Project>& stored, const std::shared_ptr<NewProjectReports>& reports);
    /// As `waitForStore`, saying each wait to the add's owner.
    void addAgainLater(const std::shared_ptr<NewProjectReports>& reports, const std::string& name, const QString& why,
                       std::function<void()> again);
    void finishNewProject(const std::shared_ptr<NewProjectReports>& reports, std::exception_ptr refusal,
                          const NewProjectCollection& outcome);
    /// Runs `step` on the main thread.
    void onMainThread(std::function<void()> step);
    void submitIndexReports(const std::vector<CollectionResult>& results);
    /// Refreshes the cache on every notice of the store's changes, once for a burst.
    void followStore();
    void takeMetricsRefresh(const MetricsRefresh& refresh);
    /// Keeps the rows that the store did not take, and tries them again later where another program
    /// kept it from taking them and `retry` says so.
    void takeStoredRows(const MetricsRefresh::RowsStored& stored, bool retry);
    /// Stores the unsaved daily rows on the metrics worker.
    void storeDailyRows();
    void takeProjectFigures(const MetricsRefresh::ProjectFigures& figures);
    void reportCollectionProgress(const QString& name, int current, int total);
    void configureIndexClient();
    void showPendingReportsSaveFailure(std::shared_ptr<std::vector<std::future<void>>> submissions);
    void setIsCollecting(bool collecting);
    void setCollectionProgress(std::optional<CollectionProgress> progress);
    /// Runs `work` on the worker, then `then` on the main thread with its result or why it threw.
    template <typename Result>
    void inBackground(std::function<Result()> work,
                      std::function<void(std::optional<Result>, const StepFailure&)> then);

    Services services_;
    Timing timing_;
    bool isCollecting_ = false;
    std::optional<QString> lastCollectionError_;
    std::optional<platform::Uuid> selectedProjectId_;
    std::optional<CollectionProgress> collectionProgress_;
    std::optional<PortfolioMetrics> cachedPortfolioMetrics_;
    std::map<platform::Uuid, ProjectRollingLeverage> cachedProjectLeverage_;
    std::map<platform::Uuid, OutputComposition> cachedProjectComposition_;
    std::map<platform::Uuid, VelocityRetention> cachedProjectVelocityRetention_;
    std::map<platform::Uuid, std::vector<MetricsSource::VelocityPoint>> cachedProjectVelocityData_;
    std::vector<MetricsSource::LeveragePoint> cachedRollingLeverageData_;
    bool metricsLoaded_ = false;
    MetricsSource::DailyRows unsavedDailyRows_;
    bool hasRefreshed_ = false;
    int refreshesUnderWay_ = 0;
    SaveFolder saveFolder_;
    std::unique_ptr<BackgroundScheduler> scheduler_;
    std::unique_ptr<StoreChanges> storeChanges_;
    /// One refresh for the burst of saves that a collection, here or in another process, makes.
    QTimer storeRefresh_;
    /// A refresh that another program kept waiting is made again.
    StoreWaitRetry metricsRetry_;
    /// Daily rows that another program kept the store from taking are stored again.
    StoreWaitRetry dailyRowsRetry_;
    /// The collection's step that another program kept waiting is run again: `collectionAgain_`.
    StoreWaitRetry collectionRetry_;
    std::function<void()> collectionAgain_;
    /// The wait that the last error says, while it is said.
    std::optional<QString> collectionWaitSaid_;
    /// A refresh is waiting on the metrics worker and has not begun to read.
    std::shared_ptr<std::atomic<bool>> refreshWaiting_ = std::make_shared<std::atomic<bool>>(false);
    // The one thread that collections run on, one after another.
    platform::SerialExecutor worker_;
    // The metrics refreshes read the store here, so that the window never waits for them, nor they
    // for a collection.
    platform::SerialExecutor metricsWorker_;
};

} // namespace norvane::app
