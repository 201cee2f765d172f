#include "core/collection/Collector.h"

#include "core/collection/AddCompletion.h"
#include "core/collection/CocomoEstimate.h"
#include "core/collection/OutputCategoryClassifier.h"
#include "core/models/StoredSettings.h"
#include "platform/UnicodeText.h"

#include "platform/ErrorLog.h"
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

void copyCommit(Snapshot& snapshot, const GitCommit& commit) {
    snapshot.latestCommitHash = commit.hash;
    snapshot.analyzedCommitHash = commit.hash;
    snapshot.latestCommitMessage = commit.message;
    snapshot.latestCommitAuthor = commit.author;
    snapshot.latestCommitDate = commit.date;
}

/// Both warnings, one after the other.
std::optional<std::string> joined(std::optional<std::string> first, const std::optional<std::string>& second) {
    if (!first) return second;
    if (second) *first += "; " + *second;
    return first;
}

/// The mean code lines changed per day with commits of the first 60 local days from the first
/// booked moment's day, once that moment is 60 whole days old; none before, or without such days.
std::optional<double> baselineVelocity(std::optional<platform::Date> firstBookedAt, platform::Date now,
                                       const std::vector<std::pair<platform::Date, int64_t>>& codeLinesByDay) {
    if (!firstBookedAt || platform::LocalCalendar::wholeDaysBetween(*firstBookedAt, now) < baselineDays) {
        return std::nullopt;
    }
    const auto firstDay = localDay(*firstBookedAt);
    const auto from = startOfDay(firstDay);
    const auto to = startOfDay(firstDay + std::chrono::days(baselineDays));
    int64_t codeLines = 0;
    int64_t days = 0;
    for (const auto& [day, lines] : codeLinesByDay) {
        if (day >= from && day < to) {
            codeLines += lines;
            ++days;
        }
    }
    if (days == 0) {
        return std::nullopt;
    }
    return static_cast<double>(codeLines) / static_cast<double>(days);
}

void setBaseline(Project& project, std::optional<double> baseline, platform::Date now) {
    if (baseline == project.baselineVelocity) {
        return;
    }
    project.baselineVelocity = baseline;
    project.baselineCalculatedAt = baseline ? std::optional(now) : std::nullopt;
}

} // namespace

Collector::Collector(std::shared_ptr<platform::ModelContext> context, SccService sccService, GitService gitService,
                     platform::Clock clock)
    : context_(context), clock_(std::move(clock)), projectService_(context), snapshotService_(context, clock_),
      sccService_(std::move(sccService)), gitService_(std::move(gitService)), modelAttributionService_(context, clock_),
      activityBook_(context, gitService_, clock_) {}

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
    if (!isFolder(given->path)) {
        return failed(NorvaneError::pathNotDirectory(given->path));
    }
    std::shared_ptr<Project> project;
    std::shared_ptr<BookedHistory> booked;
    bool unfinished = false;
    try {
        project = inOwnContext(given);
        unfinished = hasUnfinishedAdd(project);
        // Everything is read before anything changes, so that a repository git cannot read
        // leaves no trace.
        const auto reading = read(project, counter, !unfinished);
        const auto settings = readSettings();
        result.snapshot = stageCodeCount(project, reading);
        if (reading.activity) {
            booked = activityBook_.stage(project, *reading.activity, *settings.values);
        }
        project->updatedAt = clock_();
        context_->save();
        result.warning = joined(reading.codeCount.warning, settings.failure);
    } catch (const std::exception& error) {
        result.snapshot = nullptr;
        return failed(error);
    }
    if (unfinished) {
        finishAdd(project, result);
        return result;
    }
    try {
        if (booked) {
            calculateBaselineVelocityIfNeeded(project, booked->firstBookedAt.value_or(clock_()));
        }
        result.dailyActivity = activityBook_.todaysRow(project);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *project);
        result.snapshot = nullptr;
    }
    return result;
}

Collector::Reading Collector::read(const std::shared_ptr<Project>& project, const SccService& counter,
                                   bool bookActivity) {
    Reading reading{counter.collectMetrics(project->path)};
    if (!gitService_.isGitRepository(project->path)) {
        return reading;
    }
    reading.tips = gitService_.readTips(project->path);
    if (bookActivity) {
        reading.activity = activityBook_.read(project, *reading.tips);
    }
    reading.latest = latestCommit(project, *reading.tips, reading.activity ? reading.activity->head : std::nullopt);
    // An add's import sets the first commit's date from the history it reads.
    if (bookActivity && reading.latest && !project->firstCommitAt) {
        reading.firstCommitAt = gitService_.getFirstCommitDate(project->path);
    }
    return reading;
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
    snapshot->capturedAt = clock_();
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

void Collector::finishAdd(const std::shared_ptr<Project>& project, CollectionResult& result) {
    const auto history = collectHistory(project, initialSampleInterval);
    if (history.error) {
        result.error = history.error;
        result.snapshot = nullptr;
        return;
    }
    try {
        result.dailyActivity = activityBook_.todaysRow(project);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *project);
        result.snapshot = nullptr;
    }
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
    GitTips tips;
    GitHistory history;
    try {
        project = inOwnContext(given);
        tips = gitService_.readTips(project->path);
        auto booking = activityBook_.booking(project);
        history = gitService_.readHistory(project->path, tips, booking);
    } catch (const std::exception& error) {
        result.error = collectionError(error, *given);
        return result;
    }
    const auto& commits = history.commits;
    result.totalCommits = static_cast<int>(commits.size());
    if (history.shallow && !commits.empty()) {
        result.shallowFrom = commits.front().date;
    }
    const auto now = clock_();
    // The attribution reads nothing but the commits: it is worked out while the snapshots and the
    // days are staged, and taken last.
    auto attribution = std::async(std::launch::async | std::launch::deferred,
                                  [&commits, now] { return ModelAttributionService::attributeCommits(commits, now); });
    try {
        const auto settings = fetchAppSettings();
        if (commits.empty()) {
            result.nothingToImport = HistoryImportResult::NothingToImport::noCommits;
        } else {
            result.snapshotCount = stageHistory(project, commits, sampleInterval, *settings, progress);
            project->firstCommitAt = commits.front().date;
            project->latestCommitAt = commits.back().date;
        }
        stageBaseline(project, history.firstBookedAt, history.days);
        activityBook_.stage(project, ActivityBook::Update::whole(tips, history), *settings);
        if (!commits.empty()) {
            modelAttributionService_.stageAttribution(project, attribution.get());
        }
        project->updatedAt = now;
        // One save: the series, the days, the model rows and the baseline are replaced whole, or
        // stay whole.
        context_->save();
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
                            int sampleInterval, const AppSettings& settings, const HistoryProgress& progress) {
    const auto sampled =
        sampleInterval >= 1 ? GitService::sampleCommits(commits, sampleInterval) : std::vector<GitCommit>{};
    const auto& kept = sampleInterval >= 1 ? sampled : commits;

    // Deleted by condition when saving, so that a series another import stored meanwhile goes too;
    // the old series is never read, and the new one is let go once written: a re-import holds no
    // more than the first import.
    context_->removeAll(SnapshotField::project == project &&
                        SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::gitHistory)));
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

void Collector::stageBaseline(const std::shared_ptr<Project>& project,
                              const std::optional<platform::Date>& firstBookedAt, const BookedDays& days) {
    std::vector<std::pair<platform::Date, int64_t>> codeLines;
    for (const auto& [day, booking] : days) {
        const auto stats = booking.stats();
        codeLines.emplace_back(day, stats.codeStats.linesChanged());
    }
    setBaseline(*project, baselineVelocity(firstBookedAt, clock_(), codeLines), clock_());
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
    if (!exists(project->path) || !isFolder(project->path) || !gitService_.isGitRepository(project->path)) {
        const auto collected = collectOne(project);
        if (collected.error) {
            report(InitialCollectionStage::Error{collected.error->message});
            result.error = collected.error;
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
        result.sccSnapshot = stageCodeCount(own, reading);
        own->updatedAt = clock_();
        context_->save();
        result.warning = reading.codeCount.warning;
    } catch (const std::exception& error) {
        result.sccSnapshot = nullptr;
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
    const auto now = clock_();
    std::vector<std::pair<platform::Date, int64_t>> codeLines;
    if (platform::LocalCalendar::wholeDaysBetween(firstCommittedAt, now) >= baselineDays) {
        // The first 60 local days, from the first commit's day on: its row is dated before the commit.
        const auto firstDay = localDay(firstCommittedAt);
        try {
            for (const auto& row : context_->fetch<DailyActivity>(
                     {.predicate =
                          DailyActivityField::project == project && DailyActivityField::date >= startOfDay(firstDay) &&
                          DailyActivityField::date < startOfDay(firstDay + std::chrono::days(baselineDays))})) {
                codeLines.emplace_back(row->date, row->codeLinesChanged());
            }
        } catch (const std::exception& error) {
            platform::logError(std::string("Failed to read the activity for the velocity baseline, which stands as it "
                                           "was: ") +
                               error.what());
            return;
        }
    }
    const auto before = project->baselineVelocity;
    setBaseline(*project, baselineVelocity(firstCommittedAt, now, codeLines), now);
    if (project->baselineVelocity != before) {
        context_->save();
    }
}

} // namespace norvane
