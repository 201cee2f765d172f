#include "Norvane/components/text/ElidedLabel.h"

#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace norvane::app {

ElidedLabel::ElidedLabel(const QFont& font, const QColor& color, int maximumLines, QWidget* parent)
    : QWidget(parent), color_(color), maximumLines_(std::max(maximumLines, 1)) {
    setFont(font);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    updateGeometry();
    update();
}

QStringList ElidedLabel::linesFor(int width) const {
    QStringList lines;
    if (text_.isEmpty() || width <= 0) return lines;
    const QString flat = maximumLines_ == 1 ? QString(text_).replace('\n', ' ') : text_;
    QTextLayout layout(flat, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() + 1 == maximumLines_) {
            // The last line takes the rest of the text, cut to the width.
            const QString rest = flat.mid(line.textStart()).replace('\n', ' ');
            lines << fontMetrics().elidedText(rest, Qt::ElideRight, width);
            break;
        }
        lines << flat.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

QStringList ElidedLabel::shownLines() const { return linesFor(width()); }

int ElidedLabel::heightForWidth(int width) const {
    const auto count = std::max<qsizetype>(linesFor(width).size(), 1);
    return int(count) * fontMetrics().lineSpacing();
}

QSize ElidedLabel::sizeHint() const {
    // Rounded up: at a width cut to whole pixels, the text would break onto a second line.
    return {int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text_))), fontMetrics().lineSpacing()};
}

QSize ElidedLabel::minimumSizeHint() const { return {0, fontMetrics().lineSpacing()}; }

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(color_);
    painter.setFont(font());
    const int lineHeight = fontMetrics().lineSpacing();
    int top = 0;
    for (const QString& line : shownLines()) {
        painter.drawText(QRect(0, top, width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        top += lineHeight;
    }
}

} // namespace norvane::app
