#pragma once

#include <QString>

class QPainter;
class QRectF;

namespace norvane::app {

/// Draws emoji in their own colours from the colour emoji font. Each emoji is drawn into an image
/// once per size and screen scale and kept: the font's glyphs are compressed bitmaps that are
/// costly to unpack again for every card.
class EmojiText {
public:
    /// `emoji` at `pixelSize`, centred in `rect`, at the painter's opacity.
    static void draw(QPainter& painter, const QRectF& rect, const QString& emoji, int pixelSize);
};

} // namespace norvane::app
