#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"

#include <QImage>

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

// The opt-in card tells 100 and 500 contributors apart by these; the third used to draw the second's
// glyph, so that only the colour differed.
TEST_F(SymbolRegistryTest, EachCountOfPeopleDrawsAGlyphOfItsOwn) {
    const QStringList names = {"person.badge.plus", "person.2.fill", "person.3.fill"};
    QList<QImage> pictures;
    for (const QString& name : names) {
        SymbolLabel symbol(name, 12, Palette::green());
        testing::showAndSettle(symbol, symbol.sizeHint().width());
        pictures << symbol.grab().toImage();
        EXPECT_EQ(symbol.sizeHint().height(), SymbolLabel(names[0], 12, Palette::green()).sizeHint().height())
            << name.toStdString();
    }
    for (int first = 0; first < names.size(); ++first) {
        for (int second = first + 1; second < names.size(); ++second) {
            EXPECT_NE(SymbolRegistry::text(names[first]), SymbolRegistry::text(names[second]));
            EXPECT_NE(pictures[first], pictures[second])
                << names[first].toStdString() << " " << names[second].toStdString();
        }
    }
}

} // namespace
} // namespace norvane::app
