#pragma once

#include <QColor>
#include <QPushButton>

#include "Norvane/components/theme/Typography.h"

namespace norvane::app {

/// A button drawn as its text alone, in one colour (muted while disabled): the wizard's "Back",
/// "Skip Setup", "Disable" and "Opt Out".
class PlainButton : public QPushButton {
    Q_OBJECT
public:
    PlainButton(const QString& text, const QColor& color, TextStyle style = TextStyle::body, QWidget* parent = nullptr);
};

} // namespace norvane::app
