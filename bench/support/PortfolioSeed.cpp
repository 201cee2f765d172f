#include "bench/support/PortfolioSeed.h"

#include "core/collection/CocomoEstimate.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/LocalCalendar.h"

#include <fmt/format.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace norvane {

namespace calendar = platform::LocalCalendar;

std::optional<PortfolioShape> PortfolioShape::named(std::string_view name) {
    if (name == "weekly") return PortfolioShape{50, false};
    if (name == "commits") return PortfolioShape{50, true};
    if (name == "commits-200") return PortfolioShape{200, true};
    if (name == "commits-4") return PortfolioShape{4, true};
    return std::nullopt;
}

PortfolioShape PortfolioShape::chosen() {
    const char* name = std::getenv("NORVANE_BENCH_PORTFOLIO");
    const auto shape = named(name ? name : "weekly");
    if (!shape) throw std::runtime_error(std::string("unknown NORVANE_BENCH_PORTFOLIO: ") + name);
    return *shape;
}

std::vector<std::shared_ptr<Project>> PortfolioSeed::fill(platform::ModelContext& context,
                                                          const PortfolioShape& shape) {
    const platform::Date today = calendar::startOfDay(platform::currentDate());
    std::vector<std::shared_ptr<Project>> projects;
    for (int p = 0; p < shape.projectCount; ++p) {
        auto project = Project::create("project-" + std::to_string(p), "/tmp", std::nullopt, ProjectType::organic);
        project->firstCommitAt = calendar::addingDays(today, -historyDays);
        project->latestCommitAt = calendar::addingDays(today, -(p % 10)) + std::chrono::hours(9);
        project->baselineVelocity = 120.0 + p;
        context.insert(project);
        if (shape.everyCommit) {
            addCommitHistory(context, project, today, p);
        } else {
            addWeeklyHistory(context, project, today, p);
        }
        addDailyActivity(context, project, today, p);
        projects.push_back(project);
    }
    return projects;
}

void PortfolioSeed::seedStore(const std::filesystem::path& file, const PortfolioShape& shape) {
    platform::ModelContext context(NorvaneDatabase::makeContainer(file));
    const auto projects = fill(context, shape);
    for (std::size_t p = 0; p < projects.size(); ++p) addTodaysCount(context, projects[p], static_cast<int>(p));
    int row = 0;
    for (const auto& activity : context.fetch<DailyActivity>())
        activity->commitCount = ++row % 5 == 0 ? 0 : 1 + row % 3;
    context.save();
}

void PortfolioSeed::addTodaysCount(platform::ModelContext& context, const std::shared_ptr<Project>& project, int p) {
    auto snapshot = Snapshot::create(project);
    snapshot->codeLines = 20'000 + 500 * p;
    context.insert(snapshot);
    for (const char* language : {"C++", "Python", "Markdown"}) {
        context.insert(SnapshotLanguage::create(language, snapshot));
    }
}

// One history point a week, each project on its own weekday and hour.
void PortfolioSeed::addWeeklyHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                     platform::Date today, int p) {
    double effort = 0.0;
    std::int64_t insertions = 0;
    for (int day = historyDays - p % 7; day >= 0; day -= 7) {
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        snapshot->capturedAt = calendar::addingDays(today, -day) + std::chrono::minutes(9 * 60 + 7 * p);
        effort += 0.05 + 0.01 * (p % 5);
        insertions += 400 + 13 * p;
        snapshot->codeLines = insertions - insertions / 3;
        snapshot->cumulativeEffortMonths = effort;
        snapshot->cumulativeInsertions = insertions;
        snapshot->cumulativeDeletions = insertions / 3;
        context.insert(snapshot);
    }
}

// None to two commits a day, one a day on average, each a history point with its commit and the
// running totals that the history import stores.
void PortfolioSeed::addCommitHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                     platform::Date today, int p) {
    constexpr int commitsOnDay[] = {0, 1, 1, 2};
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    int number = 0;
    for (int day = historyDays; day >= 0; --day) {
        const int commits = commitsOnDay[(day * 5 + p * 3) % 4];
        for (int commit = 0; commit < commits; ++commit) {
            ++number;
            insertions += 40 + (day + p + commit) % 120;
            deletions += 10 + (day * 3 + p) % 40;
            const auto estimate = CocomoEstimate::calculate(insertions + deletions, ProjectType::organic, 150000, 2.4);
            auto snapshot = Snapshot::create(project);
            snapshot->setSnapshotType(SnapshotType::gitHistory);
            snapshot->capturedAt =
                calendar::addingDays(today, -day) + std::chrono::minutes(9 * 60 + 7 * p + 150 * commit);
            snapshot->latestCommitHash = fmt::format("{:08x}{:032x}", p, number * 2654435761U);
            snapshot->latestCommitMessage =
                fmt::format("Change {} of {}: adjust module {}\n\nWhy the change was made, in a line or two.\n", number,
                            project->name, (number * 7) % 400);
            snapshot->latestCommitAuthor = "Bench Author";
            snapshot->latestCommitDate = snapshot->capturedAt;
            snapshot->cumulativeInsertions = insertions;
            snapshot->cumulativeDeletions = deletions;
            snapshot->cumulativeLinesChanged = insertions + deletions;
            snapshot->cumulativeEffortMonths = estimate.effortMonths;
            snapshot->cumulativeEstimatedCost = estimate.estimatedCost;
            snapshot->codeLines = insertions + deletions;
            context.insert(snapshot);
        }
    }
}

void PortfolioSeed::addDailyActivity(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                     platform::Date today, int p) {
    for (int day = historyDays; day >= 0; --day) {
        auto activity = DailyActivity::create(project, calendar::addingDays(today, -day));
        activity->codeLinesInserted = 80 + (day * 7 + p) % 90;
        activity->codeLinesDeleted = 20 + (day + p) % 30;
        activity->docsLinesInserted = day % 11;
        activity->testLinesInserted = (day + p) % 17;
        activity->configLinesDeleted = day % 3;
        activity->totalInsertions = activity->codeLinesInserted + activity->docsLinesInserted;
        activity->totalDeletions = activity->codeLinesDeleted;
        context.insert(activity);
    }
}

} // namespace norvane
