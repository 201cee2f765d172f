#pragma once

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QSettings>
#include <QTest>
#include <QThreadPool>

#include "Norvane/state/AppState.h"
#include "core/facade/NorvaneStore.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/NorvaneError.h"
#include "core/models/Snapshot.h"
#include "platform/persistence/ModelContext.h"
#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app::testing {

/// A project saved in `context`, changed by `edit` before the save.
inline std::shared_ptr<Project> saveProject(platform::ModelContext& context, const std::string& name,
                                            ProjectStatus status = ProjectStatus::active,
                                            const std::function<void(Project&)>& edit = {}) {
    auto project = Project::create(name, "/tmp/" + name, std::nullopt, ProjectType::organic);
    project->status = status;
    if (edit) edit(*project);
    context.insert(project);
    context.save();
    return project;
}

/// A collector whose answers the test sets before it starts a collection.
class FakeCollection : public CollectionService {
public:
    std::vector<CollectionResult> allResults;
    std::map<std::string, CollectionResult> projectResults;
    std::string openFailure;
    std::string historyFailure;
    int historyCommits = 0;
    std::atomic<int> collectAllCalls = 0;
    std::vector<InitialCollectionProgress> initialStages;
    std::string initialFailure;
    /// How many more tries of each step another program keeps waiting: a project's collection (by
    /// its name), "history", "add" and "first collection".
    std::map<std::string, int> keptWaiting;
    /// The tries of each project's own collection.
    std::map<std::string, int> projectCalls;

    /// Refuses the name "Taken" as the store would.
    std::shared_ptr<Project> addProject(const NewProject& project) override {
        if (project.name == "Taken") throw NorvaneError::duplicateName(project.name);
        if (waits("add")) throw NorvaneStore::BusyError(lockWait);
        return Project::create(project.name, project.path, project.description, project.projectType);
    }
    InitialCollectionResult collectInitialData(const std::shared_ptr<Project>& project,
                                               const InitialProgress& progress) override {
        for (const auto& stage : initialStages) progress(stage);
        InitialCollectionResult result{project};
        if (!initialFailure.empty()) result.error = CollectionError{initialFailure, std::nullopt};
        if (waits("first collection")) result.error = CollectionError::from(NorvaneStore::BusyError(lockWait));
        return result;
    }

    std::vector<CollectionResult> collectAll() override {
        failIfClosed();
        ++collectAllCalls;
        auto results = allResults;
        for (auto& result : results) {
            if (waits(result.projectName)) result = keptWaitingResult(result.projectName);
        }
        return results;
    }
    CollectionResult collectProject(const std::string& name) override {
        failIfClosed();
        ++projectCalls[name];
        return waits(name) ? keptWaitingResult(name) : projectResults.at(name);
    }
    void collectHistory(const std::string&, int intervalDays, const HistoryProgress& progress) override {
        if (intervalDays != 7) throw std::runtime_error("unexpected interval");
        for (int commit = 1; commit <= historyCommits; ++commit) progress(commit, historyCommits);
        if (!historyFailure.empty()) throw std::runtime_error(historyFailure);
        if (waits("history")) throw NorvaneStore::BusyError(lockWait);
    }

    static constexpr const char* lockWait = "Another program kept the store locked";

private:
    void failIfClosed() const {
        if (!openFailure.empty()) throw std::runtime_error(openFailure);
    }
    bool waits(const std::string& step) {
        const std::lock_guard lock(mutex_);
        const auto found = keptWaiting.find(step);
        return found != keptWaiting.end() && found->second-- > 0;
    }
    static CollectionResult keptWaitingResult(const std::string& name) {
        return {.projectName = name, .error = CollectionError::from(NorvaneStore::BusyError(lockWait))};
    }

    std::mutex mutex_;
};

/// Portfolio figures over real project records in an in-memory store; any step can be made to
/// fail.
class FakeMetrics : public MetricsSource {
public:
    std::shared_ptr<platform::ModelContext> context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeInMemoryContainer());
    std::string failingStep;
    std::string failingProject;
    /// How many more reads of the portfolio figures another program keeps waiting in vain.
    std::atomic<int> keptWaiting{0};
    /// What the portfolio figures read, apart from the number of active projects.
    PortfolioMetrics figures;

    std::shared_ptr<Project> addProject(const std::string& name, ProjectStatus status = ProjectStatus::active) {
        return saveProject(*context, name, status);
    }
    void addSnapshot(const std::shared_ptr<Project>& project, platform::Date capturedAt) {
        auto snapshot = Snapshot::create(project);
        snapshot->capturedAt = capturedAt;
        context->insert(snapshot);
        context->save();
    }

    /// None: the figures read the stored rows.
    DailyRows deriveDailySnapshots() override {
        step("rebuild");
        return nullptr;
    }
    void saveDailySnapshots(const DailyRows&) override {}
    PortfolioMetrics calculateMetrics(int windowDays, const DailyRows&) override {
        if (keptWaiting > 0 && keptWaiting-- > 0) throw NorvaneStore::BusyError("The store stays locked");
        step("metrics");
        PortfolioMetrics metrics = figures;
        metrics.activeProjectsInWindow = windowDays;
        return metrics;
    }
    std::vector<LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays, const DailyRows&) override {
        step("rolling");
        return {LeveragePoint{platform::currentDate(), double(windowDays + spanDays)}};
    }
    std::vector<ProjectListing> listProjects(bool includeArchived) override {
        step("projects");
        auto all = NorvaneStore(context->container()).listProjects();
        std::erase_if(all, [&](const auto& listing) {
            return !includeArchived && listing.project.status == ProjectStatus::archived;
        });
        return all;
    }
    ProjectRollingLeverage calculateProjectRollingLeverage(const ProjectInfo&) override { return {}; }
    OutputComposition getOutputComposition(const ProjectInfo& project, int) override {
        if (project.name == failingProject) throw std::runtime_error("composition failed");
        return {};
    }
    VelocityRetention getVelocityRetention(const ProjectInfo&) override {
        step("retention");
        return {};
    }
    std::vector<VelocityPoint> getVelocityTimeSeries(const ProjectInfo&, int days) override {
        return {VelocityPoint{platform::currentDate(), double(days)}};
    }

private:
    void step(const std::string& name) const {
        if (name == failingStep) throw std::runtime_error(name + " failed");
    }
};

/// Records what the state and the pages hand the client; answers the queue count with
/// `pendingCount`, every deletion with success, and the percentiles and benchmarks with what the
/// test set.
class FakeIndexClient : public IndexClient {
public:
    struct PercentileRequest {
        std::optional<double> throughput;
        std::optional<double> velocityRetention;
        std::optional<double> activeDaysPerWeek;
        ProjectSizeBucket sizeBucket;
    };

    std::vector<std::pair<bool, std::optional<std::string>>> configurations;
    std::vector<std::string> submittedProjects;
    std::vector<std::string> forgottenDevices;
    std::atomic<std::size_t> pendingCount = 0;
    std::optional<UserPercentiles> percentiles;
    std::optional<CachedBenchmarks> benchmarks;
    /// What the queue's last save answers.
    std::optional<std::string> saveFailure;

    std::vector<PercentileRequest> percentileRequests() const {
        std::lock_guard lock(mutex_);
        return percentileRequests_;
    }

    void configure(bool isEnabled, std::optional<std::string> deviceId) override {
        configurations.emplace_back(isEnabled, std::move(deviceId));
    }
    std::future<void> submit(const DailyActivityInfo&, const ProjectInfo& project, const std::optional<SnapshotInfo>&,
                             const std::optional<VelocityRetention>&) override {
        submittedProjects.push_back(project.name);
        return ready();
    }
    std::future<std::size_t> pendingReportCount() override {
        std::promise<std::size_t> count;
        count.set_value(pendingCount);
        return count.get_future();
    }
    std::future<std::optional<std::string>> pendingReportsSaveFailure() override {
        std::lock_guard lock(mutex_);
        return std::async(std::launch::deferred, [answer = saveFailure] { return answer; });
    }
    std::future<void> forgetDevice(std::string deviceId) override {
        forgottenDevices.push_back(std::move(deviceId));
        return ready();
    }
    std::future<bool> isForgotten(std::string deviceId) override {
        std::promise<bool> forgotten;
        forgotten.set_value(std::find(forgottenDevices.begin(), forgottenDevices.end(), deviceId) !=
                            forgottenDevices.end());
        return forgotten.get_future();
    }
    std::future<void> requestDeletion(std::string) override { return ready(); }
    std::future<std::optional<UserPercentiles>> calculatePercentiles(std::optional<double> throughput,
                                                                     std::optional<double> velocityRetention,
                                                                     std::optional<double> activeDaysPerWeek,
                                                                     ProjectSizeBucket sizeBucket) override {
        std::lock_guard lock(mutex_);
        percentileRequests_.push_back({throughput, velocityRetention, activeDaysPerWeek, sizeBucket});
        return std::async(std::launch::deferred, [answer = percentiles] { return answer; });
    }
    std::future<std::optional<CachedBenchmarks>> cachedBenchmarks() override {
        std::lock_guard lock(mutex_);
        return std::async(std::launch::deferred, [answer = benchmarks] { return answer; });
    }

private:
    static std::future<void> ready() {
        std::promise<void> done;
        done.set_value();
        return done.get_future();
    }

    mutable std::mutex mutex_;
    std::vector<PercentileRequest> percentileRequests_;
};

/// Runs `start` and the event loop until the state's next metrics refresh has ended.
template <typename Start>
bool refreshes(AppState& state, Start start) {
    bool ended = false;
    const auto connection = QObject::connect(&state, &AppState::metricsRefreshed, [&ended] { ended = true; });
    start();
    const bool done = QTest::qWaitFor([&ended] { return ended; }, 10'000);
    QObject::disconnect(connection);
    return done;
}

/// Fakes, a settings file of its own and the notifications posted.
struct AppStateFixture {
    norvane::testing::TemporaryFolder folder;
    std::shared_ptr<FakeCollection> collection = std::make_shared<FakeCollection>();
    std::shared_ptr<FakeMetrics> metrics = std::make_shared<FakeMetrics>();
    std::shared_ptr<FakeIndexClient> index = std::make_shared<FakeIndexClient>();
    std::shared_ptr<QSettings> settings = std::make_shared<QSettings>(
        QString::fromStdString((folder.path() / "settings.ini").string()), QSettings::IniFormat);
    std::shared_ptr<Preferences> preferences = std::make_shared<Preferences>(settings);
    std::vector<QString> notifications;
    int permissionRequests = 0;

    AppStateFixture() { norvane::testing::testApplication(); }
    // A page's load still running would open the store at its path again once the folder is gone,
    // and leave a folder with a new store behind.
    ~AppStateFixture() { QThreadPool::globalInstance()->waitForDone(); }
    AppStateFixture(const AppStateFixture&) = delete;
    AppStateFixture& operator=(const AppStateFixture&) = delete;

    /// The scheduler's first check waits an hour unless told otherwise, out of the tests' way, and
    /// work that the fakes keep waiting is tried again at once. The state's first metrics refresh has
    /// ended, unless told not to wait for it. Given a store, the state follows it.
    std::unique_ptr<AppState>
    makeState(AppState::Timing timing = {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6),
                                         std::chrono::milliseconds(10)},
              std::optional<NorvaneStore> store = std::nullopt, bool awaitFirstRefresh = true) {
        AppState::Services services{
            collection,
            metrics,
            index,
            preferences,
            [this](const QString& title, const QString& body) { notifications.push_back(title + ": " + body); },
            [this] { ++permissionRequests; },
            platform::systemClock(),
            std::move(store)};
        auto state = std::make_unique<AppState>(std::move(services), timing);
        if (awaitFirstRefresh) {
            EXPECT_TRUE(refreshes(*state, [] {}));
        }
        return state;
    }
};

/// A real store file beside the settings, and an application state over the fakes that follows
/// the store, as the application's does.
struct StoreFixture : AppStateFixture {
    std::shared_ptr<platform::ModelContainer> container =
        NorvaneDatabase::makeContainer(folder.path() / "norvane.store");
    std::shared_ptr<platform::ModelContext> context = std::make_shared<platform::ModelContext>(container);
    std::unique_ptr<AppState> state = makeState(
        {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)}, NorvaneStore(container));

    /// Saves a project to the store and lets the views hear of it.
    std::shared_ptr<Project> add(const std::string& name, ProjectStatus status = ProjectStatus::active,
                                 const std::function<void(Project&)>& edit = {}) {
        auto project = saveProject(*context, name, status, edit);
        QCoreApplication::processEvents();
        return project;
    }
};

/// The warnings logged while it lives, each as "category: message".
class CapturedWarnings {
public:
    CapturedWarnings() : previous_(qInstallMessageHandler(&record)) { lines().clear(); }
    ~CapturedWarnings() { qInstallMessageHandler(previous_); }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    static std::vector<QString>& lines() {
        static std::vector<QString> recorded;
        return recorded;
    }

private:
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtWarningMsg) lines().push_back(QString::fromLatin1(context.category) + ": " + message);
    }

    QtMessageHandler previous_;
};

/// Starts a request, handing it a callback for its end, and runs the event loop until it has ended.
template <typename Start>
bool finishes(Start start) {
    bool done = false;
    start([&done] { done = true; });
    return QTest::qWaitFor([&done] { return done; }, 10'000);
}

inline CollectionResult succeeded(const std::shared_ptr<Project>& project, bool withActivity) {
    CollectionResult result{.projectName = project->name,
                            .projectPath = project->path,
                            .snapshot = Snapshot::create(project)->info(),
                            .project = project->info()};
    if (withActivity) result.dailyActivity = DailyActivity::create(project, platform::currentDate())->info();
    return result;
}

inline CollectionResult failed(const std::string& name, const std::string& message) {
    return {.projectName = name, .error = CollectionError{message, std::nullopt}};
}

} // namespace norvane::app::testing
