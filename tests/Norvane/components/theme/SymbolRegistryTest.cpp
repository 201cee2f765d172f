#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/theme/SymbolRegistry.h"

namespace norvane::app {
namespace {

using SymbolRegistryTest = testing::ComponentTest;

TEST_F(SymbolRegistryTest, KnownNamesMapToIconGlyphsWithAPlainTextStandIn) {
    for (const char* name : {"flame.fill", "chart.xyaxis.line", "leaf", "cube", "questionmark.circle", "chevron.right",
                             "arrow.up", "arrow.down", "hammer.fill", "rectangle.split.3x1", "xmark.circle.fill"}) {
        EXPECT_TRUE(SymbolRegistry::contains(QString::fromLatin1(name))) << name;
        EXPECT_GE(SymbolRegistry::codePoint(QString::fromLatin1(name)), 0xF000U) << name;
        EXPECT_FALSE(SymbolRegistry::fallbackText(QString::fromLatin1(name)).isEmpty()) << name;
    }
    EXPECT_EQ(SymbolRegistry::text(QStringLiteral("arrow.up")),
              SymbolRegistry::isFontLoaded() ? QString(QChar(0xF05D)) : QStringLiteral("↑"));
}

TEST_F(SymbolRegistryTest, UnknownNameFallsBackToAQuestionMark) {
    EXPECT_FALSE(SymbolRegistry::contains(QStringLiteral("no.such.symbol")));
    EXPECT_EQ(SymbolRegistry::text(QStringLiteral("no.such.symbol")), QStringLiteral("?"));
}

} // namespace
} // namespace norvane::app
