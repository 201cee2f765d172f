#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>

namespace norvane::app {

/// The one map from the symbol names the views use ("flame.fill", "chart.xyaxis.line", ...) to
/// glyphs of the Material Design Icons font that Debian ships (a symbol the icon font lacks maps
/// to a character of a text font). When the font file is missing, each symbol falls back to a
/// plain-text stand-in drawn with the ordinary font.
class SymbolRegistry {
public:
    /// Where the icon font is installed.
    static QString fontPath();
    /// Loads the icon font once (needs a running QGuiApplication); false when it is unavailable.
    static bool loadFont();
    static bool isFontLoaded();

    static bool contains(const QString& name);
    /// The text that draws `name`: its glyph when the icon font is loaded, else the fallback.
    static QString text(const QString& name);
    /// The font to draw `text(name)` with, at `pixelSize`.
    static QFont font(int pixelSize);
    /// `name` drawn in `color` as an icon `pixelSize` pixels square, sharp on screens of twice the
    /// density: for buttons and menu items.
    static QIcon icon(const QString& name, int pixelSize, const QColor& color);
    /// The plain-text stand-in of `name` ("?" for a name the registry does not know).
    static QString fallbackText(const QString& name);
};

} // namespace norvane::app
