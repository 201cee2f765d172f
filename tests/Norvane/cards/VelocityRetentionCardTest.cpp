#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/MedianLabel.h"
#include "Norvane/cards/VelocityChart.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/text/DateText.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include <limits>

namespace norvane::app {
namespace {

using norvane::testing::notANumber;
using testing::daysAgo;

VelocityRetentionCard::Inputs assessed(RetentionAssessment assessment, std::size_t points) {
    VelocityRetentionCard::Inputs inputs{
        {120.0, 90.0, 75.0, assessment}, {}, 90, {30, 90, 365}, std::nullopt, std::nullopt};
    for (std::size_t day = points; day > 0; --day) {
        inputs.velocityData.push_back({daysAgo(static_cast<int>(day)), 80.0 + static_cast<double>(day)});
    }
    return inputs;
}

TEST(VelocityRetentionCard, FiguresRoundBeforeTheThousandsStepAndUnshowableOnesAreMissing) {
    const struct {
        double velocity;
        const char* text;
    } velocities[] = {{999.4, "999"}, {999.6, "1000"}, {1000, "1.0K"}, {1500, "1.5K"}, {15260, "15.3K"}, {-0.2, "0"}};
    for (const auto& entry : velocities) {
        EXPECT_EQ(VelocityRetentionCard::formatVelocity(entry.velocity), QString::fromLatin1(entry.text))
            << entry.velocity;
    }
    for (const double unshowable : {notANumber, std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(VelocityRetentionCard::velocityText(unshowable).has_value());
        EXPECT_FALSE(VelocityRetentionCard::retentionText(unshowable).has_value());
    }
    EXPECT_FALSE(VelocityRetentionCard::velocityText(std::nullopt).has_value());
    EXPECT_EQ(VelocityRetentionCard::retentionText(72.6), QStringLiteral("73%"));
}

TEST(VelocityRetentionCard, StateFollowsTheVerdictThenThePoints) {
    EXPECT_EQ(VelocityRetentionCard::state(assessed(RetentionAssessment::tooEarly, 5)),
              VelocityRetentionCard::State::tooEarly);
    EXPECT_EQ(VelocityRetentionCard::state(assessed(RetentionAssessment::good, 1)),
              VelocityRetentionCard::State::assessedWithoutChart);
    EXPECT_EQ(VelocityRetentionCard::state(assessed(RetentionAssessment::good, 2)),
              VelocityRetentionCard::State::assessedWithChart);
}

TEST(VelocityChart, AxisMedianLabelAndDomain) {
    EXPECT_EQ(VelocityChart::axisRange(30), TimeRange(TimeRange::thirtyDays));
    EXPECT_EQ(VelocityChart::axisRange(90), TimeRange(TimeRange::ninetyDays));
    EXPECT_EQ(VelocityChart::axisRange(365), TimeRange(TimeRange::oneYear));
    EXPECT_EQ(VelocityChart::axisRange(14), TimeRange(TimeRange::oneYear));
    EXPECT_EQ(medianLabel(QStringLiteral("Small")), QStringLiteral("Median (Small)"));
    EXPECT_EQ(medianLabel(QStringLiteral("Medium*")), QStringLiteral("Median (Medium)"))
        << "the core's marker of a borrowed median is not part of the name";
    EXPECT_EQ(medianLabel(std::nullopt), QStringLiteral("Industry Median"));
    const ValueDomain domain =
        VelocityChart::valueDomain({{{daysAgo(2), 40.0}, {daysAgo(1), notANumber}}, 200.0, 60.0, std::nullopt, 90});
    EXPECT_EQ(domain.lower, 0.0);
    EXPECT_GT(domain.upper, 200.0) << "the baseline rule and its label fit above the points";
}

using VelocityRetentionCardWidget = testing::ComponentTest;

TEST_F(VelocityRetentionCardWidget, PickingAWindowOnlyReportsIt) {
    VelocityRetentionCard card(assessed(RetentionAssessment::good, 3));
    testing::showAndSettle(card, 560);
    QSignalSpy chosen(&card, &VelocityRetentionCard::daysChanged);
    testing::clickSegment(card.picker().picker(), 2);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.front().front().toInt(), 365);
    EXPECT_EQ(card.picker().selection(), 90) << "the card shows the caller's value";
    card.setSelectedDays(365);
    EXPECT_EQ(card.picker().selection(), 365);
}

TEST_F(VelocityRetentionCardWidget, ChartDrawsTheBaselineAndReadsOutTheEarlierPointMidway) {
    VelocityRetentionCard::Inputs inputs = assessed(RetentionAssessment::good, 3);
    VelocityRetentionCard card(inputs);
    testing::showAndSettle(card, 560);
    const VelocityChart* chart = card.chart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->baselineRuleLabel(), QStringLiteral("Baseline"));
    EXPECT_FALSE(chart->medianRuleLabel().has_value());
    EXPECT_EQ(chart->header().leadingText(), QStringLiteral("7-day rolling average"));

    auto* plot = const_cast<QCustomPlot*>(&chart->plot());
    const double midway =
        (ChartMath::dayCentre(inputs.velocityData[0].date) + ChartMath::dayCentre(inputs.velocityData[1].date)) / 2.0;
    const QPointF pointer(plot->xAxis->coordToPixel(midway), plot->axisRect()->center().y());
    QMouseEvent move(QEvent::MouseMove, pointer, plot->mapToGlobal(pointer), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(plot, &move);
    ASSERT_TRUE(chart->hovered().has_value());
    EXPECT_EQ(chart->hovered()->date, inputs.velocityData[0].date);
    EXPECT_EQ(chart->header().leadingText(), DateText::dateOnly(inputs.velocityData[0].date));
    EXPECT_EQ(chart->header().trailingText(), QStringLiteral("83 lines/day"));
    testing::leave(*plot);
    EXPECT_FALSE(chart->hovered().has_value());
    EXPECT_EQ(chart->header().leadingText(), QStringLiteral("7-day rolling average"));
}

TEST_F(VelocityRetentionCardWidget, TooEarlyShowsOnlyTheNotice) {
    VelocityRetentionCard card(assessed(RetentionAssessment::tooEarly, 5));
    testing::showAndSettle(card, 560);
    EXPECT_EQ(card.chart(), nullptr);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Baseline Not Yet Established")));
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Baseline")));
}

} // namespace
} // namespace norvane::app
