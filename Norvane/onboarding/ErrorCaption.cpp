#include "Norvane/onboarding/ErrorCaption.h"

#include <algorithm>
#include <optional>

#include <QHBoxLayout>
#include <QScrollArea>
#include <QTimer>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

ErrorCaption::ErrorCaption(QWidget* parent)
    : QWidget(parent), label_(makeLabel(QString(), TextStyle::caption, Palette::red())) {
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* row = makeRow(4);
    row->addStretch(1);
    row->addWidget(makeSymbol(QStringLiteral("exclamationmark.triangle"), TextStyle::caption, Palette::red()), 0,
                   Qt::AlignTop);
    row->addWidget(label_);
    row->addStretch(1);
    setLayout(row);
    setVisible(false);
}

void ErrorCaption::setMessage(const std::optional<QString>& text) {
    label_->setText(text.value_or(QString()));
    // As wide as the text, so that it stays centred; a long text wraps.
    label_->setFixedWidth(std::min(label_->fontMetrics().horizontalAdvance(label_->text()) + 2, maximumTextWidth));
    setVisible(text.has_value());
    // A step taller than the wizard scrolls: the failure comes into sight once laid out.
    if (text) QTimer::singleShot(0, this, &ErrorCaption::scrollIntoView);
}

void ErrorCaption::scrollIntoView() {
    for (auto* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(ancestor)) {
            scroll->ensureWidgetVisible(this);
            return;
        }
    }
}

QString ErrorCaption::text() const { return label_->text(); }

} // namespace norvane::app
