#include "Norvane/onboarding/PlainButton.h"

#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

PlainButton::PlainButton(const QString& text, const QColor& color, TextStyle style, QWidget* parent)
    : QPushButton(text, parent) {
    setFont(Typography::font(style));
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
    setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; color: %1; padding: 4px 2px; }"
                                 "QPushButton:hover { color: %2; }"
                                 "QPushButton:disabled { color: %3; }")
                      .arg(color.name(), Palette::textPrimary().name(), Palette::textMuted().name()));
}

} // namespace norvane::app
