#include "Norvane/components/tiles/SummaryRowView.h"

#include "Norvane/components/tiles/SummaryStatCard.h"

#include <QHBoxLayout>

#include <algorithm>

namespace norvane::app {

SummaryRowView::SummaryRowView(const std::vector<SummaryStat>& stats, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    setStats(stats);
}

void SummaryRowView::setStats(const std::vector<SummaryStat>& stats) {
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    std::vector<SummaryStatCard*> previous = std::move(cards_);
    cards_.clear();
    for (const SummaryStat& stat : stats) {
        const auto kept = std::find_if(previous.begin(), previous.end(), [&stat](const SummaryStatCard* card) {
            return card && card->statId() == stat.id;
        });
        SummaryStatCard* card = nullptr;
        if (kept != previous.end()) {
            card = *kept;
            *kept = nullptr;
            card->setStat(stat);
            layout->removeWidget(card);
        } else {
            card = new SummaryStatCard(stat, this);
        }
        layout->addWidget(card, 1);
        cards_.push_back(card);
    }
    for (SummaryStatCard* unused : previous) {
        delete unused;
    }
}

} // namespace norvane::app
