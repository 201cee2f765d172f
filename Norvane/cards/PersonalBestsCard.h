#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/PortfolioMetrics.h"

#include <optional>

namespace norvane::app {

/// The portfolio's best 7-day and 14-day rolling leverage with the dates of those windows, and a
/// banner when the current window ranks high in the user's own history.
class PersonalBestsCard : public RoundedPanel {
    Q_OBJECT
public:
    struct BestColumn {
        /// "12.3x", or the missing mark when there is no best.
        QString value;
        bool hasValue;
        /// The window's dates, or "No data yet" without a best; none when a date is missing.
        std::optional<QString> caption;
    };
    struct Banner {
        QString symbol;
        QColor color;
        QString text;
    };

    explicit PersonalBestsCard(const PortfolioMetrics& metrics, QWidget* parent = nullptr);

    /// Redraws from `metrics`; `now` decides which year the dates need not name.
    void setMetrics(const PortfolioMetrics& metrics, platform::Date now = platform::currentDate());

    static BestColumn bestColumn(std::optional<double> leverage, std::optional<platform::Date> start,
                                 std::optional<platform::Date> end, platform::Date now);
    /// From the 80th percentile the top banner, from the 50th the median one; none when either
    /// percentile is missing.
    static std::optional<Banner> currentPeriodBanner(std::optional<double> percentile7Day,
                                                     std::optional<double> percentile14Day);
};

} // namespace norvane::app
