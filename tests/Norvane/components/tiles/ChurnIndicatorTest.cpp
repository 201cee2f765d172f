#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/ChurnIndicator.h"

#include <limits>

namespace norvane::app {
namespace {

TEST(ChurnIndicator, KindByRatio) {
    const struct {
        double ratio;
        const char* label;
        const char* symbol;
    } cases[] = {{1.2999, "Building", "hammer.fill"},
                 {1.0, "Building", "hammer.fill"},
                 {1.3, "Mixed", "arrow.triangle.2.circlepath"},
                 {1.6999, "Mixed", "arrow.triangle.2.circlepath"},
                 {1.7, "Refactoring", "wrench.and.screwdriver.fill"},
                 {2.0, "Refactoring", "wrench.and.screwdriver.fill"},
                 {std::numeric_limits<double>::quiet_NaN(), "Refactoring", "wrench.and.screwdriver.fill"}};
    for (const auto& entry : cases) {
        const ChurnIndicator::Kind kind = ChurnIndicator::churnLabel(entry.ratio);
        EXPECT_EQ(kind.label, QString::fromLatin1(entry.label)) << entry.ratio;
        EXPECT_EQ(kind.symbol, QString::fromLatin1(entry.symbol)) << entry.ratio;
    }
}

TEST(ChurnIndicator, SummaryNamesTheDirection) {
    EXPECT_EQ(ChurnIndicator::summaryText(1.42, 35), QStringLiteral("1.4x churn, net growth"));
    EXPECT_EQ(ChurnIndicator::summaryText(1.0, 10.0), QStringLiteral("1.0x churn, balanced"));
    EXPECT_EQ(ChurnIndicator::summaryText(1.0, 10.01), QStringLiteral("1.0x churn, net growth"));
    EXPECT_EQ(ChurnIndicator::summaryText(1.0, -10.0), QStringLiteral("1.0x churn, balanced"));
    EXPECT_EQ(ChurnIndicator::summaryText(1.0, -10.01), QStringLiteral("1.0x churn, net reduction"));
    EXPECT_EQ(ChurnIndicator::summaryText(1.0, std::numeric_limits<double>::quiet_NaN()),
              QStringLiteral("1.0x churn, balanced"));
}

TEST(ChurnIndicator, CountsAbbreviateThousandsWithALowerCaseK) {
    EXPECT_EQ(ChurnIndicator::countText(999), QStringLiteral("999"));
    EXPECT_EQ(ChurnIndicator::countText(1000), QStringLiteral("1.0k"));
    EXPECT_EQ(ChurnIndicator::countText(1060), QStringLiteral("1.1k"));
    EXPECT_EQ(ChurnIndicator::countText(0), QStringLiteral("0"));
    EXPECT_EQ(ChurnIndicator::countText(1'000'000), QStringLiteral("1000.0k"));
}

using ChurnIndicatorWidget = testing::ComponentTest;

TEST_F(ChurnIndicatorWidget, ShowsKindSummaryCountsAndHelp) {
    ChurnIndicator tile(1.42, 35, 1500, 300);
    testing::showAndSettle(tile, 260);
    EXPECT_EQ(tile.kindLabel().text(), QStringLiteral("Mixed"));
    EXPECT_EQ(tile.kindLabel().color(), Palette::textPrimary()) << "the label keeps the default text colour";
    EXPECT_EQ(tile.kindSymbol().symbolName(), QStringLiteral("arrow.triangle.2.circlepath"));
    EXPECT_EQ(tile.kindSymbol().color(), Palette::amber());
    EXPECT_EQ(tile.summaryLabel().text(), QStringLiteral("1.4x churn, net growth"));
    EXPECT_EQ(tile.insertionsLabel().text(), QStringLiteral("+1.5k"));
    EXPECT_EQ(tile.deletionsLabel().text(), QStringLiteral("-300"));
    EXPECT_TRUE(tile.toolTip().contains(QStringLiteral("+1500 / -300 lines")));
}

// The portfolio metrics pass a ratio of 1 when no line changed; the tile used to read "1.0x churn,
// balanced" over a red "-0".
TEST_F(ChurnIndicatorWidget, AWindowWithoutChangesReadsQuietAndCountsNothingInColour) {
    ChurnIndicator tile(1.0, 0.0, 0, 0);
    testing::showAndSettle(tile, 260);
    EXPECT_EQ(tile.kindLabel().text(), QStringLiteral("Quiet"));
    EXPECT_EQ(tile.kindSymbol().color(), Palette::textMuted());
    EXPECT_EQ(tile.summaryLabel().text(), QStringLiteral("No lines changed"));
    EXPECT_EQ(tile.insertionsLabel().text(), QStringLiteral("+0"));
    EXPECT_EQ(tile.deletionsLabel().text(), QStringLiteral("-0"));
    EXPECT_EQ(tile.insertionsLabel().color(), Palette::textMuted());
    EXPECT_EQ(tile.deletionsLabel().color(), Palette::textMuted());

    tile.setValues(1.0, 100.0, 500, 0);
    EXPECT_EQ(tile.kindLabel().text(), QStringLiteral("Building"));
    EXPECT_EQ(tile.summaryLabel().text(), QStringLiteral("1.0x churn, net growth"));
    EXPECT_EQ(tile.insertionsLabel().color(), Palette::green());
    EXPECT_EQ(tile.deletionsLabel().color(), Palette::textMuted()) << "no removed line to mark in red";
}

} // namespace
} // namespace norvane::app
