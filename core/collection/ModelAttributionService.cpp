#include "core/collection/ModelAttributionService.h"

#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/DaysPerMonth.h"

#include "platform/LocalCalendar.h"

#include <algorithm>

namespace norvane {
namespace {

using platform::LocalCalendar::addingDays;

/// Per-model rows are valued at fixed organic rates, the default wage and overhead whatever the
/// settings say.
constexpr double attributionWage = AppSettings::defaultAverageWage;
constexpr double attributionOverhead = AppSettings::defaultOverhead;

void fill(ModelDailyActivity& row, const ModelDayTotals& sums) {
    row.insertions = sums.insertions;
    row.deletions = sums.deletions;
    row.filesChanged = sums.filesChanged;
    row.commitCount = sums.commitCount;
    const auto estimate = CocomoEstimate::calculate(sums.insertions + sums.deletions, ProjectType::organic,
                                                    attributionWage, attributionOverhead);
    row.estimatedEffortMonths = estimate.effortMonths;
    row.estimatedCost = estimate.estimatedCost;
}

double share(int64_t part, int64_t whole) {
    return whole >= 1 ? static_cast<double>(part) / static_cast<double>(whole) * 100.0 : 0.0;
}

} // namespace

ModelAttributionService::ModelAttributionService(std::shared_ptr<platform::ModelContext> context, platform::Clock clock)
    : context_(std::move(context)), clock_(std::move(clock)) {}

void ModelAttributionService::processCommitsForAttribution(const std::shared_ptr<Project>& project,
                                                           const std::vector<GitCommit>& commits) {
    storeAttribution(project, attributeCommits(commits, clock_()));
}

ModelAttribution ModelAttributionService::attributeCommits(const std::vector<GitCommit>& commits, platform::Date now) {
    ModelAttributionTally tally(now);
    for (const auto& commit : commits) {
        tally.add(commit);
    }
    return tally.totals();
}

void ModelAttributionService::storeAttribution(const std::shared_ptr<Project>& project,
                                               const ModelAttribution& attribution) {
    stageAttribution(project, attribution);
    context_->save();
}

void ModelAttributionService::stageAttribution(const std::shared_ptr<Project>& project,
                                               const ModelAttribution& attribution) {
    const auto stored = context_->fetch<ModelDailyActivity>({.predicate = ModelDailyActivityField::project == project});
    std::map<std::pair<platform::Date, std::string>, std::shared_ptr<ModelDailyActivity>> rowsByKey;
    for (const auto& row : stored) {
        rowsByKey[{row->date, row->modelRaw}] = row;
    }
    for (const auto& [key, sum] : attribution) {
        auto& row = rowsByKey[{key.first, std::string(platform::rawValue(key.second))}];
        if (!row) {
            row = ModelDailyActivity::create(project, key.first, key.second);
            context_->insert(row);
        }
        fill(*row, sum);
    }
}

ModelAttributionSummary ModelAttributionService::getProjectSummary(const std::shared_ptr<Project>& project,
                                                                   std::optional<int> days) {
    auto predicate = ModelDailyActivityField::project == project;
    if (days) {
        predicate = std::move(predicate) && ModelDailyActivityField::date >= addingDays(clock_(), -*days);
    }
    return modelMetrics(context_->fetch<ModelDailyActivity>({.predicate = std::move(predicate)}), days);
}

ModelAttributionSummary ModelAttributionService::getPortfolioSummary(std::optional<int> days) {
    platform::FetchDescriptor<ModelDailyActivity> descriptor;
    if (days) {
        descriptor.predicate = ModelDailyActivityField::date >= addingDays(clock_(), -*days);
    }
    return modelMetrics(context_->fetch<ModelDailyActivity>(descriptor), days);
}

ModelAttributionSummary
ModelAttributionService::modelMetrics(const std::vector<std::shared_ptr<ModelDailyActivity>>& rows,
                                      std::optional<int> days) const {
    std::map<AIModel, ModelMetrics> byModel;
    for (const auto& row : rows) {
        auto& metrics = byModel[row->model()];
        metrics.model = row->model();
        metrics.commitCount += row->commitCount;
        metrics.insertions += row->insertions;
        metrics.deletions += row->deletions;
        metrics.estimatedEffortMonths += row->estimatedEffortMonths;
        metrics.estimatedCost += row->estimatedCost;
    }
    int64_t totalCommits = 0;
    int64_t totalLines = 0;
    for (auto& [model, metrics] : byModel) {
        metrics.linesChanged = metrics.insertions + metrics.deletions;
        totalCommits += metrics.commitCount;
        totalLines += metrics.linesChanged;
    }
    int span = days.value_or(1);
    if (!days && !rows.empty()) {
        const auto [earliest, latest] = std::minmax_element(
            rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a->date < b->date; });
        span = std::max(1, platform::LocalCalendar::wholeDaysBetween((*earliest)->date, (*latest)->date));
    }
    ModelAttributionSummary summary;
    for (auto& [model, metrics] : byModel) {
        const double leverage = metrics.estimatedEffortMonths / (static_cast<double>(span) / daysPerMonth);
        if (leverage > 0) {
            metrics.leverage = leverage;
        }
        metrics.commitShare = share(metrics.commitCount, totalCommits);
        metrics.linesShare = share(metrics.linesChanged, totalLines);
        summary.modelMetrics.push_back(metrics);
    }
    std::stable_sort(summary.modelMetrics.begin(), summary.modelMetrics.end(),
                     [](const auto& a, const auto& b) { return a.linesChanged > b.linesChanged; });
    summary.totalAttributedCommits = totalCommits;
    return summary;
}

std::map<AIModel, std::vector<ModelLeveragePoint>> ModelAttributionService::getLeverageSeriesByModel(int days) {
    const auto rows =
        context_->fetch<ModelDailyActivity>({.predicate = ModelDailyActivityField::date >= addingDays(clock_(), -days),
                                             .sortBy = {platform::ascending(ModelDailyActivityField::date)}});
    std::map<AIModel, std::vector<std::shared_ptr<ModelDailyActivity>>> groups;
    for (const auto& row : rows) {
        groups[row->model()].push_back(row);
    }
    constexpr double windowMonths = 14.0 / daysPerMonth;
    std::map<AIModel, std::vector<ModelLeveragePoint>> series;
    for (const auto& [model, group] : groups) {
        for (const auto& row : group) {
            const auto windowStart = addingDays(row->date, -14);
            double effort = 0;
            for (const auto& other : group) {
                if (other->date >= windowStart && other->date <= row->date) {
                    effort += other->estimatedEffortMonths;
                }
            }
            if (const double leverage = effort / windowMonths; leverage > 0) {
                series[model].push_back({row->date, leverage});
            }
        }
    }
    return series;
}

} // namespace norvane
