#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/theme/SymbolRegistry.h"

namespace norvane::app {
namespace {

using SymbolRegistryTest = testing::ComponentTest;

// Which names the views may use is checked by walking every card and sheet for unregistered ones.
TEST_F(SymbolRegistryTest, AKnownNameDrawsItsGlyphOrStandInAndAnUnknownOneAQuestionMark) {
    EXPECT_EQ(SymbolRegistry::text(QStringLiteral("arrow.up")),
              SymbolRegistry::isFontLoaded() ? QString(QChar(0xF05D)) : QStringLiteral("↑"));
    EXPECT_FALSE(SymbolRegistry::contains(QStringLiteral("no.such.symbol")));
    EXPECT_EQ(SymbolRegistry::text(QStringLiteral("no.such.symbol")), QStringLiteral("?"));
}

} // namespace
} // namespace norvane::app
