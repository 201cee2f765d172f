#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/SparklineView.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/CardGlow.h"
#include "Norvane/components/tiles/HeroMetricCard.h"
#include "Norvane/components/tiles/HeroZoneView.h"

#include <QLabel>

namespace norvane::app {
namespace {

TEST(SparklineView, NormalisesBetweenSmallestAndLargest) {
    using Series = std::vector<double>;
    EXPECT_EQ(SparklineView::normalizedData({3, 5, 4}), (Series{0, 1, 0.5}));
    EXPECT_EQ(SparklineView::normalizedData({2, 2, 2}), (Series{0.5, 0.5, 0.5}));
    EXPECT_EQ(SparklineView::normalizedData({7}), (Series{0.5}));
    EXPECT_EQ(SparklineView::normalizedData({}), Series{});
}

TEST(SparklineView, PointsKeepOutOfTheTopAndBottomTenth) {
    EXPECT_EQ(SparklineView::pointAt(0, 2, 0.0, 100, 40), QPointF(0, 36));
    EXPECT_EQ(SparklineView::pointAt(1, 2, 1.0, 100, 40), QPointF(100, 4));
    EXPECT_EQ(SparklineView::pointAt(0, 1, 0.5, 100, 40), QPointF(0, 20));
    EXPECT_EQ(SparklineView::pointAt(2, 3, 0.5, 100, 40), QPointF(100, 20));
}

using SparklineWidget = testing::ComponentTest;

TEST_F(SparklineWidget, TheEndDotAndItsGlowStayWholeInsideTheWidget) {
    // Ending on the highest value puts the dot in the top right corner.
    SparklineView sparkline({1, 3, 2, 5}, Palette::cyan(), true);
    sparkline.resize(200, 40);
    const QImage image = sparkline.grab().toImage();
    int edgeAlpha = 0;
    for (int y = 0; y < image.height(); ++y)
        edgeAlpha = std::max(edgeAlpha, image.pixelColor(image.width() - 1, y).alpha());
    for (int x = 0; x < image.width(); ++x) edgeAlpha = std::max(edgeAlpha, image.pixelColor(x, 0).alpha());
    EXPECT_LT(edgeAlpha, 16) << "nothing is cut at the right or top edge";
    int dotWidth = 0;
    for (int x = image.width() - 16; x < image.width(); ++x) {
        for (int y = 0; y < 16; ++y) {
            if (image.pixelColor(x, y).alpha() == 255) {
                ++dotWidth;
                break;
            }
        }
    }
    EXPECT_GE(dotWidth, 6) << "the whole dot is drawn";
}

TEST(HeroMetricCard, ValueAndDeltaColourRules) {
    EXPECT_EQ(HeroMetricCard::valueColor(QStringLiteral("--")), Palette::textSecondary());
    EXPECT_EQ(HeroMetricCard::glowColor(QStringLiteral("--")).alpha(), 0);
    EXPECT_EQ(HeroMetricCard::valueColor(QStringLiteral("0")), Palette::cyan());
    EXPECT_EQ(HeroMetricCard::glowColor(QStringLiteral("0")), Palette::cyan());
    EXPECT_EQ(HeroMetricCard::deltaSymbol(0.0), QStringLiteral("arrow.up"));
    EXPECT_EQ(HeroMetricCard::deltaColor(0.0), Palette::green());
    EXPECT_EQ(HeroMetricCard::deltaSymbol(-0.01), QStringLiteral("arrow.down"));
    EXPECT_EQ(HeroMetricCard::deltaColor(-0.01), Palette::red());
    EXPECT_EQ(HeroMetricCard::deltaSymbol(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("arrow.down"));
}

using HeroZoneWidget = testing::ComponentTest;

TEST_F(HeroZoneWidget, ShowsBothMetricsFooterAndSparkline) {
    auto* footer = new QLabel(QStringLiteral("footer"));
    HeroZoneView zone(HeroMetric(QStringLiteral("12.4x"), QStringLiteral("Leverage"),
                                 MetricDelta{-1, QStringLiteral("-1.0x")}, QStringLiteral("since last month")),
                      HeroMetric(QStringLiteral("--"), QStringLiteral("Cost")), {1, 3, 2}, footer);
    testing::showAndSettle(zone, 700);
    const HeroMetricCard& primary = zone.primaryCard();
    EXPECT_EQ(primary.valueText().text(), QStringLiteral("12.4x"));
    EXPECT_EQ(primary.label().text(), QStringLiteral("LEVERAGE"));
    EXPECT_TRUE(primary.deltaRow().isVisible());
    EXPECT_EQ(primary.deltaArrow().symbolName(), QStringLiteral("arrow.down"));
    EXPECT_EQ(primary.deltaText().text(), QStringLiteral("-1.0x"));
    EXPECT_TRUE(primary.sublabel().isVisible());
    EXPECT_TRUE(footer->isVisible());
    const HeroMetricCard& secondary = zone.secondaryCard();
    EXPECT_EQ(secondary.valueText().glowColor().alpha(), 0);
    EXPECT_FALSE(secondary.deltaRow().isVisible());
    EXPECT_FALSE(secondary.sublabel().isVisible());
    EXPECT_TRUE(zone.sparklineSection().isVisible());
    EXPECT_EQ(zone.sparkline().height(), 40);
    EXPECT_NEAR(primary.width(), secondary.width(), 2) << "the two metric columns share the row";
}

TEST_F(HeroZoneWidget, EmptySeriesHasNoSparklineOrCaption) {
    HeroZoneView zone(HeroMetric(QStringLiteral("1"), QStringLiteral("a")),
                      HeroMetric(QStringLiteral("2"), QStringLiteral("b")), {}, nullptr);
    testing::showAndSettle(zone, 700);
    EXPECT_FALSE(zone.sparklineSection().isVisible());
    zone.setSparklineData({4, 5});
    EXPECT_TRUE(zone.sparklineSection().isVisible());
}

// The glow that a drop shadow effect drew around the zone, from pictures of the zone's size at each
// paint: a widget of its own beneath the zone, which follows it and goes with it.
TEST_F(HeroZoneWidget, ItsGlowLiesBeneathItAndFollowsIt) {
    QWidget page;
    auto* zone = new HeroZoneView(HeroMetric(QStringLiteral("1"), QStringLiteral("a")),
                                  HeroMetric(QStringLiteral("2"), QStringLiteral("b")), {}, nullptr);
    zone->setParent(&page);
    zone->setGeometry(40, 30, 600, 200);
    page.setFixedSize(700, 300);
    testing::showAndSettle(page, 700);
    const auto glows = page.findChildren<CardGlow*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(glows.size(), 1);
    const CardGlow& glow = *glows.front();
    EXPECT_EQ(glow.geometry(), QRect(20, 14, 640, 240)) << "20 pixels around the zone, 4 lower";
    EXPECT_LT(page.children().indexOf(&glow), page.children().indexOf(zone)) << "drawn before the zone";
    EXPECT_TRUE(glow.isVisible());
    const QImage drawn = page.grab().toImage();
    EXPECT_GT(drawn.pixelColor(340, 232).green(), drawn.pixelColor(340, 262).green()) << "brighter near the zone";

    zone->move(60, 50);
    EXPECT_EQ(glow.geometry(), QRect(40, 34, 640, 240));
    zone->hide();
    EXPECT_FALSE(glow.isVisible());
    delete zone;
    EXPECT_TRUE(page.findChildren<CardGlow*>().isEmpty());
}

} // namespace
} // namespace norvane::app
