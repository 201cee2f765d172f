#include "ComponentTestSupport.h"

#include "Norvane/components/DarkTheme.h"
#include "Norvane/components/Palette.h"
#include "Norvane/components/SymbolLabel.h"
#include "Norvane/components/SymbolRegistry.h"

#include <QPalette>

#include <cmath>

namespace norvane::app {
namespace {

using testing::ComponentTest;

struct ColourCase {
    const QColor& (*colour)();
    double red;
    double green;
    double blue;
};

TEST(Palette, ColoursAreTheFixedOpaqueSrgbValues) {
    const ColourCase cases[] = {
        {&Palette::backgroundDeep, 0.043, 0.059, 0.102}, {&Palette::backgroundBase, 0.051, 0.078, 0.129},
        {&Palette::backgroundRaised, 0.082, 0.11, 0.173}, {&Palette::cyan, 0.0, 0.941, 1.0},
        {&Palette::blue, 0.231, 0.51, 0.965},            {&Palette::purple, 0.659, 0.333, 0.969},
        {&Palette::violet, 0.486, 0.227, 0.929},         {&Palette::green, 0.204, 0.827, 0.6},
        {&Palette::amber, 0.984, 0.749, 0.141},          {&Palette::red, 0.973, 0.443, 0.443},
        {&Palette::pink, 0.925, 0.282, 0.6},             {&Palette::textPrimary, 0.976, 0.98, 0.984},
        {&Palette::textSecondary, 0.82, 0.835, 0.859},   {&Palette::textMuted, 0.612, 0.639, 0.686},
    };
    for (const ColourCase& entry : cases) {
        const QColor& colour = entry.colour();
        EXPECT_NEAR(colour.redF(), entry.red, 1e-4);
        EXPECT_NEAR(colour.greenF(), entry.green, 1e-4);
        EXPECT_NEAR(colour.blueF(), entry.blue, 1e-4);
        EXPECT_EQ(colour.alphaF(), 1.0F);
        EXPECT_EQ(&entry.colour(), &colour) << "two reads give the one shared value";
    }
}

TEST(Palette, AccentGradientRunsCyanBluePurpleCornerToCorner) {
    const QLinearGradient& gradient = Palette::accentGradient();
    ASSERT_EQ(gradient.stops().size(), 3);
    EXPECT_EQ(gradient.stops()[0], QGradientStop(0.0, Palette::cyan()));
    EXPECT_EQ(gradient.stops()[1], QGradientStop(0.5, Palette::blue()));
    EXPECT_EQ(gradient.stops()[2], QGradientStop(1.0, Palette::purple()));
    EXPECT_EQ(gradient.start(), QPointF(0, 0));
    EXPECT_EQ(gradient.finalStop(), QPointF(1, 1));
    EXPECT_EQ(gradient.coordinateMode(), QGradient::ObjectMode);
}

TEST(Palette, OpacityIsAppliedByTheCallerOnACopy) {
    EXPECT_NEAR(Palette::withOpacity(Palette::amber(), 0.3).alphaF(), 0.3, 1e-3);
    EXPECT_EQ(Palette::amber().alphaF(), 1.0F);
}

TEST(DarkTheme, PaletteIsMadeFromTheApplicationColours) {
    const QPalette palette = DarkTheme::palette();
    EXPECT_EQ(palette.color(QPalette::Window), Palette::backgroundDeep());
    EXPECT_EQ(palette.color(QPalette::WindowText), Palette::textPrimary());
    EXPECT_EQ(palette.color(QPalette::Base), Palette::backgroundBase());
}

using SymbolRegistryTest = ComponentTest;

TEST_F(SymbolRegistryTest, KnownNamesMapToIconGlyphs) {
    for (const char* name : {"flame.fill", "chart.xyaxis.line", "leaf", "cube", "questionmark.circle", "chevron.right",
                             "arrow.up", "arrow.down", "hammer.fill", "rectangle.split.3x1", "xmark.circle.fill"}) {
        EXPECT_TRUE(SymbolRegistry::contains(QString::fromLatin1(name))) << name;
        EXPECT_GE(SymbolRegistry::codePoint(QString::fromLatin1(name)), 0xF000U) << name;
        EXPECT_FALSE(SymbolRegistry::fallbackText(QString::fromLatin1(name)).isEmpty()) << name;
    }
    EXPECT_EQ(SymbolRegistry::codePoint(QStringLiteral("arrow.up")), 0xF05DU);
}

TEST_F(SymbolRegistryTest, UnknownNameFallsBackToAQuestionMark) {
    EXPECT_FALSE(SymbolRegistry::contains(QStringLiteral("no.such.symbol")));
    EXPECT_EQ(SymbolRegistry::text(QStringLiteral("no.such.symbol")), QStringLiteral("?"));
}

TEST_F(SymbolRegistryTest, TextIsTheGlyphWhenTheFontLoadsElseTheFallback) {
    const QString text = SymbolRegistry::text(QStringLiteral("arrow.up"));
    if (SymbolRegistry::isFontLoaded()) {
        EXPECT_EQ(text.toUcs4().front(), 0xF05DU);
    } else {
        EXPECT_EQ(text, QStringLiteral("↑"));
    }
}

TEST_F(SymbolRegistryTest, LabelReportsTheSymbolItShows) {
    SymbolLabel label(QStringLiteral("leaf"), 12, Palette::green());
    EXPECT_EQ(label.symbolName(), QStringLiteral("leaf"));
    label.setSymbolName(QStringLiteral("cube"));
    EXPECT_EQ(label.symbolName(), QStringLiteral("cube"));
    EXPECT_FALSE(label.sizeHint().isEmpty());
}

} // namespace
} // namespace norvane::app
