#include "Norvane/cards/ImprovementSuggestionsCard.h"

#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ChevronButton.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/cards/kit/ExpandableBody.h"
#include "Norvane/cards/kit/Notice.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "core/community/ImprovementSuggestionGenerator.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr int suggestionSymbolWidth = 24;

/// A box without or with a tinted background: a title2 symbol and two lines of text.
QWidget* benchmarksRequiredBox() {
    return makeNoticeRow({QStringLiteral("chart.bar.doc.horizontal"), Palette::textMuted(),
                          QStringLiteral("Benchmarks Required"), Palette::textSecondary(),
                          QStringLiteral("Suggestions will appear once community benchmarks are available."),
                          Palette::textMuted()});
}

QWidget* doingGreatBox() {
    return makeNoticeRow({QStringLiteral("checkmark.circle.fill"), Palette::green(),
                          QStringLiteral("You're Doing Great!"), Palette::textPrimary(),
                          QStringLiteral("Your metrics are solid across the board. Keep up the consistent work!"),
                          Palette::textSecondary()},
                         Palette::withOpacity(Palette::green(), 0.05));
}

QWidget* suggestionRow(const ImprovementSuggestion& item, bool isStrength) {
    const QColor accent = ImprovementSuggestionsCard::accentColor(item, isStrength);
    auto* row = new RoundedPanel(RoundedPanel::box(Palette::withOpacity(accent, 0.05), 10, Qt::Horizontal, 12));
    auto* symbol = makeSymbol(fromCore(item.iconName), TextStyle::title3, accent);
    symbol->setFixedWidth(suggestionSymbolWidth);
    row->contentLayout()->addWidget(symbol, 0, Qt::AlignTop);
    auto* texts = makeColumn(4);
    auto* titleLine = makeRow(defaultSpacing);
    titleLine->addWidget(
        makeLabel(fromCore(item.title), TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    if (const auto badge = ImprovementSuggestionsCard::badgeText(item)) {
        titleLine->addWidget(new CapsuleBadge(*badge, accent));
    }
    titleLine->addStretch(1);
    texts->addLayout(titleLine);
    auto* description = makeLabel(fromCore(item.description), TextStyle::caption, Palette::textSecondary());
    description->setWordWrap(true);
    texts->addWidget(description);
    texts->addWidget(makeLabel(fromCore(platform::rawValue(item.metric)), TextStyle::caption2, Palette::textMuted()));
    row->contentLayout()->addLayout(texts, 1);
    return row;
}

} // namespace

ImprovementSuggestionsCard::ImprovementSuggestionsCard(std::optional<UserPercentiles> percentiles, QWidget* parent)
    : RoundedPanel(card(12), parent), percentiles_(std::move(percentiles)), chevron_(new ChevronButton(true)),
      body_(new ExpandableBody(true)) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeSymbol(QStringLiteral("lightbulb.fill"), TextStyle::body, Palette::amber()));
    header->addWidget(
        makeLabel(QStringLiteral("Improvement Suggestions"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    header->addWidget(chevron_);
    contentLayout()->addLayout(header);
    auto* bodyLayout = makeColumn(12);
    body_->setLayout(bodyLayout);
    contentLayout()->addWidget(body_);
    connect(chevron_, &QAbstractButton::clicked, this, [this] { setExpanded(!isExpanded()); });
    rebuildContent();
}

void ImprovementSuggestionsCard::setPercentiles(std::optional<UserPercentiles> percentiles) {
    percentiles_ = std::move(percentiles);
    rebuildContent();
}

bool ImprovementSuggestionsCard::isExpanded() const { return body_->isExpanded(); }

void ImprovementSuggestionsCard::setExpanded(bool expanded) {
    chevron_->setExpanded(expanded);
    if (expanded) {
        body_->setExpanded(true);
        rebuildContent();
    } else {
        body_->setExpanded(false);
    }
}

ImprovementSuggestionsCard::Content
ImprovementSuggestionsCard::content(const std::optional<UserPercentiles>& percentiles) {
    if (!percentiles) {
        return Content::benchmarksRequired;
    }
    const bool focus = !ImprovementSuggestionGenerator::generate(*percentiles).empty();
    const bool strengths = !ImprovementSuggestionGenerator::generateStrengths(*percentiles).empty();
    if (focus) {
        return strengths ? Content::focusAreasAndStrengths : Content::focusAreas;
    }
    return strengths ? Content::strengths : Content::doingGreat;
}

QColor ImprovementSuggestionsCard::accentColor(const ImprovementSuggestion& item, bool isStrength) {
    if (isStrength) {
        return Palette::green();
    }
    switch (item.priority) {
    case ImprovementSuggestion::Priority::high: return Palette::amber();
    case ImprovementSuggestion::Priority::medium: return Palette::blue();
    case ImprovementSuggestion::Priority::low: break;
    }
    return Palette::textSecondary();
}

std::optional<QString> ImprovementSuggestionsCard::badgeText(const ImprovementSuggestion& item) {
    if (!item.currentPercentile) {
        return std::nullopt;
    }
    return fromCore(UserPercentiles::formatPercentile(*item.currentPercentile)) + QStringLiteral(" %ile");
}

void ImprovementSuggestionsCard::rebuildContent() {
    QLayout* layout = body_->layout();
    clearLayout(layout);
    if (!isExpanded()) {
        return;
    }
    switch (content(percentiles_)) {
    case Content::benchmarksRequired: layout->addWidget(benchmarksRequiredBox()); return;
    case Content::doingGreat: layout->addWidget(doingGreatBox()); return;
    case Content::focusAreas:
    case Content::focusAreasAndStrengths:
    case Content::strengths: break;
    }
    const auto focusAreas = ImprovementSuggestionGenerator::generate(*percentiles_);
    const auto strengths = ImprovementSuggestionGenerator::generateStrengths(*percentiles_);
    if (!focusAreas.empty()) {
        addSection(QStringLiteral("Focus Areas"), focusAreas, false);
    }
    if (!focusAreas.empty() && !strengths.empty()) {
        layout->addWidget(new Divider);
    }
    if (!strengths.empty()) {
        addSection(QStringLiteral("Your Strengths"), strengths, true);
    }
}

void ImprovementSuggestionsCard::addSection(const QString& title, const std::vector<ImprovementSuggestion>& items,
                                            bool isStrength) {
    auto* section = makeColumn(8);
    section->addWidget(makeLabel(title.toUpper(), TextStyle::caption, Palette::textMuted()));
    for (const ImprovementSuggestion& item : items) {
        section->addWidget(suggestionRow(item, isStrength));
    }
    body_->layout()->addWidget(wrap(section));
}

} // namespace norvane::app
