#include "Norvane/components/text/StyledLabel.h"

namespace norvane::app {

StyledLabel::StyledLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setFont(font);
    setColor(color);
}

void StyledLabel::setColor(const QColor& color) {
    color_ = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    setPalette(palette);
}

} // namespace norvane::app
