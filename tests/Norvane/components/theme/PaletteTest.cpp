#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"

namespace norvane::app {
namespace {

using testing::ComponentTest;

TEST(Palette, OpacityIsAppliedByTheCallerOnACopy) {
    EXPECT_NEAR(Palette::withOpacity(Palette::amber(), 0.3).alphaF(), 0.3, 1e-3);
    EXPECT_EQ(Palette::amber().alphaF(), 1.0F);
}

using SymbolRegistryTest = ComponentTest;

TEST_F(SymbolRegistryTest, KnownNamesMapToIconGlyphsWithAPlainTextStandIn) {
    for (const char* name : {"flame.fill", "chart.xyaxis.line", "leaf", "cube", "questionmark.circle", "chevron.right",
                             "arrow.up", "arrow.down", "hammer.fill", "rectangle.split.3x1", "xmark.circle.fill"}) {
        EXPECT_TRUE(SymbolRegistry::contains(QString::fromLatin1(name))) << name;
        EXPECT_GE(SymbolRegistry::codePoint(QString::fromLatin1(name)), 0xF000U) << name;
        EXPECT_FALSE(SymbolRegistry::fallbackText(QString::fromLatin1(name)).isEmpty()) << name;
    }
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

} // namespace
} // namespace norvane::app
