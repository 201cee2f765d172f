#pragma once

#include "Norvane/components/tiles/SummaryStat.h"

#include <QWidget>

#include <vector>

namespace norvane::app {

class SummaryStatCard;

/// The strip of summary cards under the hero zone, sharing the row's width, 12 apart.
class SummaryRowView : public QWidget {
    Q_OBJECT
public:
    explicit SummaryRowView(const std::vector<SummaryStat>& stats, QWidget* parent = nullptr);

    /// Shows `stats` in order; a card whose id stays keeps its hover state. The other cards take
    /// the other figures rather than being made anew, so that new figures never leave the row
    /// empty for a moment.
    void setStats(const std::vector<SummaryStat>& stats);
    const std::vector<SummaryStatCard*>& cards() const { return cards_; }

private:
    std::vector<SummaryStatCard*> cards_;
};

} // namespace norvane::app
