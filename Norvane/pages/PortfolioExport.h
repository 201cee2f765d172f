#pragma once

#include "Norvane/pages/PortfolioState.h"
#include "Norvane/sheets/ShareableMetrics.h"
#include "core/analytics/PortfolioMetrics.h"
#include "core/community/IndexExport.h"
#include "platform/Date.h"

namespace norvane::app {

/// The portfolio page's summaries of the user's figures for the export and share sheets, from the
/// page's state as it stands.
class PortfolioExport {
public:
    /// The index export document: the chosen composition window up to `now`, every listed project
    /// under its own name; a missing figure has its fixed stand-in.
    static IndexExport document(const PortfolioState& state, platform::Date now = platform::currentDate());
    /// The shared summary's figures: the cached rolling leverage, the index and the lines touched.
    static ShareableMetrics shareableMetrics(const std::optional<PortfolioMetrics>& metrics,
                                             const PortfolioState& state);
    /// "improving" from 90%, "stable" from 70%, else "declining".
    static std::string retentionTrend(double retentionPercent);
};

} // namespace norvane::app
