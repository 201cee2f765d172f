#pragma once

#include <QFont>

namespace norvane::app {

/// The platform's text styles, by the names the views use.
enum class TextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    body,
    callout,
    subheadline,
    footnote,
    caption,
    caption2
};

/// The one table of text sizes, in pixels, and the fonts made from it. The family is the
/// application's default font (set by the dark theme at start-up).
class Typography {
public:
    static int pixelSize(TextStyle style);
    /// The style's font; `weight` replaces the style's own weight when given.
    static QFont font(TextStyle style);
    static QFont font(TextStyle style, QFont::Weight weight);
    /// A system font of an explicit size and weight.
    static QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
    /// The colour emoji font at `pixelSize`, so that an emoji keeps its own colours.
    static QFont emojiFont(int pixelSize);
    /// Letter spacing in pixels (tracking), added between letters.
    static QFont tracked(QFont font, double spacing);
};

} // namespace norvane::app
