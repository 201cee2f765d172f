#pragma once

#include <optional>

#include <QColor>
#include <QString>

#include "core/models/ProjectInfo.h"

namespace norvane::app {

/// The rules of a project's row in the sidebar: the colour of its dot and its line of detail.
class ProjectRowModel {
public:
    /// Muted for a paused or archived project; else by how recently it was committed to.
    static QColor statusColor(const ProjectInfo& project, platform::Date now);
    /// "Archived", else "hash · subject", else how long ago the last commit was; none when there
    /// is nothing to say.
    static std::optional<QString> detailText(const ProjectInfo& project, const std::optional<CommitSummary>& summary,
                                             platform::Date now);
    /// "today", "yesterday", "3 days ago", "1 week ago", "2 weeks ago", "5+ months ago". A commit
    /// dated after now (a clock ahead of this one) reads "today".
    static QString relativeDaysText(int days);
};

} // namespace norvane::app
