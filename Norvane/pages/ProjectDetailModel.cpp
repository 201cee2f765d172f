#include "Norvane/pages/ProjectDetailModel.h"

#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/pages/MenuBarModel.h"
#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {
namespace {

QString noFigure() { return QString::fromLatin1(noValueText); }

/// The leverage of `effortMonths` over an age of at least one day; none otherwise.
std::optional<double> perMonth(double effortMonths, std::optional<int> ageDays) {
    if (!ageDays || *ageDays < 1) return std::nullopt;
    return effortMonths / (*ageDays / daysPerMonth);
}

} // namespace

ProjectDetailModel::ProjectDetailModel(const ProjectInfo& project, const ProjectPageData& data,
                                       std::optional<CachedProjectFigures> cached, platform::Date now, CostRates rates)
    : project_(project), data_(data), cached_(std::move(cached)), now_(now), rates_(rates) {}

QString ProjectDetailModel::rawValue(LeverageDisplayMode mode) {
    return mode == LeverageDisplayMode::cumulative ? QStringLiteral("Cumulative") : QStringLiteral("14-Day");
}

LeverageDisplayMode ProjectDetailModel::leverageMode(const QString& rawValue) {
    return rawValue == QStringLiteral("Cumulative") ? LeverageDisplayMode::cumulative
                                                    : LeverageDisplayMode::rolling14Day;
}

QString ProjectDetailModel::displayPath(const QString& path, const QString& home) {
    if (home.isEmpty() || !path.startsWith(home)) return path;
    return QStringLiteral("~") + path.mid(home.size());
}

QString ProjectDetailModel::statusText(ProjectStatus status) {
    switch (status) {
    case ProjectStatus::active: return QStringLiteral("Active");
    case ProjectStatus::paused: return QStringLiteral("Paused");
    case ProjectStatus::archived: return QStringLiteral("Archived");
    }
    return {};
}

QColor ProjectDetailModel::statusColor(ProjectStatus status) {
    return status == ProjectStatus::active ? Palette::green() : Palette::textSecondary();
}

std::optional<QString> ProjectDetailModel::progressPercentText(const CollectionProgress& progress) {
    if (progress.phase != CollectionProgress::Phase::history || progress.total < 1) return std::nullopt;
    const auto percent = static_cast<long long>(double(progress.current) / double(progress.total) * 100.0);
    return QString::number(percent) + QStringLiteral("%");
}

std::optional<int> ProjectDetailModel::daysSinceFirstCommit() const {
    if (!project_.firstCommitAt) return std::nullopt;
    return platform::LocalCalendar::wholeDaysBetween(*project_.firstCommitAt, now_);
}

std::optional<CocomoEstimate> ProjectDetailModel::estimatedCocomo() const {
    std::int64_t lines = 0;
    if (data_.newestHistory && data_.newestHistory->cumulativeLinesChanged >= 1) {
        lines = data_.newestHistory->cumulativeLinesChanged;
    } else if (data_.latestMeasurement && data_.latestMeasurement->codeLines >= 1) {
        lines = data_.latestMeasurement->codeLines;
    } else {
        return std::nullopt;
    }
    return CocomoEstimate::calculate(lines, project_.projectType, rates_.averageWage, rates_.overhead);
}

std::optional<double> ProjectDetailModel::estimatedLeverage() const {
    const auto estimate = estimatedCocomo();
    return estimate ? perMonth(estimate->effortMonths, daysSinceFirstCommit()) : std::nullopt;
}

std::optional<double> ProjectDetailModel::cumulativeLeverage() const {
    if (data_.newestHistory && data_.newestHistory->cumulativeEffortMonths > 0) {
        if (const auto leverage = perMonth(data_.newestHistory->cumulativeEffortMonths, daysSinceFirstCommit()))
            return leverage;
    }
    return estimatedLeverage();
}

std::optional<double> ProjectDetailModel::leverageValue(LeverageDisplayMode mode) const {
    if (mode == LeverageDisplayMode::cumulative) return cumulativeLeverage();
    if (!cached_) return std::nullopt;
    if (cached_->leverage && cached_->leverage->leverage14Day) return cached_->leverage->leverage14Day;
    return estimatedLeverage();
}

std::optional<MetricDelta> ProjectDetailModel::leverageDelta(LeverageDisplayMode mode) const {
    if (mode != LeverageDisplayMode::rolling14Day || !cached_ || !cached_->leverage) return std::nullopt;
    const auto& current = cached_->leverage->leverage14Day;
    const auto& prior = cached_->leverage->leveragePrior14Day;
    if (!current || !prior || !(*prior > 0)) return std::nullopt;
    const double change = *current - *prior;
    const QString magnitude = formatFixed(change, 1);
    return MetricDelta{change,
                       (magnitude.startsWith('-') ? magnitude : QStringLiteral("+") + magnitude) + QStringLiteral("x")};
}

HeroMetric ProjectDetailModel::leverageMetric(LeverageDisplayMode mode) const {
    const auto value = leverageValue(mode);
    return {value ? formatMultiplier(*value) : noFigure(), QStringLiteral("Leverage"), leverageDelta(mode)};
}

HeroMetric ProjectDetailModel::maturityMetric() const {
    return {formatFixed(data_.maturityMultiplier, 2) + QStringLiteral("x"), QStringLiteral("Maturity"), std::nullopt,
            QString::fromUtf8(platform::rawValue(data_.sizeBucket))};
}

std::vector<SummaryStat> ProjectDetailModel::summaryStats() const {
    const auto& measurement = data_.latestMeasurement;
    const auto age = daysSinceFirstCommit();
    return {
        {formatNumber(measurement ? measurement->codeCategoryCode : 0), QStringLiteral("Code Lines"),
         QString::fromUtf8(lineRange(data_.sizeBucket))},
        {measurement ? formatNumber(measurement->totalFiles) : noFigure(), QStringLiteral("Files")},
        {measurement ? formatNumber(measurement->totalComplexity) : noFigure(), QStringLiteral("Complexity")},
        {age ? QString::number(*age) : noFigure(), QStringLiteral("Days"), QStringLiteral("since first commit")},
    };
}

std::vector<ProjectSection> ProjectDetailModel::visibleSections() const {
    const bool hasHistory = !data_.history.empty();
    const bool willBeRead = project_.status != ProjectStatus::archived;
    std::vector<ProjectSection> sections;
    if (hasHistory) sections.push_back(ProjectSection::trends);
    if (cached_ ? cached_->hasComposition : willBeRead) sections.push_back(ProjectSection::outputComposition);
    if (cached_ ? cached_->hasRetention : willBeRead) sections.push_back(ProjectSection::velocityRetention);
    if (hasHistory) sections.push_back(ProjectSection::milestones);
    if (data_.latestMeasurement) sections.push_back(ProjectSection::costEstimates);
    if (data_.newestCommit && data_.newestCommit->hash) sections.push_back(ProjectSection::latestCommit);
    return sections;
}

ProjectEmptyState ProjectDetailModel::emptyState() const {
    if (data_.latestMeasurement) return ProjectEmptyState::none;
    return data_.history.empty() ? ProjectEmptyState::noData : ProjectEmptyState::gitHistoryOnly;
}

} // namespace norvane::app
