#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/controls/InfoTooltipButton.h"
#include "Norvane/components/controls/MetricTooltip.h"
#include "Norvane/components/controls/Popover.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/CapacityStatView.h"
#include "Norvane/components/tiles/ParallelismStatView.h"

#include <QApplication>

#include <limits>

namespace norvane::app {
namespace {

using testing::ComponentTest;

TEST(CapacityStatView, TextTruncatesAndColourFollowsTheUnroundedValue) {
    const struct {
        double utilization;
        const char* text;
        const QColor& colour;
    } cases[] = {{100.0, "100%", Palette::green()}, {80.0, "80%", Palette::green()}, {79.99, "79%", Palette::amber()},
                 {50.0, "50%", Palette::amber()},   {49.5, "49%", Palette::red()},   {49.99, "49%", Palette::red()},
                 {0.0, "0%", Palette::red()},       {-0.4, "0%", Palette::red()},    {72.9, "72%", Palette::amber()}};
    for (const auto& entry : cases) {
        EXPECT_EQ(CapacityStatView::capacityText(entry.utilization), QString::fromLatin1(entry.text))
            << entry.utilization;
        EXPECT_EQ(CapacityStatView::capacityColor(entry.utilization), entry.colour) << entry.utilization;
    }
    EXPECT_EQ(CapacityStatView::capacityText(0.29 * 100), QStringLiteral("29%")) << "28.999999999999996 reads 29";
    for (const double broken :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e20}) {
        EXPECT_EQ(CapacityStatView::capacityText(broken), QStringLiteral("--"));
        EXPECT_EQ(CapacityStatView::capacityColor(broken), Palette::textSecondary());
    }
}

using StatTileWidgets = ComponentTest;

TEST_F(StatTileWidgets, TilesShowTheirValueLabelAndOptionalButton) {
    CapacityStatView capacity(72.9, MetricTooltip::capacityUtilization);
    testing::showAndSettle(capacity, 220);
    EXPECT_EQ(capacity.valueLabel().text(), QStringLiteral("72%"));
    EXPECT_EQ(capacity.valueLabel().color(), Palette::amber());
    EXPECT_EQ(capacity.captionLabel().text(), QStringLiteral("Capacity"));
    ASSERT_NE(capacity.tooltipButton(), nullptr);
    EXPECT_EQ(capacity.tooltipButton()->symbol().symbolName(), QStringLiteral("questionmark.circle"));
    EXPECT_EQ(capacity.width(), 220) << "a tile fills the width it is offered";

    ParallelismStatView parallelism(3.0, std::nullopt);
    testing::showAndSettle(parallelism, 220);
    EXPECT_EQ(parallelism.valueLabel().text(), QStringLiteral("3.0"));
    EXPECT_EQ(parallelism.captionLabel().text(), QStringLiteral("Parallelism"));
    EXPECT_EQ(parallelism.tooltipButton(), nullptr);
    capacity.setUtilization(80.0);
    EXPECT_EQ(capacity.valueLabel().color(), Palette::green());
}

TEST_F(StatTileWidgets, InfoButtonOpensAndClosesItsPopover) {
    InfoTooltipButton button(MetricTooltip::parallelism);
    testing::showAndSettle(button, 20);
    EXPECT_FALSE(button.isShowingPopover());
    button.click();
    QApplication::processEvents();
    ASSERT_TRUE(button.isShowingPopover());
    ASSERT_NE(button.popover(), nullptr);
    QStringList texts;
    const auto labels = button.popover()->findChildren<StyledLabel*>();
    for (const StyledLabel* label : labels) {
        texts.append(label->text());
    }
    ASSERT_EQ(labels.size(), 2);
    EXPECT_LE(labels.back()->width(), 250);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Parallelism Factor"),
                                  MetricTooltip(MetricTooltip::parallelism).description()}));
    button.click();
    QApplication::processEvents();
    EXPECT_FALSE(button.isShowingPopover());
}

} // namespace
} // namespace norvane::app
