#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QColor>
#include <QString>

#include "Norvane/components/tiles/HeroMetric.h"
#include "Norvane/components/tiles/SummaryStat.h"
#include "Norvane/state/CollectionProgress.h"
#include "core/analytics/ProjectRollingLeverage.h"
#include "core/collection/CocomoEstimate.h"
#include "core/models/AppSettings.h"
#include "core/models/ProjectInfo.h"
#include "core/reads/ProjectPageData.h"

namespace norvane::app {

/// Where the project page's leverage comes from: the rolling 14 days that the application state
/// caches, or the whole history's cumulative effort.
enum class LeverageDisplayMode { rolling14Day, cumulative };

/// The project page's sections, in page order.
enum class ProjectSection { trends, outputComposition, velocityRetention, milestones, costEstimates, latestCommit };

/// What closes the page when it has no code count.
enum class ProjectEmptyState { none, noData, gitHistoryOnly };

/// The yearly wage and overhead factor of the page's COCOMO estimates: the user's settings.
struct CostRates {
    double averageWage = AppSettings::defaultAverageWage;
    double overhead = AppSettings::defaultOverhead;
    bool operator==(const CostRates&) const = default;
};

/// What the application state's cache holds for a project once it has read it.
struct CachedProjectFigures {
    std::optional<ProjectRollingLeverage> leverage;
    bool hasComposition = false;
    bool hasRetention = false;
};

/// The project page's rules: the header's texts, the hero zone's leverage and maturity, the
/// summary tiles and which sections show, from the project's fields, the values read for it,
/// the application state's cached figures and the current time.
class ProjectDetailModel {
public:
    /// Reads `project` and `data` where they are; both must outlive the model. `cached` is none
    /// while the cache has not read the project yet.
    ProjectDetailModel(const ProjectInfo& project, const ProjectPageData& data,
                       std::optional<CachedProjectFigures> cached, platform::Date now, CostRates rates);
    ProjectDetailModel(const ProjectInfo&, ProjectPageData&&, std::optional<CachedProjectFigures>, platform::Date,
                       CostRates) = delete;

    /// "14-Day" or "Cumulative".
    static QString rawValue(LeverageDisplayMode mode);
    /// The stored text's mode; any other text reads as "14-Day".
    static LeverageDisplayMode leverageMode(const QString& rawValue);
    static constexpr std::array<LeverageDisplayMode, 2> leverageModes{LeverageDisplayMode::rolling14Day,
                                                                      LeverageDisplayMode::cumulative};

    /// `path` with a leading `home` written "~".
    static QString displayPath(const QString& path, const QString& home);
    /// "Active", "Paused" or "Archived".
    static QString statusText(ProjectStatus status);
    static QColor statusColor(ProjectStatus status);
    /// The whole percent of a history import ("42%"); none before its total is known.
    static std::optional<QString> progressPercentText(const CollectionProgress& progress);

    std::optional<int> daysSinceFirstCommit() const;
    /// The estimate over the history's lines changed, else the code count's lines.
    std::optional<CocomoEstimate> estimatedCocomo() const;
    std::optional<double> estimatedLeverage() const;
    std::optional<double> cumulativeLeverage() const;
    /// None in "14-Day" while the cache has not read the project: "--" stands in its place, never
    /// the estimate that the read figure would replace.
    std::optional<double> leverageValue(LeverageDisplayMode mode) const;
    std::optional<MetricDelta> leverageDelta(LeverageDisplayMode mode) const;

    HeroMetric leverageMetric(LeverageDisplayMode mode) const;
    HeroMetric maturityMetric() const;
    /// Code lines, files, complexity and days since the first commit.
    std::vector<SummaryStat> summaryStats() const;

    /// The sections to show; the composition and velocity sections only when the application
    /// state's caches hold the project, or, before the cache has read it, when it will read it: the
    /// cache reads every project that is not archived.
    std::vector<ProjectSection> visibleSections() const;
    ProjectEmptyState emptyState() const;

private:
    const ProjectInfo& project_;
    const ProjectPageData& data_;
    std::optional<CachedProjectFigures> cached_;
    platform::Date now_;
    CostRates rates_;
};

} // namespace norvane::app
