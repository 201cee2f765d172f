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
#include <unordered_map>

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

Collector::Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService, GitService gitService)
    : context_(context), projectService_(context), snapshotService_(context), sccService_(std::move(sccService)),
      gitService_(std::move(gitService)), modelAttributionService_(context) {}

std::vector<CollectionResult> Collector::collectAll() {
    std::vector<std::shared_ptr<Project>> projects;
    try {
        projects = projectService_.getAllProjects(false);
    } catch (const std::exception& error) {
        std::cout << "Failed to fetch projects: " << error.what() << std::endl;
        return {};
    }
    std::vector<CollectionResult> results;
    for (const auto& project : projects) {
        results.push_back(collectOne(project));
    }
    return results;
}

CollectionResult Collector::collectOne(const std::shared_ptr<Project>& given) {
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
        const auto output = sccService_.collectMetrics(project->path);
        // Everything is read before anything changes, so that a repository git cannot read
        // leaves no trace.
        git = readGit(project);
        recordLatestCommit(*project, git);
        result.snapshot = storeCodeCount(project, output, git.latest);
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
    project->updatedAt = platform::currentDate();
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
    reading.latest = gitService_.getLatestCommit(project->path);
    if (reading.latest && !project->firstCommitAt) {
        reading.firstCommitAt = gitService_.getFirstCommitDate(project->path);
    }
    reading.recentActivity = readRecentActivity(project);
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

Collector::RecentActivity Collector::readRecentActivity(const std::shared_ptr<Project>& project) {
    const auto today = startOfDay(platform::currentDate());
    // A row dated after today (a clock that ran ahead) must not hide today's commits.
    const auto newest = std::min(latestActivityDate(project).value_or(today), today);
    // The newest row's day is counted again from its start, in whatever zone that row was
    // written; the rows before it keep their commits. Another row of the same local day joins it.
    RecentActivity recent;
    recent.rows = context_->fetch<DailyActivity>(
        {.predicate = DailyActivityField::project == project && DailyActivityField::date >= startOfDay(newest),
         .sortBy = {platform::ascending(DailyActivityField::date)}});
    const auto windowStart = recent.rows.empty() ? newest : std::min(newest, recent.rows.front()->date);
    if (auto days = gitService_.getDailyActivitySince(windowStart, project->path)) {
        recent.days = std::move(*days);
    }
    return recent;
}

std::shared_ptr<DailyActivity> Collector::updateDailyActivity(const std::shared_ptr<Project>& project,
                                                              const RecentActivity& recent) {
    std::map<std::chrono::local_days, std::shared_ptr<DailyActivity>> rowOfDay;
    for (const auto& row : recent.rows) {
        auto& kept = rowOfDay[localDay(row->date)];
        if (kept) {
            context_->remove(row);
        } else {
            kept = row;
        }
    }
    const auto settings = fetchAppSettings();
    const auto today = localDay(platform::currentDate());
    std::shared_ptr<DailyActivity> todays;
    for (const auto& [dayStart, stats] : recent.days) {
        const auto day = localDay(dayStart);
        auto row = rowOfDay[day];
        rowOfDay.erase(day);
        if (!row) {
            row = DailyActivity::create(project, dayStart);
            context_->insert(row);
        }
        row->date = dayStart; // a row written in another time zone takes this one's start of the day
        fill(*row, stats, *settings, project->projectType);
        if (day == today) {
            todays = row;
        }
    }
    // What is left counted commits that the window no longer holds.
    for (const auto& [day, row] : rowOfDay) {
        context_->remove(row);
    }
    context_->save();
    return todays;
}

std::optional<platform::Date> Collector::latestActivityDate(const std::shared_ptr<Project>& project) {
    try {
        const auto newest = context_->fetch<DailyActivity>({.predicate = DailyActivityField::project == project,
                                                            .sortBy = {platform::descending(DailyActivityField::date)},
                                                            .limit = 1});
        return newest.empty() ? std::nullopt : std::optional(newest.front()->date);
    } catch (const std::exception&) {
        return std::nullopt;
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
    if (!exists(given->path) || !gitService_.isGitRepository(given->path)) {
        return result;
    }
    std::shared_ptr<Project> project;
    try {
        project = inOwnContext(given);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    }
    std::vector<GitCommit> commits;
    try {
        commits = gitService_.getCommitHistoryWithStats(project->path, std::nullopt);
    } catch (const std::exception& error) {
        result.error = CollectionError::from(error);
        return result;
    }
    if (commits.empty()) {
        return result;
    }
    result.totalCommits = static_cast<int>(commits.size());
    // The attribution reads nothing but the commits: it is worked out while the snapshots are stored.
    auto attribution = std::async(std::launch::async | std::launch::deferred,
                                  [&commits] { return ModelAttributionService::attributeCommits(commits); });
    try {
        const auto staged = stageHistory(project, commits, sampleInterval, progress);
        project->firstCommitAt = commits.front().date;
        project->latestCommitAt = commits.back().date;
        project->updatedAt = platform::currentDate();
        // One save: the old series is replaced whole, or stays whole.
        context_->save();
        result.snapshotCount = static_cast<int>(staged.size());
    } catch (const std::exception& error) {
        result.error = collectionError(error, *project);
        return result;
    }
    finishHistory(project, attribution, result);
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

std::vector<std::shared_ptr<Snapshot>> Collector::stageHistory(const std::shared_ptr<Project>& project,
                                                               const std::vector<GitCommit>& commits,
                                                               int sampleInterval, const HistoryProgress& progress) {
    std::unordered_map<std::string_view, std::pair<int64_t, int64_t>> runningTotals;
    runningTotals.reserve(commits.size());
    int64_t insertions = 0;
    int64_t deletions = 0;
    for (const auto& commit : commits) {
        insertions += commit.insertions;
        deletions += commit.deletions;
        runningTotals[commit.hash] = {insertions, deletions};
    }
    const auto sampled =
        sampleInterval >= 1 ? GitService::sampleCommits(commits, sampleInterval) : std::vector<GitCommit>{};
    const auto& kept = sampleInterval >= 1 ? sampled : commits;

    // Deleted by condition when saving, so that a series another import stored meanwhile goes too.
    context_->removeAll(SnapshotField::project == project &&
                        SnapshotField::snapshotTypeRaw == std::string("gitHistory"));
    const auto settings = fetchAppSettings();
    std::vector<std::shared_ptr<Snapshot>> staged;
    const int total = static_cast<int>(kept.size());
    for (int place = 1; place <= total; ++place) {
        const auto& commit = kept[static_cast<std::size_t>(place - 1)];
        if (progress) {
            progress(place, total, commit);
        }
        const auto [inserted, deleted] = runningTotals.at(commit.hash);
        const auto estimate = CocomoEstimate::calculate(inserted + deleted, project->projectType, settings->averageWage,
                                                        settings->overhead);
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        snapshot->capturedAt = commit.date;
        copyCommit(*snapshot, commit);
        snapshot->cumulativeInsertions = inserted;
        snapshot->cumulativeDeletions = deleted;
        snapshot->cumulativeLinesChanged = inserted + deleted;
        snapshot->cumulativeEffortMonths = estimate.effortMonths;
        snapshot->cumulativeEstimatedCost = estimate.estimatedCost;
        snapshot->codeLines = inserted + deleted;
        context_->insert(snapshot);
        staged.push_back(std::move(snapshot));
    }
    return staged;
}

void Collector::finishHistory(const std::shared_ptr<Project>& project, std::future<ModelAttribution>& attribution,
                              HistoryImportResult& result) {
    try {
        modelAttributionService_.storeAttribution(project, attribution.get());
    } catch (const std::exception& error) {
        result.error = CollectionError::from(error);
    }
    try {
        calculateBaselineVelocityIfNeeded(project);
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
    if (history.error) {
        report(InitialCollectionStage::Error{history.error->message});
        result.error = history.error;
        return result;
    }
    report(InitialCollectionStage::HistoryComplete{history.snapshotCount});
    report(InitialCollectionStage::Complete{});
    return result;
}

void Collector::calculateBaselineVelocityIfNeeded(const std::shared_ptr<Project>& project) {
    if (project->baselineVelocity || !project->firstCommitAt) {
        return;
    }
    const auto now = platform::currentDate();
    const auto firstCommit = *project->firstCommitAt;
    if (platform::LocalCalendar::wholeDaysBetween(firstCommit, now) < baselineDays) {
        return;
    }
    // The first 60 local days, from the first commit's day on: its row is dated before the commit.
    const auto firstDay = localDay(firstCommit);
    const auto windowStart = startOfDay(firstDay);
    const auto windowEnd = startOfDay(firstDay + std::chrono::days(baselineDays));
    std::vector<std::shared_ptr<DailyActivity>> rows;
    try {
        rows = context_->fetch<DailyActivity>({.predicate = DailyActivityField::project == project &&
                                                            DailyActivityField::date >= windowStart &&
                                                            DailyActivityField::date < windowEnd});
    } catch (const std::exception&) {
        return;
    }
    if (rows.empty()) {
        return;
    }
    int64_t codeLines = 0;
    for (const auto& row : rows) {
        codeLines += row->codeLinesInserted + row->codeLinesDeleted;
    }
    project->baselineVelocity = static_cast<double>(codeLines) / static_cast<double>(rows.size());
    project->baselineCalculatedAt = now;
    context_->save();
}

} // namespace norvane
