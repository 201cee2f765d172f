#include "core/collection/Collector.h"

#include "core/collection/AddCompletion.h"
#include "core/collection/CocomoEstimate.h"
#include "core/collection/ModelAttributionTally.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/collection/RepositoryPlace.h"
#include "core/models/NewestSnapshot.h"
#include "core/models/StoredSettings.h"
#include "platform/UnicodeText.h"

#include "platform/ErrorLog.h"
#include "platform/LocalCalendar.h"
#include "platform/persistence/StoreError.h"

#include <filesystem>
#include <future>
#include <utility>

namespace norvane {
namespace {

using platform::LocalCalendar::localDay;
using platform::LocalCalendar::startOfDay;

constexpr int initialSampleInterval = 7;
constexpr std::size_t progressMessageLength = 50;
constexpr int baselineDays = 60;

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

/// False for a folder that cannot be listed, such as one without read permission.
bool isReadableFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::directory_iterator(path, error);
    return !error || error == std::errc::not_a_directory;
}

std::shared_ptr<SnapshotLanguage> languageRow(const SccLanguage& language, const std::shared_ptr<Snapshot>& snapshot) {
    auto row = SnapshotLanguage::create(language.name, snapshot);
    row->category = OutputCategoryClassifier::categorize(language.name);
    row->files = language.files;
    row->lines = language.lines;
    row->code = language.code;
    row->comments = language.comments;
    row->blanks = language.blanks;
    row->complexity = language.complexity;
    return row;
}

/// A project that another program removed while it was collected is reported as not found.
CollectionError collectionError(const std::exception& error, const Project& project) {
    if (dynamic_cast<const platform::MissingRecordError*>(&error) != nullptr) {
        return CollectionError::from(NorvaneError::projectNotFound(project.name));
    }
    return CollectionError::from(error);
}

/// Marks the collection failed, keeping nothing of what it read. A project that another program
/// removed meanwhile is no failure: there is nothing left to collect.
void fail(CollectionResult& result, const CollectionError& error) {
    result.snapshot.reset();
    result.dailyActivity.reset();
    result.project.reset();
    const auto& own = error.norvaneError;
    result.projectRemoved = own && own->kind() == NorvaneError::Kind::projectNotFound;
    result.error = result.projectRemoved ? std::nullopt : std::optional(error);
}

std::optional<DailyActivityInfo> infoOf(const std::shared_ptr<DailyActivity>& row) {
    return row ? std::optional(row->info()) : std::nullopt;
}

void copyCommit(Snapshot& snapshot, const GitCommit& commit) {
    snapshot.latestCommitHash = commit.hash;
    snapshot.analyzedCommitHash = commit.hash;
    snapshot.latestCommitMessage = commit.message;
    snapshot.latestCommitAuthor = commit.author;
    snapshot.latestCommitDate = commit.date;
}

/// Says that the clock may be wrong where the rows are newly booked for now only: once for each
/// reason, not at every collection until then.
void sayWhenTheClockMayBeWrong(const Project& project, const CollectionMoment& moment,
                               const std::optional<CollectionMoment::ProvisionalBooking>& booking) {
    if (booking) platform::logNotice(project.name + ": " + moment.notice(*booking));
}

/// Both warnings, one after the other.
std::optional<std::string> joined(std::optional<std::string> first, const std::optional<std::string>& second) {
    if (!first) return second;
    if (second) *first += "; " + *second;
    return first;
}

} // namespace

Collector::Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService, GitService gitService,
                     platform::Clock clock)
    : context_(context), clock_(std::move(clock)), projectService_(context), snapshotService_(context, clock_),
      sccService_(std::move(sccService)), gitService_(std::move(gitService)), modelAttributionService_(context, clock_),
      activityBook_(context, gitService_) {}

std::vector<CollectionResult> Collector::collectAll() {
    const auto projects = projectsToCollect();
    if (projects.empty()) return {};
    // The code counter is looked for once, not for each project.
    const auto counter = sccService_.withCounterFound();
    std::vector<CollectionResult> results;
    results.reserve(projects.size());
    for (const auto& project : projects) {
        results.push_back(project->status == ProjectStatus::archived ? finishArchivedAdd(project, counter)
                                                                     : collectOne(project, counter));
    }
    return results;
}

CollectionResult Collector::finishArchivedAdd(const std::shared_ptr<Project>& project, const SccService& counter) {
    CollectionResult result{project->name, project->path};
    try {
        // The code count that the add saved stands, as it would had the add not been interrupted.
        const auto count = isFolder(project->path) ? newestCodeSnapshot(*project) : nullptr;
        if (!count) {
            return collectOne(project, counter);
        }
        result.snapshot = count->info();
    } catch (const std::exception& error) {
        fail(result, collectionError(error, *project));
        return result;
    }
    finishAdd(project, result);
    return result;
}

CollectionResult Collector::collectOne(const std::shared_ptr<Project>& given) { return collectOne(given, sccService_); }

CollectionResult Collector::collectOne(const std::shared_ptr<Project>& given, const SccService& counter) {
    CollectionResult result{given->name, given->path};
    if (!exists(given->path)) {
        fail(result, CollectionError::from(NorvaneError::pathNotFound(given->path)));
        return result;
    }
    if (!isFolder(given->path)) {
        fail(result, CollectionError::from(NorvaneError::pathNotDirectory(given->path)));
        return result;
    }
    std::shared_ptr<Project> project;
    bool unfinished = false;
    platform::RunningMark finishing;
    try {
        project = inOwnContext(given);
        unfinished = hasUnfinishedAdd(project);
        if (unfinished) finishing = AddCompletion::markRunning(*context_, *project);
        // Everything is read before anything changes, so that a repository git cannot read
        // leaves no trace.
        auto reading = read(project, counter, !unfinished);
        const auto [snapshot, settings] = store(project, reading, !unfinished);
        result.snapshot = snapshot->info();
        result.warning = joined(reading.codeCount.warning, settings.failure);
    } catch (const std::exception& error) {
        fail(result, collectionError(error, *given));
        return result;
    }
    if (unfinished) {
        finishAdd(project, result);
        return result;
    }
    try {
        result.dailyActivity = infoOf(activityBook_.todaysRow(project, project->updatedAt));
        result.project = project->info();
    } catch (const std::exception& error) {
        fail(result, collectionError(error, *project));
    }
    return result;
}

std::pair<std::shared_ptr<Snapshot>, Collector::Settings> Collector::store(const std::shared_ptr<Project>& project,
                                                                           Reading& reading, bool bookActivity) {
    // Git is read outside the store's lock, unless other programs booked the project meanwhile this
    // often: then once more inside it, where none can, so that the collection ends however busy the
    // store is.
    constexpr int readsOutsideTheLock = 4;
    for (int attempt = 1;; ++attempt) {
        const bool readInsideTheLock = attempt > readsOutsideTheLock;
        try {
            std::shared_ptr<Snapshot> snapshot;
            Settings settings;
            std::optional<CollectionMoment::ProvisionalBooking> newlyProvisional;
            // What the rows become is decided from the store as it is inside the save's transaction.
            const auto now = reading.moment.at;
            context_->save([&] {
                if (readInsideTheLock) readRepository(project, reading, bookActivity);
                settings = readSettings();
                stageSnapshotDates(project, now);
                snapshot = stageCodeCount(project, reading);
                if (const auto& update = reading.activity) {
                    activityBook_.requireBookedAsRead(project, *update);
                    newlyProvisional = update->newlyProvisional(update->booked.get());
                    const auto booked = activityBook_.stage(project, *update, *settings.values);
                    calculateBaselineVelocityIfNeeded(project, booked->firstBookedAt.value_or(now), now);
                }
                project->updatedAt = now;
            });
            sayWhenTheClockMayBeWrong(*project, reading.moment, newlyProvisional);
            return {snapshot, settings};
        } catch (const ActivityBook::BookedMeanwhile&) {
            // Another program booked the project since git was read: read what changed since then.
            if (readInsideTheLock) throw;
            if (attempt < readsOutsideTheLock) readRepository(project, reading, bookActivity);
        }
    }
}

Collector::Reading Collector::read(const std::shared_ptr<Project>& project, const SccService& counter,
                                   bool bookActivity) {
    const bool repository = gitService_.isGitRepository(project->path);
    // An empty folder where the repository was, such as a disk's mount point while it is not
    // mounted, is no project of 0 lines.
    if (!repository && AddCompletion::wasRepository(*context_, project)) {
        throw NorvaneError::repositoryNotFound(project->path);
    }
    Reading reading{CollectionMoment::take(*context_->container(), *project, clock_)};
    reading.codeCount = counter.collectMetrics(project->path);
    if (repository) {
        readRepository(project, reading, bookActivity);
    }
    return reading;
}

void Collector::readRepository(const std::shared_ptr<Project>& project, Reading& reading, bool bookActivity) {
    reading.tips = readOwnTips(project);
    if (bookActivity) {
        reading.activity = activityBook_.read(project, *reading.tips, reading.moment);
    }
    reading.latest = latestCommit(project, *reading.tips, reading.activity ? reading.activity->head : std::nullopt);
    // An add's import sets the first commit's date from the history it reads.
    if (bookActivity && reading.latest && !project->firstCommitAt) {
        reading.firstCommitAt = gitService_.getFirstCommitDate(project->path);
    }
}

GitTips Collector::readOwnTips(const std::shared_ptr<Project>& project) {
    auto tips = gitService_.readTips(project->path);
    const auto booked = activityBook_.bookedHistory(project);
    // A store of an earlier version may have kept no repository: it is filled in anew.
    if (!booked || booked->repository.empty()) {
        return tips;
    }
    // Where the booked one began, seen from the folder: the project's, whatever it holds, so that
    // the rows follow a new repository there as they do in place. It keeps the path it was booked
    // by, which the link left where a moved folder was leads through when the folder moves again.
    const auto levels = RepositoryPlace::levelsAbove(project->path, tips.workTree);
    if (levels && levels == RepositoryPlace::bookedLevelsAbove(project->path, booked->repository)) {
        tips.workTree = booked->repository;
        return tips;
    }
    // A work tree that begins higher or lower (the one around a folder whose own .git was removed),
    // or one where the booked levels cannot be told, is another repository unless it holds the
    // history the rows were booked from.
    const auto bookedTips = booked->tipList();
    if (bookedTips.empty() || gitService_.missingCommits(project->path, bookedTips).size() == bookedTips.size()) {
        throw NorvaneError::repositoryNotFound(project->path);
    }
    return tips;
}

std::optional<GitCommit> Collector::latestCommit(const std::shared_ptr<Project>& project, const GitTips& tips,
                                                 const std::optional<GitCommit>& read) {
    if (!tips.head) {
        return std::nullopt;
    }
    if (read && read->hash == *tips.head) {
        return read;
    }
    // A HEAD that has not moved since the last count is known from it, without asking git.
    const auto last = context_->fetch<Snapshot>(
        {.predicate = SnapshotField::project == project &&
                      SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::scc)),
         .sortBy = {platform::descending(SnapshotField::capturedAt)},
         .limit = 1});
    if (!last.empty() && last.front()->latestCommitHash == tips.head && last.front()->latestCommitDate) {
        const auto& snapshot = *last.front();
        return GitCommit{*snapshot.latestCommitHash, snapshot.latestCommitMessage.value_or(""),
                         snapshot.latestCommitAuthor.value_or(""), *snapshot.latestCommitDate};
    }
    return gitService_.getLatestCommit(project->path);
}

std::shared_ptr<Snapshot> Collector::stageCodeCount(const std::shared_ptr<Project>& project, const Reading& reading) {
    if (reading.latest) {
        project->latestCommitAt = reading.latest->date;
        if (!project->firstCommitAt) {
            project->firstCommitAt = reading.firstCommitAt;
        }
    }
    const auto& output = reading.codeCount;
    auto snapshot = Snapshot::create(project);
    snapshot->setSnapshotType(SnapshotType::scc);
    snapshot->capturedAt = reading.moment.at;
    snapshot->totalFiles = output.totalFiles();
    snapshot->totalLines = output.totalLines();
    snapshot->codeLines = output.totalCode();
    snapshot->commentLines = output.totalComments();
    snapshot->blankLines = output.totalBlanks();
    snapshot->totalComplexity = output.totalComplexity();
    if (reading.latest) {
        copyCommit(*snapshot, *reading.latest);
    }
    context_->insert(snapshot);
    for (const auto& language : output.languages) {
        context_->insert(languageRow(language, snapshot));
    }
    return snapshot;
}

void Collector::stageSnapshotDates(const std::shared_ptr<Project>& project, platform::Date moment) {
    // Dated after the moment by a clock that ran ahead: just before it, so that this collection's
    // count is the newest, as a count made now would be.
    for (const auto& later : context_->fetch<Snapshot>(
             {.predicate = SnapshotField::project == project && SnapshotField::capturedAt > moment})) {
        later->capturedAt = moment - std::chrono::microseconds(1);
    }
    // A history point that an import dated at its own moment, its commit lying ahead of it then.
    std::vector<std::int64_t> points;
    context_->container()->query(
        "SELECT pk FROM snapshot WHERE project = ? AND snapshotTypeRaw = ? AND latestCommitDate > capturedAt AND "
        "latestCommitDate <= ?",
        {platform::SqlValue(project->persistentKey()),
         platform::SqlValue(std::string(platform::rawValue(SnapshotType::gitHistory))),
         platform::FieldTraits<platform::Date>::toSql(moment)},
        [&points](const platform::QueryRow& row) { points.push_back(row.get<std::int64_t>(0)); });
    for (const auto key : points) {
        if (auto point = std::static_pointer_cast<Snapshot>(context_->resolve(Snapshot::entity().info(), key))) {
            point->capturedAt = *point->latestCommitDate;
        }
    }
}

void Collector::finishAdd(const std::shared_ptr<Project>& project, CollectionResult& result) {
    const auto history = collectHistory(project, initialSampleInterval);
    if (history.error) {
        fail(result, *history.error);
        return;
    }
    try {
        result.dailyActivity = infoOf(activityBook_.todaysRow(project, project->updatedAt));
        result.project = project->info();
    } catch (const std::exception& error) {
        fail(result, collectionError(error, *project));
    }
}

CollectionResult Collector::collectProject(const std::string& name) {
    try {
        if (const auto project = projectService_.getProject(name)) {
            return collectOne(project);
        }
        return {.projectName = name, .error = CollectionError::from(NorvaneError::projectNotFound(name))};
    } catch (const std::exception& error) {
        return {.projectName = name, .error = CollectionError::from(error)};
    }
}

std::shared_ptr<AppSettings> Collector::fetchAppSettings() { return readSettings().values; }

Collector::Settings Collector::readSettings() {
    try {
        if (auto stored = StoredSettings::find(*context_)) {
            return {stored, std::nullopt};
        }
        return {AppSettings::defaults(), std::nullopt};
    } catch (const std::exception& error) {
        return {AppSettings::defaults(),
                std::string("The settings could not be read, so the default wage prices this collection: ") +
                    error.what()};
    }
}

bool Collector::hasUnfinishedAdd(const std::shared_ptr<Project>& project) {
    return AddCompletion::isUnfinished(*context_, project);
}

std::vector<std::shared_ptr<Project>> Collector::projectsToCollect() {
    auto projects = projectService_.getAllProjects(true);
    std::erase_if(projects, [this](const auto& project) {
        return project->status == ProjectStatus::archived && !hasUnfinishedAdd(project);
    });
    return projects;
}

HistoryImportResult Collector::collectHistory(const std::shared_ptr<Project>& given, int sampleInterval,
                                              const HistoryProgress& progress) {
    HistoryImportResult result;
    if (!exists(given->path)) {
        result.nothingToImport = HistoryImportResult::NothingToImport::pathNotFound;
        return result;
    }
    if (!isReadableFolder(given->path)) {
        result.nothingToImport = HistoryImportResult::NothingToImport::unreadable;
        return result;
    }
    std::shared_ptr<Project> project;
    try {
        project = inOwnContext(given);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    }
    GitTips tips;
    GitHistory history;
    const auto moment = CollectionMoment::take(*context_->container(), *project, clock_);
    const auto now = moment.at;
    CommitBooking booking(now);
    // Worked out while git writes the log, as the days are.
    ModelAttributionTally attribution(now);
    try {
        if (!gitService_.isGitRepository(project->path)) {
            // An empty folder where the repository was is missing, as a collection finds it.
            if (AddCompletion::wasRepository(*context_, project)) {
                throw NorvaneError::repositoryNotFound(project->path);
            }
            result.nothingToImport = HistoryImportResult::NothingToImport::notGitRepository;
            return result;
        }
        tips = readOwnTips(project);
        // The zone's rules, which the booked history keeps, are read once while git writes the log.
        const auto zoneRules = std::async(std::launch::async, platform::LocalCalendar::timeZoneRules);
        history = gitService_.readHistory(project->path, tips, booking,
                                          [&attribution](const GitCommit& commit) { attribution.add(commit); });
        if (history.cycle) platform::logWarning(project->name + ": " + *history.cycle + GitHistory::cycleRead);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    }
    const auto& commits = history.commits;
    result.totalCommits = static_cast<int>(commits.size());
    if (history.shallow && !commits.empty()) {
        result.shallowFrom = commits.front().date;
    }
    try {
        const auto settings = fetchAppSettings();
        if (commits.empty()) {
            result.nothingToImport = !tips.head && !tips.commits.empty()
                                         ? HistoryImportResult::NothingToImport::noCommitsOnBranch
                                         : HistoryImportResult::NothingToImport::noCommits;
        } else {
            result.snapshotCount = stageHistory(project, commits, sampleInterval, *settings, now, progress);
            project->firstCommitAt = commits.front().date;
            project->latestCommitAt = commits.back().date;
        }
        // One save: the series, the days, the model rows and the baseline are replaced whole, or
        // stay whole. The rows they replace are read inside the save's transaction.
        const auto update = ActivityBook::Update::whole(tips, history, booking, moment);
        std::optional<CollectionMoment::ProvisionalBooking> newlyProvisional;
        context_->save([&] {
            newlyProvisional = update.newlyProvisional(activityBook_.bookedHistory(project).get());
            activityBook_.stage(project, update, *settings);
            calculateBaselineVelocityIfNeeded(project, history.firstBookedAt.value_or(now), now);
            if (!commits.empty()) {
                modelAttributionService_.stageAttribution(project, attribution.totals());
            }
            project->updatedAt = now;
        });
        sayWhenTheClockMayBeWrong(*project, moment, newlyProvisional);
    } catch (const std::exception& error) {
        result.snapshotCount = 0;
        result.error = collectionError(error, *project);
    }
    return result;
}

std::shared_ptr<Project> Collector::inOwnContext(const std::shared_ptr<Project>& project) {
    if (project->modelContext() == context_.get() || project->modelContext() == nullptr) {
        return project;
    }
    if (auto own = projectService_.getProject(project->id)) {
        return own;
    }
    throw NorvaneError::projectNotFound(project->name);
}

int Collector::stageHistory(const std::shared_ptr<Project>& project, const std::vector<GitCommit>& commits,
                            int sampleInterval, const AppSettings& settings, platform::Date now,
                            const HistoryProgress& progress) {
    const auto sampled =
        sampleInterval >= 1 ? GitService::sampleCommits(commits, sampleInterval) : std::vector<GitCommit>{};
    const auto& kept = sampleInterval >= 1 ? sampled : commits;

    // Deleted by condition when saving, so that a series another import stored meanwhile goes too;
    // the old series is never read, and the new one is let go once written: a re-import holds no
    // more than the first import.
    context_->removeAll(SnapshotField::project == project &&
                        SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::gitHistory)));
    // The kept commits are in the order of all commits: one walk keeps the running sums of both.
    int64_t inserted = 0;
    int64_t deleted = 0;
    auto counted = commits.begin();
    const int total = static_cast<int>(kept.size());
    for (int place = 1; place <= total; ++place) {
        const auto& commit = kept[static_cast<std::size_t>(place - 1)];
        if (progress) {
            progress(place, total, commit);
        }
        for (bool reached = false; !reached && counted != commits.end(); ++counted) {
            inserted += counted->insertions;
            deleted += counted->deletions;
            reached = counted->hash == commit.hash;
        }
        const auto estimate = CocomoEstimate::calculate(inserted + deleted, project->projectType, settings.averageWage,
                                                        settings.overhead);
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        // A commit dated ahead of the clock is booked now, never at a moment to come.
        snapshot->capturedAt = std::min(commit.date, now);
        copyCommit(*snapshot, commit);
        snapshot->cumulativeInsertions = inserted;
        snapshot->cumulativeDeletions = deleted;
        snapshot->cumulativeLinesChanged = inserted + deleted;
        snapshot->cumulativeEffortMonths = estimate.effortMonths;
        snapshot->cumulativeEstimatedCost = estimate.estimatedCost;
        snapshot->codeLines = inserted + deleted;
        context_->insertWithoutKeeping(snapshot);
    }
    return total;
}

InitialCollectionResult Collector::collectInitialData(const std::shared_ptr<Project>& project,
                                                      const InitialProgress& progress) {
    const auto report = [&progress](const InitialCollectionProgress& stage) {
        if (progress) {
            progress(stage);
        }
    };
    // Until it ends, the add is not called interrupted.
    const auto running = AddCompletion::markRunning(*context_, *project);
    report(InitialCollectionStage::Starting{});
    report(InitialCollectionStage::RunningScc{});
    InitialCollectionResult result{project, std::nullopt, 0, 0, std::nullopt};
    if (!exists(project->path) || !isFolder(project->path) || !gitService_.isGitRepository(project->path)) {
        const auto collected = collectOne(project);
        if (!collected.isSuccess()) {
            // A project removed meanwhile leaves nothing to add.
            result.error =
                collected.error.value_or(CollectionError::from(NorvaneError::projectNotFound(project->name)));
            report(InitialCollectionStage::Error{result.error->message});
            return result;
        }
        result.sccSnapshot = collected.snapshot;
        result.warning = collected.warning;
        report(InitialCollectionStage::SccComplete{collected.snapshot->codeLines});
        report(InitialCollectionStage::Complete{});
        return result;
    }
    try {
        const auto own = inOwnContext(project);
        // The history is read by the import that follows; here only whether git reads the folder.
        const auto reading = read(own, sccService_, false);
        const auto snapshot = stageCodeCount(own, reading);
        own->updatedAt = reading.moment.at;
        context_->save();
        result.sccSnapshot = snapshot->info();
        result.warning = reading.codeCount.warning;
    } catch (const std::exception& error) {
        result.sccSnapshot.reset();
        result.error = collectionError(error, *project);
        report(InitialCollectionStage::Error{result.error->message});
        return result;
    }
    report(InitialCollectionStage::SccComplete{result.sccSnapshot->codeLines});
    const auto history =
        collectHistory(project, initialSampleInterval, [&report](int current, int total, const GitCommit& commit) {
            report(InitialCollectionStage::ImportingHistory{
                current, total, platform::UnicodeText::prefixCharacters(commit.message, progressMessageLength)});
        });
    result.historySnapshots = history.snapshotCount;
    result.totalCommits = history.totalCommits;
    result.shallowHistoryFrom = history.shallowFrom;
    if (history.error) {
        report(InitialCollectionStage::Error{history.error->message});
        result.error = history.error;
        return result;
    }
    report(InitialCollectionStage::HistoryComplete{history.snapshotCount});
    report(InitialCollectionStage::Complete{});
    return result;
}

void Collector::calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project,
                                                  platform::Date firstCommittedAt) {
    calculateBaselineVelocityIfNeeded(project, firstCommittedAt, clock_());
}

void Collector::calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project,
                                                  platform::Date firstCommittedAt, platform::Date now) {
    std::optional<double> baseline;
    if (platform::LocalCalendar::wholeDaysBetween(firstCommittedAt, now) >= baselineDays) {
        // The first 60 local days, from the first commit's day on: its row is dated before the commit.
        const auto firstDay = localDay(firstCommittedAt);
        int64_t codeLines = 0;
        int64_t days = 0;
        for (const auto& row : context_->fetch<DailyActivity>(
                 {.predicate = DailyActivityField::project == project &&
                               DailyActivityField::date >= startOfDay(firstDay) &&
                               DailyActivityField::date < startOfDay(firstDay + std::chrono::days(baselineDays))})) {
            codeLines += row->codeLinesChanged();
            ++days;
        }
        if (days > 0) baseline = static_cast<double>(codeLines) / static_cast<double>(days);
    }
    if (baseline != project->baselineVelocity) {
        project->baselineVelocity = baseline;
        project->baselineCalculatedAt = baseline ? std::optional(now) : std::nullopt;
    }
}

} // namespace norvane
