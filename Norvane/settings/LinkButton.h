#pragma once

#include <QAbstractButton>

#include "Norvane/components/theme/Typography.h"

namespace norvane::app {

/// A button that reads like a link: text in the accent blue (or another colour), led by an optional
/// registry symbol, with nothing drawn around it.
class LinkButton : public QAbstractButton {
    Q_OBJECT
public:
    LinkButton(const QString& text, const QString& symbol, TextStyle style, const QColor& color = linkColor(),
               QWidget* parent = nullptr);

    static QColor linkColor();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace norvane::app
