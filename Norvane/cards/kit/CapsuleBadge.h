#pragma once

#include "Norvane/components/theme/Typography.h"

#include <QColor>
#include <QWidget>

namespace norvane::app {

/// A compact badge: its text in its colour on a capsule of that colour at opacity 0.15.
class CapsuleBadge : public QWidget {
    Q_OBJECT
public:
    CapsuleBadge(QString text, QColor color, TextStyle style = TextStyle::caption2, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    const QColor& color() const { return color_; }
    void setText(const QString& text, const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_;
};

} // namespace norvane::app
