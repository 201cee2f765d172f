#include "Norvane/onboarding/StepLayout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app::StepLayout {
namespace {

constexpr int featureSymbolWidth = 20;

SymbolLabel* makeFramedSymbol(const QString& name, TextStyle style, const QColor& color, int width) {
    auto* symbol = makeSymbol(name, style, color);
    symbol->setFixedWidth(width);
    return symbol;
}

} // namespace

QVBoxLayout* makeStepColumn(QWidget& step, int spacing) {
    auto* column = makeColumn(spacing);
    const int padding = RoundedPanel::defaultPadding;
    column->setContentsMargins(padding, padding, padding, padding);
    step.setLayout(column);
    return column;
}

SymbolLabel* makeLargeSymbol(const QString& name, const QColor& color, int pixelSize) {
    return new SymbolLabel(name, pixelSize, color);
}

StyledLabel* makeCentredText(const QString& text, TextStyle style, const QColor& color,
                             std::optional<QFont::Weight> weight) {
    auto* label = makeLabel(text, style, color, weight);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

QWidget* padded(QBoxLayout* layout, int horizontalPadding) {
    layout->setContentsMargins(horizontalPadding, 0, horizontalPadding, 0);
    auto* holder = wrap(layout);
    holder->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    return holder;
}

QWidget* makeFeatureRow(const QString& symbol, const QString& text) {
    auto* row = makeRow(12);
    row->addWidget(makeFramedSymbol(symbol, TextStyle::title3, Palette::textSecondary(), featureSymbolWidth));
    row->addWidget(makeLabel(text, TextStyle::subheadline, Palette::textSecondary()));
    row->addStretch(1);
    return wrap(row);
}

QWidget* makeDetailRow(const QString& symbol, const QString& title, const QString& description,
                       const DetailLook& look) {
    auto* texts = makeColumn(2);
    auto* titleLabel = makeLabel(title, TextStyle::body, Palette::textPrimary());
    titleLabel->setFont(look.titleFont);
    texts->addWidget(titleLabel);
    texts->addWidget(makeLabel(description, look.descriptionStyle, Palette::textSecondary()));
    auto* row = makeRow(look.spacing);
    row->addWidget(makeFramedSymbol(symbol, look.symbolStyle, Palette::blue(), look.symbolWidth));
    row->addLayout(texts);
    row->addStretch(1);
    return wrap(row);
}

RoundedPanel* makeStatusBox(const QString& text, ElidedLabel** label) {
    auto* box = new RoundedPanel(RoundedPanel::box(QBrush(Palette::withOpacity(Palette::green(), 0.1)),
                                                   RoundedPanel::defaultPadding, Qt::Horizontal, defaultSpacing));
    box->contentLayout()->addWidget(
        makeSymbol(QStringLiteral("checkmark.circle.fill"), TextStyle::subheadline, Palette::green()));
    auto* textLabel =
        new ElidedLabel(Typography::font(TextStyle::subheadline), Palette::textPrimary(), ElidedLabel::everyLine);
    textLabel->setText(text);
    box->contentLayout()->addWidget(textLabel);
    if (label) *label = textLabel;
    // As high as its text needs at the width it is given.
    box->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    return box;
}

QFont monospaced(TextStyle style, QFont::Weight weight) {
    QFont font = Typography::font(style, weight);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace norvane::app::StepLayout
