#include "Norvane/pages/PortfolioExport.h"

#include "core/facade/NorvaneKit.h"
#include "platform/LocalCalendar.h"

namespace norvane::app {

IndexExport PortfolioExport::document(const PortfolioState& state, platform::Date now) {
    IndexExport document;
    document.norvaneVersion = std::string(NorvaneKit::version);
    document.dateRange = IndexExport::DateRange(platform::LocalCalendar::addingDays(now, -state.compositionDays), now);
    document.includesProjectNames = true;
    if (state.userPercentiles) document.norvaneIndex = IndexExport::NorvaneIndexData::from(*state.userPercentiles);
    document.outputComposition = IndexExport::OutputCompositionData::from(state.outputComposition);
    if (const auto retention = state.portfolioRetention) {
        document.velocityRetention = IndexExport::VelocityRetentionData{*retention, 0, 0, retentionTrend(*retention)};
    }
    if (state.productivityStreak) document.streak = IndexExport::StreakData::from(*state.productivityStreak);
    for (const auto& achievement : state.achievements) {
        document.achievements.push_back(IndexExport::AchievementData::from(achievement));
    }
    for (const auto& project : state.projects) document.projects.push_back(project.summary);
    document.exportedAt = now;
    return document;
}

ShareableMetrics PortfolioExport::shareableMetrics(const std::optional<PortfolioMetrics>& metrics,
                                                   const PortfolioState& state) {
    ShareableMetrics shared;
    if (metrics) {
        shared.leverage7Day = metrics->rollingLeverage7Day;
        shared.leverage14Day = metrics->rollingLeverage14Day;
        shared.leverage30Day = metrics->rollingLeverage30Day;
    }
    if (state.userPercentiles) shared.norvaneIndex = state.userPercentiles->norvaneIndex;
    shared.linesTouched7Day = state.linesTouched.sevenDays;
    shared.linesTouched14Day = state.linesTouched.fourteenDays;
    shared.linesTouched30Day = state.linesTouched.thirtyDays;
    shared.projectCount = static_cast<std::int64_t>(state.projects.size());
    return shared;
}

std::string PortfolioExport::retentionTrend(double retentionPercent) {
    if (retentionPercent >= 90) return "improving";
    if (retentionPercent >= 70) return "stable";
    return "declining";
}

} // namespace norvane::app
