#pragma once

#include "core/collection/CollectionResult.h"
#include "core/collection/GitService.h"
#include "core/collection/HistoryImportResult.h"
#include "core/collection/InitialCollectionProgress.h"
#include "core/collection/InitialCollectionResult.h"
#include "core/collection/ModelAttributionService.h"
#include "core/collection/SccService.h"
#include "core/models/AppSettings.h"
#include "core/models/ProjectService.h"
#include "core/models/SnapshotService.h"

#include "platform/persistence/ModelContext.h"

#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// Turns projects' measurements into stored snapshots and daily activity, imports their history
/// and runs a new project's first collection. Operations are synchronous and never throw: errors
/// travel in their results. The caller decides the thread and keeps collections from overlapping.
/// The collector may have a context of its own, so that its failures never undo a caller's
/// pending changes: a project given from another context is looked up again in its own.
class Collector {
public:
    using InitialCollectionProgress = norvane::InitialCollectionProgress;
    using InitialCollectionResult = norvane::InitialCollectionResult;
    /// Place among the sampled commits (1-based), their number, and the commit being stored.
    using HistoryProgress = std::function<void(int current, int total, const GitCommit& commit)>;
    using InitialProgress = std::function<void(const InitialCollectionProgress& stage)>;

    explicit Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService = SccService(),
                       GitService gitService = GitService(), platform::Clock clock = platform::systemClock());

    /// Every project that is not archived, by name, one after another.
    std::vector<CollectionResult> collectAll();
    /// Counts the folder, stores an "scc" snapshot with its language rows, records the daily
    /// activity of a repository and stamps the project.
    CollectionResult collectOne(const std::shared_ptr<Project>& project);
    /// The same with `counter`, which a collection of several projects finds once for all of them
    /// (SccService::withCounterFound).
    CollectionResult collectOne(const std::shared_ptr<Project>& project, const SccService& counter);
    CollectionResult collectProject(const std::string& name);
    /// Replaces the project's "gitHistory" snapshots, in one transaction, with one per sampled
    /// commit (0: every commit), and its activity rows of the days before its first own collection
    /// with one per day of the history; attributes every commit to AI models and derives the
    /// velocity baseline from the rows anew.
    HistoryImportResult collectHistory(const std::shared_ptr<Project>& project, int sampleInterval,
                                       const HistoryProgress& progress = {});
    /// Git's activity of each local day from the day of the project's last collection (or today)
    /// on, and the project's activity rows of those days.
    struct RecentActivity {
        platform::Date since;
        std::vector<std::shared_ptr<DailyActivity>> rows;
        std::map<platform::Date, GitActivityStats> days;
        std::optional<GitCommit> newest;
        /// Whether git's log was read: without it, `days` says nothing of the days.
        bool read = false;
    };
    /// Reads the recent activity and the newest commit; throws NorvaneError gitFailed when git
    /// cannot read the folder.
    RecentActivity readRecentActivity(const std::shared_ptr<Project>& project);
    /// Books each recent day with commits, and saves: today as git shows it, an earlier day without
    /// a row gets one, and an earlier day's row is counted anew when git still shows all that it
    /// counted; a row that counted more than git shows now (an older branch checked out, a tip with
    /// an old date) is left as it is. Returns today's row when there is one; throws the store's
    /// error when the rows could not be saved.
    std::shared_ptr<DailyActivity> updateDailyActivity(const std::shared_ptr<Project>& project,
                                                       const RecentActivity& recent);
    /// The stored settings, or unsaved defaults when there are none.
    std::shared_ptr<AppSettings> fetchAppSettings();
    /// Collects a new project, then imports its history every 7 days, reporting each stage.
    InitialCollectionResult collectInitialData(const std::shared_ptr<Project>& project,
                                               const InitialProgress& progress = {});
    /// The velocity baseline as the activity rows give it: once the first commit, by the committer
    /// date the rows are booked by, is 60 days old, the mean code lines changed per row of the
    /// first 60 local days from its day on; none before, or without rows. Throws a failed save.
    void calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project, platform::Date firstCommittedAt);

private:
    /// What git says of a repository before a collection changes anything.
    struct GitReading {
        std::optional<GitCommit> latest;
        std::optional<platform::Date> firstCommitAt; ///< asked only when the project has none
        std::optional<RecentActivity> recentActivity;
    };

    GitReading readGit(const std::shared_ptr<Project>& project);
    /// The days since the project's last collection, and the heads that its collections read.
    GitActivityWindow activityWindow(const std::shared_ptr<Project>& project, platform::Date now);
    std::shared_ptr<Project> inOwnContext(const std::shared_ptr<Project>& project);
    std::shared_ptr<Snapshot> storeCodeCount(const std::shared_ptr<Project>& project, const SccOutput& output,
                                             const std::optional<GitCommit>& latest);
    void recordLatestCommit(Project& project, const GitReading& git);
    int stageHistory(const std::shared_ptr<Project>& project, const std::vector<GitCommit>& commits, int sampleInterval,
                     const HistoryProgress& progress);
    using RowsByDay = std::map<std::chrono::local_days, std::vector<std::shared_ptr<DailyActivity>>>;
    using DayStats = std::map<platform::Date, GitActivityStats>::const_iterator;

    /// Makes `rows`, the project's rows of a stretch of days, one row per day of [first, last):
    /// each day's row is kept and filled anew, a missing one inserted, and the other rows (a second
    /// row of a day, a day without commits now) removed.
    void rewriteDays(const std::shared_ptr<Project>& project, const std::vector<std::shared_ptr<DailyActivity>>& rows,
                     DayStats first, DayStats last);
    /// The recent rows by the day of this time zone they count: their own, or for a row written
    /// in another zone the first day it overlaps whose commits hold all that it counted.
    RowsByDay recentRowsByDay(const RecentActivity& recent);
    /// Fills the day's one row from `stats`, inserting it when there is none and removing the others.
    std::shared_ptr<DailyActivity> bookDay(const std::shared_ptr<Project>& project,
                                           const std::vector<std::shared_ptr<DailyActivity>>& rows,
                                           platform::Date dayStart, const GitActivityStats& stats,
                                           const AppSettings& settings);
    /// Books the history's days before the project's first own collection as activity rows,
    /// replacing those an earlier import booked; the days a collection counts stay its own.
    void stageImportedActivity(const std::shared_ptr<Project>& project,
                               const std::map<platform::Date, GitActivityStats>& days);
    /// The local day of the project's first code count, today when it has none yet.
    std::chrono::local_days firstOwnCollectionDay(const std::shared_ptr<Project>& project);
    void finishHistory(const std::shared_ptr<Project>& project, platform::Date firstCommittedAt,
                       std::future<ModelAttribution>& attribution, HistoryImportResult& result);

    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
    ProjectService projectService_;
    SnapshotService snapshotService_;
    SccService sccService_;
    GitService gitService_;
    ModelAttributionService modelAttributionService_;
};

} // namespace norvane
