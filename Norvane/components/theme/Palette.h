#pragma once

#include <QColor>
#include <QLinearGradient>

namespace norvane::app {

/// The one fixed, dark colour set that every view draws with. Each colour is opaque sRGB; views
/// apply their own opacities on top (see `withOpacity`).
class Palette {
public:
    static const QColor& backgroundDeep();
    static const QColor& backgroundBase();
    static const QColor& backgroundRaised();
    static const QColor& cyan();
    static const QColor& blue();
    static const QColor& purple();
    static const QColor& violet();
    static const QColor& green();
    static const QColor& amber();
    static const QColor& red();
    static const QColor& pink();
    static const QColor& textPrimary();
    static const QColor& textSecondary();
    static const QColor& textMuted();

    /// Cyan, blue and purple at 0, 0.5 and 1, running from the top-leading to the bottom-trailing
    /// corner of whatever shape it fills or strokes (object-bounding coordinates).
    static const QLinearGradient& accentGradient();

    /// A gradient from `start` at the leading edge to `end` at the trailing edge of whatever it
    /// fills (object-bounding coordinates).
    static QLinearGradient leadingToTrailing(const QColor& start, const QColor& end);
    /// A gradient from `start` at the top-leading corner to `end` at the bottom-trailing corner.
    static QLinearGradient topLeadingToBottomTrailing(const QColor& start, const QColor& end);

    /// The platform colours that a few views name beside the palette (dark appearance values).
    static const QColor& systemBlue();
    static const QColor& systemPurple();
    static const QColor& systemGreen();
    static const QColor& systemOrange();
    static const QColor& systemCyan();
    static const QColor& systemIndigo();
    static const QColor& systemMint();
    static const QColor& systemGray();
    static const QColor& systemTeal();

    /// `color` with its alpha set to `opacity` (0...1).
    static QColor withOpacity(const QColor& color, double opacity);
    /// The colour `amount` (0...1, clamped) of the way from `from` to `to`, alpha included.
    static QColor blend(const QColor& from, const QColor& to, double amount);
};

} // namespace norvane::app
