#include "core/collection/CocomoService.h"

#include "core/models/NewestSnapshot.h"
#include "core/models/StoredSettings.h"
#include "platform/LocalCalendar.h"

#include <algorithm>

namespace norvane {

CocomoService::CocomoService(std::shared_ptr<platform::ModelContext> context, platform::Clock clock)
    : context_(std::move(context)), clock_(std::move(clock)) {}

CocomoEstimate CocomoService::calculateEstimate(int64_t sloc, ProjectType projectType,
                                                const std::shared_ptr<AppSettings>& settings) {
    const auto used = settings ? settings : getSettings();
    return CocomoEstimate::calculate(sloc, projectType, used->averageWage, used->overhead);
}

CocomoEstimate CocomoService::calculateEstimate(const std::shared_ptr<Snapshot>& snapshot) {
    const auto mode = snapshot->project ? snapshot->project->projectType : ProjectType::organic;
    return calculateEstimate(snapshot->codeLines, mode);
}

std::optional<CocomoEstimate> CocomoService::calculateEstimate(const std::shared_ptr<Project>& project) {
    const auto newest = newestSnapshot(*project);
    if (!newest) {
        return std::nullopt;
    }
    return calculateEstimate(newest);
}

double CocomoService::calculateLeverage(const CocomoEstimate& estimate, int64_t calendarDays,
                                        std::optional<int64_t> headcount) {
    const auto settings = getSettings();
    return estimate.leverageRatio(calendarDays, headcount.value_or(settings->headcount));
}

CocomoEstimate CocomoService::calculatePortfolioEstimate() {
    const auto settings = getSettings();
    return calculatePortfolioEstimate(activeProjects(), *settings);
}

CocomoEstimate CocomoService::calculatePortfolioEstimate(const std::vector<std::shared_ptr<Project>>& projects,
                                                         const AppSettings& settings) {
    int64_t totalCode = 0;
    for (const auto& project : projects) {
        if (const auto newest = newestSnapshot(*project)) {
            totalCode += newest->codeLines;
        }
    }
    return CocomoEstimate::calculate(totalCode, settings.defaultProjectType, settings.averageWage, settings.overhead);
}

PortfolioLeverage CocomoService::calculatePortfolioLeverage() {
    const auto settings = getSettings();
    const auto projects = activeProjects();
    PortfolioLeverage result{calculatePortfolioEstimate(projects, *settings), 0, std::nullopt};
    for (const auto& project : projects) {
        if (project->firstCommitAt && (!result.startDate || *project->firstCommitAt < *result.startDate)) {
            result.startDate = project->firstCommitAt;
        }
    }
    if (!result.startDate) {
        return result;
    }
    const int days = platform::LocalCalendar::wholeDaysBetween(*result.startDate, clock_());
    if (days < 1) {
        return result;
    }
    result.leverage = result.estimate.leverageRatio(days, settings->headcount);
    return result;
}

std::shared_ptr<AppSettings> CocomoService::getSettings() {
    if (auto stored = StoredSettings::find(*context_)) {
        return stored;
    }
    auto settings = AppSettings::defaults();
    context_->insert(settings);
    context_->save();
    return settings;
}

void CocomoService::saveSettings(const std::shared_ptr<AppSettings>&) { context_->save(); }

void CocomoService::updateSettings(std::optional<double> averageWage, std::optional<double> overhead,
                                   std::optional<int64_t> headcount, std::optional<ProjectType> defaultProjectType) {
    const auto settings = getSettings();
    if (averageWage) settings->averageWage = *averageWage;
    if (overhead) settings->overhead = *overhead;
    if (headcount) settings->headcount = *headcount;
    if (defaultProjectType) settings->defaultProjectType = *defaultProjectType;
    context_->save();
}

std::vector<std::shared_ptr<Project>> CocomoService::activeProjects() {
    auto projects = context_->fetch<Project>();
    std::erase_if(projects, [](const auto& project) { return project->status == ProjectStatus::archived; });
    return projects;
}

} // namespace norvane
