#include "Norvane/components/text/GlowText.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace norvane::app {

namespace {

// Room around the text for the widest glow.
constexpr int margin = 10;

struct GlowLayer {
    double opacity;
    int radius;
};

constexpr GlowLayer layers[] = {{0.8, 4}, {0.5, 8}, {0.3, 12}};

void boxPass(std::vector<int>& alpha, int width, int height, int radius, bool horizontal) {
    const int length = horizontal ? width : height;
    const int lines = horizontal ? height : width;
    std::vector<int> line(static_cast<std::size_t>(length));
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> int& {
            return alpha[static_cast<std::size_t>(horizontal ? l * width + i : i * width + l)];
        };
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = at(i);
        }
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += (i >= 0 && i < length) ? line[static_cast<std::size_t>(i)] : 0;
        }
        for (int i = 0; i < length; ++i) {
            at(i) = sum / window;
            const int leaving = i - radius;
            const int entering = i + radius + 1;
            sum -= leaving >= 0 ? line[static_cast<std::size_t>(leaving)] : 0;
            sum += entering < length ? line[static_cast<std::size_t>(entering)] : 0;
        }
    }
}

} // namespace

GlowText::GlowText(const QFont& font, QWidget* parent) : QWidget(parent) {
    setFont(font);
    setAttribute(Qt::WA_TranslucentBackground);
}

void GlowText::setText(const QString& text, const QColor& color, const QColor& glowColor) {
    text_ = text;
    color_ = color;
    glowColor_ = glowColor;
    glow_ = renderGlow();
    updateGeometry();
    update();
}

QSize GlowText::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 2 * margin, metrics.height() + 2 * margin};
}

void GlowText::blur(QImage& image, int radius) {
    const int width = image.width();
    const int height = image.height();
    std::vector<int> alpha(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            alpha[static_cast<std::size_t>(y * width + x)] = qAlpha(image.pixel(x, y));
        }
    }
    const int box = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(alpha, width, height, box, true);
        boxPass(alpha, width, height, box, false);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int a = alpha[static_cast<std::size_t>(y * width + x)];
            image.setPixel(x, y, qRgba(a, a, a, a));
        }
    }
}

QImage GlowText::renderGlow() const {
    if (glowColor_.alpha() == 0 || text_.isEmpty()) {
        return {};
    }
    const QSize size = sizeHint();
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setFont(font());
        painter.setPen(Qt::white);
        painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text_);
    }
    QImage glow(size, QImage::Format_ARGB32_Premultiplied);
    glow.fill(Qt::transparent);
    QPainter painter(&glow);
    for (const GlowLayer& layer : layers) {
        QImage blurred = mask;
        blur(blurred, layer.radius);
        QPainter tint(&blurred);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(blurred.rect(), glowColor_);
        tint.end();
        painter.setOpacity(layer.opacity);
        painter.drawImage(0, 0, blurred);
    }
    return glow;
}

void GlowText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRect area((width() - sizeHint().width()) / 2, (height() - sizeHint().height()) / 2, sizeHint().width(),
                     sizeHint().height());
    if (!glow_.isNull()) {
        painter.drawImage(area.topLeft(), glow_);
    }
    painter.setPen(color_);
    painter.drawText(area, Qt::AlignCenter, text_);
}

} // namespace norvane::app
