#include "Norvane/components/text/EmojiText.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace norvane::app {

namespace {

struct EmojiKey {
    QString emoji;
    int pixelSize;
    int scale;
    friend bool operator==(const EmojiKey&, const EmojiKey&) = default;
};

size_t qHash(const EmojiKey& key, size_t seed = 0) { return qHashMulti(seed, key.emoji, key.pixelSize, key.scale); }

QImage renderEmoji(const EmojiKey& key) {
    const QFont font = Typography::emojiFont(key.pixelSize);
    const QFontMetricsF metrics(font);
    const QSizeF size(std::ceil(metrics.horizontalAdvance(key.emoji)), std::ceil(metrics.height()));
    QImage image((size * key.scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(key.scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(font);
    // The glyphs carry their own colours; text is drawn only with a pen.
    painter.setPen(Palette::textPrimary());
    painter.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, key.emoji);
    return image;
}

const QImage& emojiImage(const EmojiKey& key) {
    // Drawn on the GUI thread only.
    static QHash<EmojiKey, QImage> images;
    auto found = images.find(key);
    if (found == images.end()) {
        found = images.insert(key, renderEmoji(key));
    }
    return *found;
}

} // namespace

void EmojiText::draw(QPainter& painter, const QRectF& rect, const QString& emoji, int pixelSize) {
    const int scale = static_cast<int>(std::ceil(painter.device()->devicePixelRatioF()));
    const QImage& image = emojiImage({emoji, pixelSize, std::max(scale, 1)});
    const QSizeF size = image.deviceIndependentSize();
    const QPointF topLeft(rect.center().x() - size.width() / 2.0, rect.center().y() - size.height() / 2.0);
    painter.drawImage(QRectF(topLeft, size), image);
}

} // namespace norvane::app
