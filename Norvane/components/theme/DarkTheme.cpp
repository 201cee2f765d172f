#include "Norvane/components/theme/DarkTheme.h"

#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>
#include <qdrawutil.h>

namespace norvane::app {
namespace {

/// Fusion, without the desktop theme's pictures on dialog buttons ("OK", "Close"), which do not
/// fit the dark look, with buttons that a click does not focus, mnemonics underlined only while
/// Alt is held, and with tooltips edged in a muted line rather than in their text's colour.
class FusionWithPlainButtons : public QProxyStyle {
public:
    FusionWithPlainButtons() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        // Buttons take the focus from the keyboard alone, as the ring marks it: a click that left
        // its button focused would leave Space to press it again, unseen.
        if (hint == SH_Button_FocusPolicy) return Qt::TabFocus;
        // The letters of the menus and buttons show while Alt is held, as on this platform's desktops.
        if (hint == SH_UnderlineShortcut) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelTipLabel) {
            const QBrush fill = option->palette.toolTipBase();
            qDrawPlainRect(painter, option->rect, Palette::textMuted(), 1, &fill);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

QPalette DarkTheme::palette() {
    QPalette result;
    const QColor disabledText = Palette::withOpacity(Palette::textMuted(), 0.6);
    result.setColor(QPalette::Window, Palette::backgroundDeep());
    result.setColor(QPalette::WindowText, Palette::textPrimary());
    result.setColor(QPalette::Base, Palette::backgroundBase());
    result.setColor(QPalette::AlternateBase, Palette::backgroundRaised());
    result.setColor(QPalette::ToolTipBase, Palette::backgroundRaised());
    result.setColor(QPalette::ToolTipText, Palette::textPrimary());
    result.setColor(QPalette::PlaceholderText, Palette::textMuted());
    result.setColor(QPalette::Text, Palette::textPrimary());
    result.setColor(QPalette::Button, Palette::backgroundRaised());
    result.setColor(QPalette::ButtonText, Palette::textPrimary());
    result.setColor(QPalette::BrightText, Palette::red());
    result.setColor(QPalette::Light, Palette::backgroundRaised().lighter(140));
    result.setColor(QPalette::Midlight, Palette::backgroundRaised().lighter(120));
    result.setColor(QPalette::Mid, Palette::backgroundBase());
    result.setColor(QPalette::Dark, Palette::backgroundDeep());
    result.setColor(QPalette::Shadow, Qt::black);
    result.setColor(QPalette::Highlight, Palette::blue());
    result.setColor(QPalette::HighlightedText, Palette::textPrimary());
    result.setColor(QPalette::Link, Palette::cyan());
    result.setColor(QPalette::LinkVisited, Palette::purple());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        result.setColor(QPalette::Disabled, role, disabledText);
    }
    return result;
}

void DarkTheme::apply(QApplication& application) {
    application.setStyle(new FusionWithPlainButtons);
    application.setPalette(palette());
    // Tooltips keep a palette of their own, taken from the desktop's theme.
    QToolTip::setPalette(palette());
    QFont text(QStringLiteral("Inter"));
    text.setPixelSize(Typography::pixelSize(TextStyle::body));
    application.setFont(text);
    SymbolRegistry::loadFont();
    FocusRing::follow(application);
}

} // namespace norvane::app
