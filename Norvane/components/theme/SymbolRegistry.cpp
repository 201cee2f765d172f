#include "Norvane/components/theme/SymbolRegistry.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QStringList>

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace norvane::app {

namespace {

/// The icon font's glyphs of a symbol: one, or two side by side where the font has no glyph of its
/// own for it.
struct Glyphs {
    constexpr Glyphs(char32_t only) : codePoints{only, 0} {}
    constexpr Glyphs(char32_t first, char32_t second) : codePoints{first, second} {}

    std::array<char32_t, 2> codePoints;
};

struct SymbolEntry {
    std::string_view name;
    Glyphs glyphs;
    std::string_view fallback;
};

// Sorted by name; the comment names the glyph in the icon font.
constexpr std::array symbolTable = std::to_array<SymbolEntry>({
    {"arrow.clockwise", 0xF450, "↻"},                          // refresh
    {"arrow.counterclockwise", 0xF54C, "↺"},                   // undo
    {"arrow.down", 0xF045, "↓"},                               // arrow-down
    {"arrow.down.right", 0xF043, "↘"},                         // arrow-bottom-right
    {"arrow.right", 0xF054, "→"},                              // arrow-right
    {"arrow.triangle.2.circlepath", 0xF06A, "⟳"},              // autorenew
    {"arrow.up", 0xF05D, "↑"},                                 // arrow-up
    {"arrow.up.doc", 0xF21D, "⇪"},                             // file-export
    {"arrow.up.right", 0xF05C, "↗"},                           // arrow-top-right
    {"bolt", 0xF241, "ϟ"},                                     // flash
    {"bolt.fill", 0xF241, "ϟ"},                                // flash
    {"brain.head.profile", 0xF64A, "◉"},                       // human-greeting
    {"building.2", 0xF1D7, "▥"},                               // domain
    {"building.columns", 0xF070, "▥"},                         // bank
    {"building.columns.fill", 0xF070, "▥"},                    // bank
    {"calendar", 0xF0ED, "▦"},                                 // calendar
    {"calendar.badge.clock", 0xF0F0, "▦"},                     // calendar-clock
    {"chart.bar", 0xF128, "▮"},                                // chart-bar
    {"chart.bar.doc.horizontal", 0xF215, "▤"},                 // file-chart
    {"chart.bar.doc.horizontal.fill", 0xF215, "▤"},            // file-chart
    {"chart.bar.xaxis", 0xF128, "▮"},                          // chart-bar
    {"chart.line.uptrend.xyaxis", 0xF12A, "↗"},                // chart-line
    {"chart.pie", 0xF12B, "◔"},                                // chart-pie
    {"chart.xyaxis.line", 0xF127, "∿"},                        // chart-areaspline
    {"checkmark.circle.fill", 0xF5E0, "✓"},                    // check-circle
    {"checkmark.seal.fill", 0xF47A, "✓"},                      // seal
    {"checkmark.shield", 0xF499, "✓"},                         // shield-outline
    {"chevron.down", 0xF140, "⌄"},                             // chevron-down
    {"chevron.left.forwardslash.chevron.right", 0xF174, "‹›"}, // code-tags
    {"chevron.right", 0xF142, "›"},                            // chevron-right
    {"chevron.up", 0xF143, "⌃"},                               // chevron-up
    {"circle.grid.3x3", 0xF03B, "⁙"},                          // apps
    {"clock", 0xF150, "◷"},                                    // clock
    {"clock.arrow.2.circlepath", 0xF2DA, "◷"},                 // history
    {"clock.arrow.circlepath", 0xF2DA, "◷"},                   // history
    {"clock.fill", 0xF150, "◷"},                               // clock
    {"cube", 0xF1A7, "◆"},                                     // cube-outline
    {"cube.box", 0xF3D6, "◆"},                                 // package-variant
    {"cursorarrow.rays", 0xF1B4, "➤"},                         // cursor-default
    {"doc.on.doc", 0xF18F, "⧉"},                               // content-copy
    {"doc.text", 0xF219, "▤"},                                 // file-document
    {"dollarsign.circle", 0xF1B3, "$"},                        // currency-usd
    {"dollarsign.circle.fill", 0xF1B3, "$"},                   // currency-usd
    {"ellipsis.circle", 0xF1D8, "…"},                          // dots-horizontal
    {"exclamationmark.circle", 0xF028, "!"},                   // alert-circle
    {"exclamationmark.triangle", 0xF02A, "⚠"},                 // alert-outline
    {"exclamationmark.triangle.fill", 0xF026, "⚠"},            // alert
    {"flag", 0xF23D, "⚐"},                                     // flag-outline
    {"flag.checkered", 0xF23C, "⚑"},                           // flag-checkered
    {"flame", 0xF238, "♨"},                                    // fire
    {"flame.fill", 0xF238, "♨"},                               // fire
    {"folder", 0xF256, "▭"},                                   // folder-outline
    {"folder.badge.gearshape", 0xF24B, "▭"},                   // folder
    {"folder.badge.plus", 0xF257, "▭"},                        // folder-plus
    {"folder.fill", 0xF24B, "▭"},                              // folder
    {"function", 0xF295, "ƒ"},                                 // function
    {"gauge.with.dots.needle.0percent", 0xF29A, "◔"},          // gauge
    {"gauge.with.dots.needle.100percent", 0xF29A, "◕"},        // gauge
    {"gauge.with.needle", 0xF29A, "◑"},                        // gauge
    {"gear", 0xF493, "⚙"},                                     // settings
    {"gearshape.2", 0xF493, "⚙"},                              // settings
    {"hammer", 0xF29B, "⚒"},                                   // gavel
    {"hammer.fill", 0xF29B, "⚒"},                              // gavel
    {"hand.raised", 0xF2C7, "✋"},                              // hand-pointing-right
    {"info.circle", 0xF2FD, "ⓘ"},                              // information-outline
    {"internaldrive", 0xF2CA, "▭"},                            // harddisk
    {"leaf", 0xF32A, "❦"},                                     // leaf
    {"lightbulb", 0xF336, "✦"},                                // lightbulb-outline
    {"lightbulb.fill", 0xF335, "✦"},                           // lightbulb
    {"lock.fill", 0xF33E, "🔒"},                                // lock
    {"lock.shield", 0xF499, "⛨"},                              // shield-outline
    {"lock.shield.fill", 0xF498, "⛨"},                         // shield
    {"minus.circle.fill", 0xF376, "−"},                        // minus-circle
    {"moon.fill", 0xF594, "☾"},                                // weather-night
    {"moon.stars", 0xF594, "☾"},                               // weather-night
    {"percent", 0xF3F0, "%"},                                  // percent
    {"person.2.fill", 0xF00E, "☺"},                            // account-multiple
    {"person.3", 0xF00F, "☺"},                                 // account-multiple-outline
    {"person.3.fill", {0xF00E, 0xF004}, "☺☺☺"},                // account-multiple, account: three people
    {"person.badge.plus", 0xF014, "☺"},                        // account-plus
    {"plus", 0xF415, "+"},                                     // plus
    {"plus.circle", 0xF419, "+"},                              // plus-circle-outline
    {"plus.circle.fill", 0xF417, "+"},                         // plus-circle
    {"questionmark.circle", 0xF625, "?"},                      // help-circle-outline
    {"rectangle.3.group", 0xF56E, "▦"},                        // view-dashboard
    {"rectangle.split.3x1", 0xF56D, "▥"},                      // view-column
    {"scale.3d", 0xF5D1, "⚖"},                                 // scale-balance
    {"scope", 0xF1A3, "◎"},                                    // crosshairs
    {"snowflake", 0x2744, "❄"},                                // not in the icon font: the text font's snowflake
    {"snowflake.circle", 0xF598, "❄"},                         // weather-snowy
    {"sparkle", 0xF4D2, "✦"},                                  // star-outline
    {"square.and.arrow.down", 0xF1DA, "⤓"},                    // download
    {"square.and.arrow.up", 0xF552, "⤒"},                      // upload
    {"square.and.arrow.up.on.square", 0xF207, "⤒"},            // export
    {"square.stack.3d.up", 0xF328, "≋"},                       // layers
    {"star.fill", 0xF4CE, "★"},                                // star
    {"sun.horizon.fill", 0xF59A, "☀"},                         // weather-sunset
    {"target", 0xF4FE, "◎"},                                   // target
    {"terminal", 0xF18D, ">_"},                                // console
    {"terminal.fill", 0xF18D, ">_"},                           // console
    {"text.alignleft", 0xF262, "≡"},                           // format-align-left
    {"thermometer.medium", 0xF50F, "🌡"},                    // thermometer
    {"trash", 0xF1C0, "✕"},                                    // delete
    {"trophy", 0xF53A, "🏆"},                                   // trophy-outline
    {"trophy.fill", 0xF538, "🏆"},                              // trophy
    {"wand.and.stars", 0xF068, "✧"},                           // auto-fix
    {"waveform.path.ecg", 0xF430, "∿"},                        // pulse
    {"wrench.and.screwdriver", 0xF5B7, "✎"},                   // wrench
    {"wrench.and.screwdriver.fill", 0xF5B7, "✎"},              // wrench
    {"wrench.fill", 0xF5B7, "✎"},                              // wrench
    {"xmark.circle", 0xF15A, "✕"},                             // close-circle-outline
    {"xmark.circle.fill", 0xF159, "✕"},                        // close-circle
    {"xmark.shield", 0xF499, "✕"},                             // shield-outline
});

// The lookup halves the table: a row out of order would leave its symbol, or another, unfound.
static_assert(std::ranges::adjacent_find(symbolTable, std::ranges::greater_equal(), &SymbolEntry::name) ==
                  symbolTable.end(),
              "the symbol table is sorted by name, each name once");

const SymbolEntry* findEntry(const QString& name) {
    const QByteArray key = name.toUtf8();
    const std::string_view wanted(key.constData(), static_cast<std::size_t>(key.size()));
    const auto found =
        std::lower_bound(symbolTable.begin(), symbolTable.end(), wanted,
                         [](const SymbolEntry& entry, std::string_view value) { return entry.name < value; });
    return found != symbolTable.end() && found->name == wanted ? &*found : nullptr;
}

struct LoadedFont {
    bool attempted = false;
    QString family;
};

LoadedFont& loadedFont() {
    static LoadedFont font;
    return font;
}

} // namespace

QString SymbolRegistry::fontPath() {
    return QStringLiteral("/usr/share/fonts/truetype/materialdesignicons-webfont/materialdesignicons-webfont.ttf");
}

bool SymbolRegistry::loadFont() {
    LoadedFont& font = loadedFont();
    if (font.attempted || QGuiApplication::instance() == nullptr) {
        return !font.family.isEmpty();
    }
    font.attempted = true;
    const int id = QFontDatabase::addApplicationFont(fontPath());
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (!families.isEmpty()) {
        font.family = families.front();
    }
    return !font.family.isEmpty();
}

bool SymbolRegistry::isFontLoaded() { return loadFont(); }

bool SymbolRegistry::contains(const QString& name) { return findEntry(name) != nullptr; }

QString SymbolRegistry::text(const QString& name) {
    const SymbolEntry* entry = findEntry(name);
    if (entry == nullptr || !isFontLoaded()) {
        return fallbackText(name);
    }
    const auto& codePoints = entry->glyphs.codePoints;
    return QString::fromUcs4(codePoints.data(), codePoints[1] == 0 ? 1 : 2);
}

QIcon SymbolRegistry::icon(const QString& name, int pixelSize, const QColor& color) {
    QPixmap pixmap(pixelSize * 2, pixelSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font(pixelSize));
    painter.setPen(color);
    painter.drawText(QRect(0, 0, pixelSize, pixelSize), Qt::AlignCenter, text(name));
    return QIcon(pixmap);
}

QFont SymbolRegistry::font(int pixelSize) {
    QFont result;
    if (isFontLoaded()) {
        // A symbol the icon font lacks is drawn from a text font with a monochrome glyph, so it
        // takes the pen's colour like the icons do.
        result.setFamilies({loadedFont().family, QStringLiteral("DejaVu Sans")});
    }
    result.setPixelSize(pixelSize);
    return result;
}

QString SymbolRegistry::fallbackText(const QString& name) {
    const SymbolEntry* entry = findEntry(name);
    if (entry == nullptr) {
        return QStringLiteral("?");
    }
    return QString::fromUtf8(entry->fallback.data(), static_cast<qsizetype>(entry->fallback.size()));
}

} // namespace norvane::app
