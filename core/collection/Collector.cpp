#include "core/collection/Collector.h"

#include "core/collection/CocomoEstimate.h"
#include "core/collection/CocomoService.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "platform/UnicodeText.h"

#include "platform/LocalCalendar.h"
#include "platform/persistence/StoreError.h"

#include <filesystem>
#include <future>
#include <iostream>
#include <utility>

namespace norvane {
namespace {

using platform::LocalCalendar::localDay;
using platform::LocalCalendar::startOfDay;

constexpr int initialSampleInterval = 7;
constexpr std::size_t progressMessageLength = 50;
constexpr int baselineDays = 60;
/// How many of the latest collections before the days booked give their heads to the log: enough
/// for a branch left and taken up again within about two weeks of daily collections.
constexpr std::size_t bookedHeadsLooked = 16;

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

/// False for a folder that cannot be listed, such as one without read permission.
bool isReadableFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::directory_iterator(path, error);
    return !error || error == std::errc::not_a_directory;
}

void fill(DailyActivity& row, const GitActivityStats& stats, const AppSettings& settings, ProjectType type) {
    row.totalInsertions = stats.insertions;
    row.totalDeletions = stats.deletions;
    row.linesTouched = stats.linesTouched();
    row.commitCount = stats.commitCount;
    row.filesChanged = stats.filesChanged;
    row.codeLinesInserted = stats.codeStats.insertions;
    row.codeLinesDeleted = stats.codeStats.deletions;
    row.docsLinesInserted = stats.docsStats.insertions;
    row.docsLinesDeleted = stats.docsStats.deletions;
    row.testLinesInserted = stats.testStats.insertions;
    row.testLinesDeleted = stats.testStats.deletions;
    row.configLinesInserted = stats.configStats.insertions;
    row.configLinesDeleted = stats.configStats.deletions;
    const auto estimate = CocomoEstimate::calculate(row.linesTouched, type, settings.averageWage, settings.overhead);
    row.estimatedEffortMonths = estimate.effortMonths;
    row.estimatedCost = estimate.estimatedCost;
}

/// Whether git's count of a day holds all that the row counted: a day's commits can only add to
/// each figure.
bool holdsAllOf(const GitActivityStats& stats, const DailyActivity& row) {
    return stats.commitCount >= row.commitCount && stats.insertions >= row.totalInsertions &&
           stats.deletions >= row.totalDeletions && stats.filesChanged >= row.filesChanged &&
           stats.codeStats.insertions >= row.codeLinesInserted && stats.codeStats.deletions >= row.codeLinesDeleted &&
           stats.docsStats.insertions >= row.docsLinesInserted && stats.docsStats.deletions >= row.docsLinesDeleted &&
           stats.testStats.insertions >= row.testLinesInserted && stats.testStats.deletions >= row.testLinesDeleted &&
           stats.configStats.insertions >= row.configLinesInserted &&
           stats.configStats.deletions >= row.configLinesDeleted;
}

/// The distinct heads that the snapshots read, newest first.
std::vector<std::string> headsOf(const std::vector<std::shared_ptr<Snapshot>>& snapshots) {
    std::vector<std::string> heads;
    for (const auto& snapshot : snapshots) {
        const auto& head = snapshot->analyzedCommitHash;
        if (head && std::find(heads.begin(), heads.end(), *head) == heads.end()) {
            heads.push_back(*head);
        }
    }
    return heads;
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

void copyCommit(Snapshot& snapshot, const GitCommit& commit) {
    snapshot.latestCommitHash = commit.hash;
    snapshot.analyzedCommitHash = commit.hash;
    snapshot.latestCommitMessage = commit.message;
    snapshot.latestCommitAuthor = commit.author;
    snapshot.latestCommitDate = commit.date;
}

} // namespace

Collector::Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService, GitService gitService,
                     platform::Clock clock)
    : context_(context), clock_(std::move(clock)), projectService_(context), snapshotService_(context, clock_),
      sccService_(std::move(sccService)), gitService_(std::move(gitService)),
      modelAttributionService_(context, clock_) {}

std::vector<CollectionResult> Collector::collectAll() {
    std::vector<std::shared_ptr<Project>> projects;
    try {
        projects = projectService_.getAllProjects(false);
    } catch (const std::exception& error) {
        std::cout << "Failed to fetch projects: " << error.what() << std::endl;
        return {};
    }
    std::vector<CollectionResult> results;
    const auto counter = sccService_.withCounterFound();
    for (const auto& project : projects) {
        results.push_back(collectOne(project, counter));
    }
    return results;
}

CollectionResult Collector::collectOne(const std::shared_ptr<Project>& given) { return collectOne(given, sccService_); }

CollectionResult Collector::collectOne(const std::shared_ptr<Project>& given, const SccService& counter) {
    CollectionResult result{given->name, given->path, nullptr, nullptr, std::nullopt};
    const auto failed = [&result, &given](const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    };
    if (!exists(given->path)) {
        return failed(NorvaneError::pathNotFound(given->path));
    }
    GitReading git;
    std::shared_ptr<Project> project;
    try {
        project = inOwnContext(given);
        const auto output = counter.collectMetrics(project->path);
        // Everything is read before anything changes, so that a repository git cannot read
        // leaves no trace.
        git = readGit(project);
        recordLatestCommit(*project, git);
        result.snapshot = storeCodeCount(project, output, git.latest);
        result.warning = output.warning;
    } catch (const std::exception& error) {
        return failed(error);
    }
    if (git.recentActivity) {
        try {
            result.dailyActivity = updateDailyActivity(project, *git.recentActivity);
        } catch (const std::exception& error) {
            result.error = collectionError(error, *project);
        }
    }
    project->updatedAt = clock_();
    try {
        context_->save();
    } catch (const std::exception& error) {
        result.error = result.error.value_or(collectionError(error, *project));
    }
    return result;
}

Collector::GitReading Collector::readGit(const std::shared_ptr<Project>& project) {
    GitReading reading;
    if (!gitService_.isGitRepository(project->path)) {
        return reading;
    }
    // The newest commit comes with the recent days, from the same run of git.
    reading.recentActivity = readRecentActivity(project);
    reading.latest = reading.recentActivity->newest;
    if (reading.latest && !project->firstCommitAt) {
        reading.firstCommitAt = gitService_.getFirstCommitDate(project->path);
    }
    return reading;
}

void Collector::recordLatestCommit(Project& project, const GitReading& git) {
    if (!git.latest) {
        return;
    }
    project.latestCommitAt = git.latest->date;
    if (!project.firstCommitAt) {
        project.firstCommitAt = git.firstCommitAt;
    }
}

std::shared_ptr<Snapshot> Collector::storeCodeCount(const std::shared_ptr<Project>& project, const SccOutput& output,
                                                    const std::optional<GitCommit>& latest) {
    auto snapshot = Snapshot::create(project);
    snapshot->setSnapshotType(SnapshotType::scc);
    snapshot->capturedAt = clock_();
    snapshot->totalFiles = output.totalFiles();
    snapshot->totalLines = output.totalLines();
    snapshot->codeLines = output.totalCode();
    snapshot->commentLines = output.totalComments();
    snapshot->blankLines = output.totalBlanks();
    snapshot->totalComplexity = output.totalComplexity();
    if (latest) {
        copyCommit(*snapshot, *latest);
    }
    std::vector<std::shared_ptr<SnapshotLanguage>> rows;
    for (const auto& language : output.languages) {
        rows.push_back(languageRow(language, snapshot));
    }
    snapshotService_.saveSnapshot(snapshot, rows);
    return snapshot;
}

CollectionResult Collector::collectProject(const std::string& name) {
    try {
        if (const auto project = projectService_.getProject(name)) {
            return collectOne(project);
        }
        return {name, "", nullptr, nullptr, CollectionError::from(NorvaneError::projectNotFound(name))};
    } catch (const std::exception& error) {
        return {name, "", nullptr, nullptr, CollectionError::from(error)};
    }
}

GitActivityWindow Collector::activityWindow(const std::shared_ptr<Project>& project, platform::Date now) {
    GitActivityWindow window{.since = startOfDay(now), .now = now};
    const auto codeCounts = SnapshotField::project == project &&
                            SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::scc));
    const auto last = context_->fetch<Snapshot>(
        {.predicate = codeCounts, .sortBy = {platform::descending(SnapshotField::capturedAt)}, .limit = 1});
    if (last.empty()) {
        return window;
    }
    // A collection dated after now (a clock that ran ahead) must not hide today's commits.
    window.lastCollectedAt = std::min(last.front()->capturedAt, now);
    window.since = startOfDay(window.lastCollectedAt);
    window.lastHeads =
        headsOf(context_->fetch<Snapshot>({.predicate = codeCounts && SnapshotField::capturedAt >= window.since}));
    const auto booked = context_->fetch<Snapshot>({.predicate = codeCounts && SnapshotField::capturedAt < window.since,
                                                   .sortBy = {platform::descending(SnapshotField::capturedAt)},
                                                   .limit = bookedHeadsLooked});
    window.bookedHeads = headsOf(booked);
    for (const auto& snapshot : booked) {
        if (snapshot->latestCommitDate) {
            window.listedSince =
                std::min(window.listedSince.value_or(window.since), startOfDay(*snapshot->latestCommitDate));
        }
    }
    return window;
}

Collector::RecentActivity Collector::readRecentActivity(const std::shared_ptr<Project>& project) {
    const auto window = activityWindow(project, clock_());
    RecentActivity recent{.since = window.since};
    // A row written in another time zone may start up to a day before the window's first day.
    const auto tomorrow = startOfDay(localDay(window.now) + std::chrono::days(1));
    recent.rows =
        context_->fetch<DailyActivity>({.predicate = DailyActivityField::project == project &&
                                                     DailyActivityField::date > window.since - std::chrono::days(1) &&
                                                     DailyActivityField::date < tomorrow,
                                        .sortBy = {platform::ascending(DailyActivityField::date)}});
    if (auto read = gitService_.getRecentActivity(window, project->path)) {
        recent.newest = std::move(read->newest);
        recent.days = std::move(read->days);
        recent.read = true;
    }
    return recent;
}

std::shared_ptr<DailyActivity> Collector::updateDailyActivity(const std::shared_ptr<Project>& project,
                                                              const RecentActivity& recent) {
    auto rowsByDay = recentRowsByDay(recent);
    const auto settings = fetchAppSettings();
    const auto today = localDay(clock_());
    bool todayLogged = false;
    for (const auto& [dayStart, stats] : recent.days) {
        const auto day = localDay(dayStart);
        auto& rows = rowsByDay[day];
        // Today is booked as git shows it, so a commit amended or squashed today counts as it now is;
        // an earlier day only ever grows, since what git no longer shows of it may be on another branch.
        const bool holdsAll =
            std::all_of(rows.begin(), rows.end(), [&stats](const auto& row) { return holdsAllOf(stats, *row); });
        if (day == today || holdsAll) {
            rows = {bookDay(project, rows, dayStart, stats, *settings)};
        }
        todayLogged = todayLogged || day == today;
    }
    if (recent.read && !todayLogged) {
        // Today's commits were all reset away.
        for (const auto& row : std::exchange(rowsByDay[today], {})) {
            context_->remove(row);
        }
    }
    context_->save();
    const auto todays = rowsByDay.find(today);
    return todays == rowsByDay.end() || todays->second.empty() ? nullptr : todays->second.front();
}

Collector::RowsByDay Collector::recentRowsByDay(const RecentActivity& recent) {
    RowsByDay rowsByDay;
    for (const auto& row : recent.rows) {
        const auto day = localDay(row->date);
        if (startOfDay(day) == row->date) {
            if (row->date >= recent.since) {
                rowsByDay[day].push_back(row);
            }
            continue;
        }
        for (auto overlapped = day; startOfDay(overlapped) < row->date + std::chrono::days(1);
             overlapped += std::chrono::days(1)) {
            const auto stats = recent.days.find(startOfDay(overlapped));
            if (stats != recent.days.end() && holdsAllOf(stats->second, *row)) {
                rowsByDay[overlapped].push_back(row);
                break;
            }
        }
    }
    return rowsByDay;
}

std::shared_ptr<DailyActivity> Collector::bookDay(const std::shared_ptr<Project>& project,
                                                  const std::vector<std::shared_ptr<DailyActivity>>& rows,
                                                  platform::Date dayStart, const GitActivityStats& stats,
                                                  const AppSettings& settings) {
    auto row = rows.empty() ? nullptr : rows.front();
    if (!row) {
        row = DailyActivity::create(project, dayStart);
        context_->insert(row);
    }
    for (std::size_t extra = 1; extra < rows.size(); ++extra) {
        context_->remove(rows[extra]);
    }
    row->date = dayStart; // a row written in another time zone takes this one's start of the day
    fill(*row, stats, settings, project->projectType);
    return row;
}

void Collector::rewriteDays(const std::shared_ptr<Project>& project,
                            const std::vector<std::shared_ptr<DailyActivity>>& rows, DayStats first, DayStats last) {
    RowsByDay existing;
    for (const auto& row : rows) {
        existing[localDay(row->date)].push_back(row);
    }
    const auto settings = fetchAppSettings();
    for (auto day = first; day != last; ++day) {
        const auto& [dayStart, stats] = *day;
        auto node = existing.extract(localDay(dayStart));
        bookDay(project, node ? node.mapped() : std::vector<std::shared_ptr<DailyActivity>>{}, dayStart, stats,
                *settings);
    }
    // What is left counted commits that these days no longer hold.
    for (const auto& [day, dayRows] : existing) {
        for (const auto& row : dayRows) {
            context_->remove(row);
        }
    }
}

std::shared_ptr<AppSettings> Collector::fetchAppSettings() {
    try {
        if (auto stored = CocomoService::storedSettings(*context_)) {
            return stored;
        }
    } catch (const std::exception&) {
        // Unsaved defaults stand in for settings that cannot be read.
    }
    return AppSettings::defaults();
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
    if (!gitService_.isGitRepository(given->path)) {
        result.nothingToImport = HistoryImportResult::NothingToImport::notGitRepository;
        return result;
    }
    std::shared_ptr<Project> project;
    GitHistory history;
    try {
        project = inOwnContext(given);
        history = gitService_.readHistory(project->path, clock_());
    } catch (const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    }
    const auto& commits = history.commits;
    if (commits.empty()) {
        result.nothingToImport = HistoryImportResult::NothingToImport::noCommits;
        return result;
    }
    result.totalCommits = static_cast<int>(commits.size());
    if (history.shallow) {
        result.shallowFrom = commits.front().date;
    }
    const auto now = clock_();
    // The attribution reads nothing but the commits: it is worked out while the snapshots are stored.
    auto attribution = std::async(std::launch::async | std::launch::deferred,
                                  [&commits, now] { return ModelAttributionService::attributeCommits(commits, now); });
    try {
        const int staged = stageHistory(project, commits, sampleInterval, progress);
        stageImportedActivity(project, history.days);
        project->firstCommitAt = commits.front().date;
        project->latestCommitAt = commits.back().date;
        project->updatedAt = now;
        // One save: the old series and imported days are replaced whole, or stay whole.
        context_->save();
        result.snapshotCount = staged;
    } catch (const std::exception& error) {
        result.error = collectionError(error, *project);
        return result;
    }
    finishHistory(project, history.firstCommittedAt.value_or(commits.front().date), attribution, result);
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
                            int sampleInterval, const HistoryProgress& progress) {
    const auto sampled =
        sampleInterval >= 1 ? GitService::sampleCommits(commits, sampleInterval) : std::vector<GitCommit>{};
    const auto& kept = sampleInterval >= 1 ? sampled : commits;

    // Deleted by condition when saving, so that a series another import stored meanwhile goes too;
    // the old series is never read, and the new one is let go once written: a re-import holds no
    // more than the first import.
    context_->removeAll(SnapshotField::project == project &&
                        SnapshotField::snapshotTypeRaw == std::string("gitHistory"));
    const auto settings = fetchAppSettings();
    const auto now = clock_();
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
        const auto estimate = CocomoEstimate::calculate(inserted + deleted, project->projectType, settings->averageWage,
                                                        settings->overhead);
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

void Collector::stageImportedActivity(const std::shared_ptr<Project>& project,
                                      const std::map<platform::Date, GitActivityStats>& days) {
    const auto firstCollectionDay = startOfDay(firstOwnCollectionDay(project));
    const auto rows = context_->fetch<DailyActivity>(
        {.predicate = DailyActivityField::project == project && DailyActivityField::date < firstCollectionDay});
    rewriteDays(project, rows, days.begin(), days.lower_bound(firstCollectionDay));
}

std::chrono::local_days Collector::firstOwnCollectionDay(const std::shared_ptr<Project>& project) {
    const auto now = clock_();
    const auto first = context_->fetch<Snapshot>(
        {.predicate = SnapshotField::project == project &&
                      SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::scc)),
         .sortBy = {platform::ascending(SnapshotField::capturedAt)},
         .limit = 1});
    return localDay(first.empty() ? now : std::min(first.front()->capturedAt, now));
}

void Collector::finishHistory(const std::shared_ptr<Project>& project, platform::Date firstCommittedAt,
                              std::future<ModelAttribution>& attribution, HistoryImportResult& result) {
    try {
        modelAttributionService_.storeAttribution(project, attribution.get());
    } catch (const std::exception& error) {
        result.error = CollectionError::from(error);
    }
    try {
        calculateBaselineVelocityIfNeeded(project, firstCommittedAt);
    } catch (const std::exception& error) {
        result.error = result.error.value_or(CollectionError::from(error));
    }
}

InitialCollectionResult Collector::collectInitialData(const std::shared_ptr<Project>& project,
                                                      const InitialProgress& progress) {
    const auto report = [&progress](const InitialCollectionProgress& stage) {
        if (progress) {
            progress(stage);
        }
    };
    report(InitialCollectionStage::Starting{});
    report(InitialCollectionStage::RunningScc{});
    InitialCollectionResult result{project, nullptr, 0, 0, std::nullopt};
    const auto collected = collectOne(project);
    if (collected.error) {
        report(InitialCollectionStage::Error{collected.error->message});
        result.error = collected.error;
        return result;
    }
    result.sccSnapshot = collected.snapshot;
    result.warning = collected.warning;
    report(InitialCollectionStage::SccComplete{collected.snapshot->codeLines});
    if (!gitService_.isGitRepository(project->path)) {
        report(InitialCollectionStage::Complete{});
        return result;
    }
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
    const auto now = clock_();
    std::optional<double> baseline;
    if (platform::LocalCalendar::wholeDaysBetween(firstCommittedAt, now) >= baselineDays) {
        // The first 60 local days, from the first commit's day on: its row is dated before the commit.
        const auto firstDay = localDay(firstCommittedAt);
        std::vector<std::shared_ptr<DailyActivity>> rows;
        try {
            rows = context_->fetch<DailyActivity>(
                {.predicate = DailyActivityField::project == project &&
                              DailyActivityField::date >= startOfDay(firstDay) &&
                              DailyActivityField::date < startOfDay(firstDay + std::chrono::days(baselineDays))});
        } catch (const std::exception&) {
            return; // the baseline stands as it was
        }
        int64_t codeLines = 0;
        for (const auto& row : rows) {
            codeLines += row->codeLinesInserted + row->codeLinesDeleted;
        }
        if (!rows.empty()) {
            baseline = static_cast<double>(codeLines) / static_cast<double>(rows.size());
        }
    }
    if (baseline == project->baselineVelocity) {
        return;
    }
    project->baselineVelocity = baseline;
    project->baselineCalculatedAt = baseline ? std::optional(now) : std::nullopt;
    context_->save();
}

} // namespace norvane
