#pragma once

#include "core/collection/ActivityBook.h"
#include "core/collection/CollectionMoment.h"
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
///
/// Daily rows follow one rule, whoever writes them: they equal what a fresh history import books
/// from the repository as it is now (ActivityBook). A project's add is complete once its history
/// was imported whole; until then a collection finishes it.
class Collector {
public:
    using InitialCollectionProgress = norvane::InitialCollectionProgress;
    using InitialCollectionResult = norvane::InitialCollectionResult;
    /// Place among the sampled commits (1-based), their number, and the commit being stored.
    using HistoryProgress = std::function<void(int current, int total, const GitCommit& commit)>;
    using InitialProgress = std::function<void(const InitialCollectionProgress& stage)>;

    explicit Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService = SccService(),
                       GitService gitService = GitService(), platform::Clock clock = platform::systemClock());
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

    /// Every project to collect (see projectsToCollect), by name, one after another: a result for
    /// each, which carries its failure. An archived one gets only what its add had still to do: a
    /// code count the add saved stands. Throws the store's error when the projects cannot be
    /// listed, rather than passing for a store without projects.
    std::vector<CollectionResult> collectAll();
    /// Counts the folder, stores an "scc" snapshot with its language rows, books the repository's
    /// daily activity as it now is and stamps the project; imports the history of a project whose
    /// add did not finish.
    CollectionResult collectOne(const std::shared_ptr<Project>& project);
    /// The same with `counter`, which a collection of several projects finds once for all of them
    /// (SccService::withCounterFound).
    CollectionResult collectOne(const std::shared_ptr<Project>& project, const SccService& counter);
    CollectionResult collectProject(const std::string& name);
    /// Replaces, in one transaction, the project's "gitHistory" snapshots with one per sampled
    /// commit of HEAD's history (0: every commit), its activity rows with those of every commit of
    /// HEAD and the local branches, its AI-model rows and its velocity baseline.
    HistoryImportResult collectHistory(const std::shared_ptr<Project>& project, int sampleInterval,
                                       const HistoryProgress& progress = {});
    /// The stored settings, or unsaved defaults when there are none or they cannot be read.
    std::shared_ptr<AppSettings> fetchAppSettings();
    /// Collects a new project, then imports its history every 7 days, reporting each stage.
    InitialCollectionResult collectInitialData(const std::shared_ptr<Project>& project,
                                               const InitialProgress& progress = {});
    /// Sets, without saving, the velocity baseline as the activity rows give it, those about to be
    /// saved included: once the first commit, by the moment the rows book it at, is 60 days old,
    /// the mean code lines changed per row of the first 60 local days from its day on; none
    /// before, or without rows. The one computation of the baseline, for imports and collections.
    void calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project, platform::Date firstCommittedAt);
    /// A repository whose history was never imported whole: its add was interrupted, and the next
    /// collection finishes it. Reads only the store and the folder.
    bool hasUnfinishedAdd(const std::shared_ptr<Project>& project);
    /// What a collection of every project collects, by name: each project that is not archived,
    /// and an archived one whose add did not finish, so that it finishes. Throws a failed read.
    std::vector<std::shared_ptr<Project>> projectsToCollect();

private:
    /// What the counter and git say of a project, read before anything is stored.
    struct Reading {
        /// The collection's moment, taken first.
        CollectionMoment moment;
        SccOutput codeCount;
        std::optional<GitTips> tips;
        std::optional<ActivityBook::Update> activity;
        std::optional<GitCommit> latest;
        std::optional<platform::Date> firstCommitAt; ///< asked only when the project has none
    };
    /// The settings and, when they could not be read, why.
    struct Settings {
        std::shared_ptr<AppSettings> values;
        std::optional<std::string> failure;
    };

    /// `calculateBaselineVelocityIfNeeded` at the collection's moment `now`.
    void calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project, platform::Date firstCommittedAt,
                                           platform::Date now);
    Reading read(const std::shared_ptr<Project>& project, const SccService& counter, bool bookActivity);
    /// Reads the tips, what changed in the repository since its rows were booked, and the latest commit.
    void readRepository(const std::shared_ptr<Project>& project, Reading& reading, bool bookActivity);
    /// Saves the count and books the activity that `reading` holds; when another program booked the
    /// project meanwhile, reads the repository again and tries anew, the last time with the store
    /// locked. Returns the stored count and the settings that priced it.
    std::pair<std::shared_ptr<Snapshot>, Settings> store(const std::shared_ptr<Project>& project, Reading& reading,
                                                         bool bookActivity);
    /// The tips of the project's repository: the one git finds from its folder when its work tree
    /// begins as many levels above the folder as the booked one did (RepositoryPlace), whatever it
    /// holds. Throws repositoryNotFound where the folder leads to another repository than the one
    /// its rows were booked from: one whose work tree begins higher or lower and that holds none of
    /// the commits they were booked from.
    GitTips readOwnTips(const std::shared_ptr<Project>& project);
    std::optional<GitCommit> latestCommit(const std::shared_ptr<Project>& project, const GitTips& tips,
                                          const std::optional<GitCommit>& read);
    std::shared_ptr<Project> inOwnContext(const std::shared_ptr<Project>& project);
    std::shared_ptr<Snapshot> stageCodeCount(const std::shared_ptr<Project>& project, const Reading& reading);
    /// Dates no snapshot of the project after `moment`, and each history point at its commit once
    /// the commit is no longer ahead of it, as an import at `moment` would.
    void stageSnapshotDates(const std::shared_ptr<Project>& project, platform::Date moment);
    Settings readSettings();
    /// An archived project whose add did not finish, as a collection of every project finishes
    /// it: only what the add had still to do.
    CollectionResult finishArchivedAdd(const std::shared_ptr<Project>& project, const SccService& counter);
    /// Imports the history of a project whose add did not finish.
    void finishAdd(const std::shared_ptr<Project>& project, CollectionResult& result);
    int stageHistory(const std::shared_ptr<Project>& project, const std::vector<GitCommit>& commits, int sampleInterval,
                     const AppSettings& settings, platform::Date now, const HistoryProgress& progress);

    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
    ProjectService projectService_;
    SnapshotService snapshotService_;
    SccService sccService_;
    GitService gitService_;
    ModelAttributionService modelAttributionService_;
    ActivityBook activityBook_;
};

} // namespace norvane
