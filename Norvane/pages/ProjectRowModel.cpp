#include "Norvane/pages/ProjectRowModel.h"

#include "Norvane/components/theme/Palette.h"
#include "core/models/DaysPerMonth.h"

namespace norvane::app {

QColor ProjectRowModel::statusColor(const ProjectInfo& project, platform::Date now) {
    if (project.status != ProjectStatus::active) return Palette::textMuted();
    switch (project.temperature(now)) {
    case ProjectTemperature::hot: return Palette::cyan();
    case ProjectTemperature::warm: return Palette::blue();
    case ProjectTemperature::cold: return Palette::purple();
    case ProjectTemperature::frozen:
    case ProjectTemperature::unknown: return Palette::textMuted();
    }
    return Palette::textMuted();
}

std::optional<QString> ProjectRowModel::detailText(const ProjectInfo& project,
                                                   const std::optional<CommitSummary>& summary, platform::Date now) {
    if (project.status == ProjectStatus::archived) return QStringLiteral("Archived");
    if (summary) {
        return QString::fromStdString(summary->first) + QStringLiteral(" \u00B7 ") +
               QString::fromStdString(summary->second);
    }
    if (const auto days = project.daysSinceLastCommit(now)) return relativeDaysText(*days);
    return std::nullopt;
}

QString ProjectRowModel::relativeDaysText(int days) {
    if (days <= 0) return QStringLiteral("today");
    if (days == 1) return QStringLiteral("yesterday");
    if (days < 7) return QStringLiteral("%1 days ago").arg(days);
    if (days < 14) return QStringLiteral("1 week ago");
    constexpr int month = static_cast<int>(daysPerMonth);
    if (days < month) return QStringLiteral("%1 weeks ago").arg(days / 7);
    return QStringLiteral("%1+ months ago").arg(days / month);
}

} // namespace norvane::app
