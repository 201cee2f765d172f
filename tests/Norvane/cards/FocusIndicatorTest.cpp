#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/FocusIndicator.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

using norvane::testing::notANumber;

TEST(FocusIndicator, VerdictSummaryAndShareListByIndexAndProjects) {
    const struct {
        double index;
        int projects;
        const char* label;
        const char* symbol;
        QColor color;
        const char* summary;
    } verdicts[] = {
        {0.0, 0, "Single Focus", "scope", Palette::blue(), "No recent activity"},
        {1.0, 1, "Single Focus", "scope", Palette::blue(), "100% on 1 project"},
        {0.61, 2, "Focused", "target", Palette::violet(), "2 projects, 61% concentration"},
        {0.6, 3, "Balanced", "scale.3d", Palette::green(), "3 projects, 60% concentration"},
        {0.3501, 4, "Balanced", "scale.3d", Palette::green(), "4 projects, 35% concentration"},
        {0.35, 5, "Distributed", "circle.grid.3x3", Palette::amber(), "5 projects, 35% concentration"},
        {notANumber, 3, "Distributed", "circle.grid.3x3", Palette::amber(), "3 projects, -- concentration"},
    };
    for (const auto& entry : verdicts) {
        const auto verdict = FocusIndicator::verdict(entry.index, entry.projects);
        EXPECT_EQ(verdict.label, QString::fromLatin1(entry.label)) << entry.index;
        EXPECT_EQ(verdict.symbol, QString::fromLatin1(entry.symbol)) << entry.index;
        EXPECT_EQ(verdict.color, entry.color) << entry.index;
        EXPECT_EQ(FocusIndicator::summaryText(entry.index, entry.projects), QString::fromLatin1(entry.summary));
    }
    const struct {
        std::map<std::string, double> shares;
        QStringList texts;
        std::optional<QString> overflow;
    } lists[] = {
        {{{"a", 50}, {"b", 30}, {"c", 15}, {"d", 5}}, {"50%", "30%", "15%"}, QStringLiteral("+1")},
        {{{"a", 5}, {"b", 30}, {"c", 15}, {"d", 20}, {"e", 30}}, {"30%", "30%", "20%"}, QStringLiteral("+2")},
        {{{"a", 33.5}, {"b", 33.3}, {"c", 33.2}}, {"34%", "33%", "33%"}, std::nullopt},
        {{{"a", notANumber}, {"b", 60}}, {"60%", "--"}, std::nullopt},
        {{}, {}, std::nullopt},
    };
    for (const auto& entry : lists) {
        const auto list = FocusIndicator::shareList(entry.shares);
        QStringList texts;
        for (const auto& dot : list.dots) {
            texts.append(dot.text);
            EXPECT_EQ(dot.color, FocusIndicator::dotColor(dot.projectName)) << "one name, one colour";
        }
        EXPECT_EQ(texts, entry.texts);
        EXPECT_EQ(list.overflow, entry.overflow);
    }
    EXPECT_TRUE(FocusIndicator::tooltipText(0.0, 0).contains(QStringLiteral("• 1.00 = Even split across 0 projects")));
    EXPECT_TRUE(FocusIndicator::tooltipText(0.5, 4).contains(QStringLiteral("• 0.25 = Even split across 4 projects")));
}

using FocusIndicatorWidget = testing::ComponentTest;

TEST_F(FocusIndicatorWidget, SharesShowFromTwoProjectsOnAndHelpExplainsTheIndex) {
    FocusIndicator tile(0.42, 5, {{"a", 40}, {"b", 30}, {"c", 15}, {"d", 10}, {"e", 5}});
    testing::showAndSettle(tile, 260);
    EXPECT_TRUE(tile.sharesRow().isVisible());
    EXPECT_EQ(tile.sharesRow().findChildren<ColorDot*>().size(), 3);
    EXPECT_TRUE(testing::showsText(tile, QStringLiteral("+2")));
    EXPECT_TRUE(tile.toolTip().startsWith(QStringLiteral("Focus Index (HHI): 0.42")));
    tile.setValues(1.0, 1, {{"a", 100}});
    EXPECT_FALSE(tile.sharesRow().isVisible());
    EXPECT_EQ(tile.verdictLabel().text(), QStringLiteral("Single Focus"));
    EXPECT_TRUE(testing::showsText(tile, QStringLiteral("100% on 1 project")));
}

} // namespace
} // namespace norvane::app
