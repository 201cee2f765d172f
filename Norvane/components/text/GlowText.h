#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace norvane::app {

/// A single line of large text with a soft glow around it: three blurred copies in the glow
/// colour (opacity 0.8 radius 4, 0.5 radius 8, 0.3 radius 12) under the text. A clear glow
/// colour draws the text alone.
class GlowText : public QWidget {
    Q_OBJECT
public:
    GlowText(const QFont& font, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    const QColor& color() const { return color_; }
    const QColor& glowColor() const { return glowColor_; }
    void setText(const QString& text, const QColor& color, const QColor& glowColor);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    /// Blurs the alpha channel of a premultiplied image in place: three box passes of `radius`.
    static void blur(QImage& image, int radius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage renderGlow() const;

    QString text_;
    QColor color_;
    QColor glowColor_;
    QImage glow_;
};

} // namespace norvane::app
