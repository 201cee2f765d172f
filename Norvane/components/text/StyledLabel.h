#pragma once

#include <QColor>
#include <QLabel>

namespace norvane::app {

/// Plain text in one font and one colour; the colour can be read back by tests.
class StyledLabel : public QLabel {
    Q_OBJECT
public:
    StyledLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

    const QColor& color() const { return color_; }
    void setColor(const QColor& color);

private:
    QColor color_;
};

} // namespace norvane::app
