#include "Norvane/sheets/Sheet.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"

namespace norvane::app {

Sheet::Sheet(const QString& title, QWidget* parent) : QWidget(parent), title_(title) { setAutoFillBackground(true); }

void Sheet::setInteractiveDismissDisabled(bool disabled) {
    if (interactiveDismissDisabled_ == disabled) return;
    interactiveDismissDisabled_ = disabled;
    emit interactiveDismissDisabledChanged(disabled);
}

QWidget* Sheet::makeHeader(QToolButton** closeButton, const QColor& background) {
    auto* header = new QWidget(this);
    if (background.isValid()) {
        header->setAutoFillBackground(true);
        QPalette colours = header->palette();
        colours.setColor(QPalette::Window, background);
        header->setPalette(colours);
    }
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(defaultSpacing);
    layout->addWidget(makeLabel(title_, TextStyle::headline, Palette::textPrimary()));
    layout->addStretch(1);
    auto* close = new QToolButton(header);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoRaise(true);
    // Tab reaches it, a click does not take the focus from the field being typed in.
    close->setFocusPolicy(Qt::TabFocus);
    close->setCursor(Qt::PointingHandCursor);
    close->setFont(SymbolRegistry::font(Typography::pixelSize(TextStyle::title3)));
    close->setText(SymbolRegistry::text(QStringLiteral("xmark.circle.fill")));
    close->setStyleSheet(QStringLiteral("QToolButton { color: %1; border: none; } QToolButton:disabled { color: %2; }")
                             .arg(Palette::textSecondary().name(), Palette::textMuted().darker(150).name()));
    connect(close, &QToolButton::clicked, this, &Sheet::dismissRequested);
    layout->addWidget(close);
    if (closeButton) *closeButton = close;
    return header;
}

QPushButton* Sheet::makeCancelButton() {
    auto* cancel = new BorderedButton(QStringLiteral("Cancel"), BorderedButton::Prominence::standard);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &Sheet::dismissRequested);
    return cancel;
}

} // namespace norvane::app
