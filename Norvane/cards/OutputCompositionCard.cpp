#include "Norvane/cards/OutputCompositionCard.h"

#include "Norvane/cards/CompositionBar.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

constexpr int compositionHeaderItems = 1;

QWidget* compositionEmptyState() {
    auto* column = makeColumn(8);
    column->setContentsMargins(16, 16, 16, 16);
    column->addWidget(makeSymbol(QStringLiteral("chart.bar.doc.horizontal"), TextStyle::title2, Palette::textMuted()),
                      0, Qt::AlignHCenter);
    column->addWidget(
        makeLabel(QStringLiteral("No activity in this period"), TextStyle::subheadline, Palette::textSecondary()), 0,
        Qt::AlignHCenter);
    return wrap(column);
}

QWidget* legendItem(const OutputCompositionCard::Category& category, const CategoryMetrics& metrics) {
    auto* item = makeColumn(4);
    auto* key = makeRow(4);
    key->addWidget(new ColorDot(8, category.color));
    key->addWidget(makeLabel(category.label, TextStyle::caption, Palette::textSecondary()));
    item->addLayout(key);
    item->setAlignment(key, Qt::AlignHCenter);
    item->addWidget(
        makeLabel(formatWholePercent(metrics.percent), TextStyle::subheadline, Palette::textPrimary(), QFont::DemiBold),
        0, Qt::AlignHCenter);
    item->addWidget(makeLabel(OutputCompositionCard::formatLines(metrics.insertions + metrics.deletions),
                              TextStyle::caption2, Palette::textMuted()),
                    0, Qt::AlignHCenter);
    return wrap(item);
}

} // namespace

OutputCompositionCard::OutputCompositionCard(const OutputComposition& composition, int selectedDays,
                                             const QList<int>& dayOptions, QWidget* parent)
    : RoundedPanel(card(12), parent), composition_(composition), selectedDays_(selectedDays),
      picker_(new DaysPicker(selectedDays, dayOptions)) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeLabel(QStringLiteral("Output Composition"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    header->addWidget(picker_);
    contentLayout()->addLayout(header);
    connect(picker_, &DaysPicker::selectionChanged, this, [this](int days) {
        // The picker moved itself; it goes back until the owner passes the new window in.
        picker_->setSelection(selectedDays_);
        emit daysChanged(days);
    });
    setComposition(composition);
}

void OutputCompositionCard::setSelectedDays(int selectedDays) {
    selectedDays_ = selectedDays;
    picker_->setSelection(selectedDays);
}

void OutputCompositionCard::setComposition(const OutputComposition& composition) {
    composition_ = composition;
    clearLayout(contentLayout(), compositionHeaderItems);
    if (composition.totalLinesTouched() == 0) {
        contentLayout()->addWidget(compositionEmptyState());
        return;
    }
    contentLayout()->addWidget(new CompositionBar(composition));
    contentLayout()->addWidget(makeLegend());
    contentLayout()->addWidget(new Divider);
    contentLayout()->addLayout(makePhaseRow());
}

QWidget* OutputCompositionCard::makeLegend() const {
    auto* legend = makeRow(16);
    for (const Category& category : categories()) {
        legend->addWidget(legendItem(category, composition_.*category.metrics), 1);
    }
    return wrap(legend);
}

QLayout* OutputCompositionCard::makePhaseRow() const {
    const PhaseLook look = phaseLook(composition_.inferredPhase());
    auto* row = makeRow(8);
    row->addWidget(makeSymbol(look.symbol, TextStyle::body, look.color));
    auto* signal = makeColumn(2);
    signal->addWidget(makeLabel(QStringLiteral("Phase Signal: ") + look.name, TextStyle::caption,
                                Palette::textPrimary(), QFont::Medium));
    signal->addWidget(makeLabel(look.sentence, TextStyle::caption2, Palette::textSecondary()));
    row->addLayout(signal, 1);
    return row;
}

const std::array<OutputCompositionCard::Category, 4>& OutputCompositionCard::categories() {
    static const std::array<Category, 4> table{{
        {QStringLiteral("Code"), Palette::blue(), &OutputComposition::code},
        {QStringLiteral("Docs"), Palette::purple(), &OutputComposition::docs},
        {QStringLiteral("Tests"), Palette::green(), &OutputComposition::tests},
        {QStringLiteral("Config"), Palette::amber(), &OutputComposition::config},
    }};
    return table;
}

OutputCompositionCard::PhaseLook OutputCompositionCard::phaseLook(ProjectPhase phase) {
    QColor color = Palette::amber();
    switch (phase) {
    case ProjectPhase::planning: color = Palette::purple(); break;
    case ProjectPhase::activeDevelopment: color = Palette::blue(); break;
    case ProjectPhase::stabilization: color = Palette::green(); break;
    case ProjectPhase::maintenance: break;
    }
    return {fromCore(platform::rawValue(phase)), fromCore(iconName(phase)), color, fromCore(description(phase))};
}

QString OutputCompositionCard::formatLines(std::int64_t lines) {
    return lines >= 1000 ? formatCompactCount(lines) : formatCompactCount(lines) + QStringLiteral(" lines");
}

} // namespace norvane::app
