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
    std::vector<SummaryStatCard*> unused = std::move(cards_);
    cards_.assign(stats.size(), nullptr);
    for (std::size_t index = 0; index < stats.size(); ++index) {
        const auto kept = std::find_if(unused.begin(), unused.end(),
                                       [&](const SummaryStatCard* card) { return card->statId() == stats[index].id; });
        if (kept == unused.end()) continue;
        cards_[index] = *kept;
        unused.erase(kept);
    }
    for (std::size_t index = 0; index < stats.size(); ++index) {
        SummaryStatCard* card = cards_[index];
        if (card == nullptr && !unused.empty()) {
            // A card of a figure that went takes the new one: the row never stands empty.
            card = unused.front();
            unused.erase(unused.begin());
        }
        if (card == nullptr) {
            card = new SummaryStatCard(stats[index], this);
            // In a row on screen a new card shows at once, not a turn of the event loop later.
            if (isVisible()) card->show();
        }
        card->setStat(stats[index]);
        layout->removeWidget(card);
        layout->addWidget(card, 1);
        cards_[index] = card;
    }
    for (SummaryStatCard* card : unused) delete card;
}

} // namespace norvane::app
