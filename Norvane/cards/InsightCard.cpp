#include "Norvane/cards/InsightCard.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QBoxLayout>

namespace norvane::app {

namespace {

// Every card's symbol sits in a column of one width, so the titles of a list line up.
constexpr int symbolColumnWidth = 24;

} // namespace

InsightCard::InsightCard(const Insight& insight, QWidget* parent)
    : RoundedPanel(box(Palette::backgroundRaised(), defaultPadding, Qt::Horizontal, 12), parent), id_(insight.id),
      symbol_(makeSymbol(fromCore(insight.icon), TextStyle::title3, symbolColor(insight.type))),
      message_(makeLabel(fromCore(insight.message), TextStyle::caption, Palette::textSecondary())),
      dot_(new ColorDot(8, dotColor(insight.priority))) {
    auto* symbolColumn = wrap(makeColumn(0));
    symbolColumn->setFixedWidth(symbolColumnWidth);
    symbolColumn->layout()->addWidget(symbol_);
    symbolColumn->layout()->setAlignment(symbol_, Qt::AlignHCenter | Qt::AlignTop);
    auto* texts = makeColumn(4);
    texts->addWidget(
        makeLabel(fromCore(insight.title), TextStyle::subheadline, Palette::textPrimary(), QFont::DemiBold));
    message_->setWordWrap(true);
    texts->addWidget(message_);
    contentLayout()->addWidget(symbolColumn, 0, Qt::AlignTop);
    contentLayout()->addLayout(texts, 1);
    contentLayout()->addWidget(dot_, 0, Qt::AlignTop);
}

QColor InsightCard::symbolColor(InsightType type) {
    switch (type) {
    case InsightType::optimalParallelism:
    case InsightType::productiveDay:
    case InsightType::productiveWeek: return Palette::violet();
    case InsightType::lowCapacity:
    case InsightType::addProject: return Palette::blue();
    case InsightType::highCapacity: return Palette::green();
    case InsightType::tooManyProjects:
    case InsightType::streak:
    case InsightType::newPeak: return Palette::amber();
    }
    return Palette::textSecondary();
}

QColor InsightCard::dotColor(InsightPriority priority) {
    switch (priority) {
    case InsightPriority::low: return Palette::textSecondary();
    case InsightPriority::medium: return Palette::blue();
    case InsightPriority::high: return Palette::amber();
    }
    return Palette::textSecondary();
}

} // namespace norvane::app
