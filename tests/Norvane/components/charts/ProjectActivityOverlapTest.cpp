#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/theme/Palette.h"
#include "platform/LocalCalendar.h"

#include <limits>

namespace norvane::app {
namespace {

using testing::daysAgo;
using View = ProjectActivityOverlapView;

std::vector<platform::Date> dates(int count) {
    std::vector<platform::Date> result;
    for (int index = 0; index < count; ++index) {
        result.push_back(platform::Date(std::chrono::hours(24 * index)));
    }
    return result;
}

std::vector<std::size_t> sampledIndices(int count, std::size_t columns) {
    std::vector<std::size_t> indices;
    for (const platform::Date date : View::sampleDates(dates(count), columns)) {
        indices.push_back(static_cast<std::size_t>(
            std::chrono::duration_cast<std::chrono::hours>(date.time_since_epoch()).count() / 24));
    }
    return indices;
}

TEST(ProjectActivityOverlap, SamplingTakesEvenlySpreadColumns) {
    const auto year = sampledIndices(200, 52);
    ASSERT_EQ(year.size(), 52U);
    EXPECT_EQ(std::vector<std::size_t>(year.begin(), year.begin() + 4), (std::vector<std::size_t>{0, 3, 7, 11}));
    EXPECT_EQ(year.back(), 196U);
    const auto all = sampledIndices(250, 100);
    EXPECT_EQ(std::vector<std::size_t>(all.begin(), all.begin() + 5), (std::vector<std::size_t>{0, 2, 5, 7, 10}));
    EXPECT_EQ(all.back(), 247U);
    EXPECT_EQ(sampledIndices(12, 30).size(), 12U);
    EXPECT_TRUE(sampledIndices(12, 0).empty());
    EXPECT_EQ(View::maxCells(TimeRange::oneYear), 52);
    EXPECT_EQ(View::maxCells(TimeRange::allTime), 100);
}

TEST(ProjectActivityOverlap, AxisLabelsEveryFifthOfTheColumns) {
    EXPECT_EQ(View::axisLabelIndices(30), (std::vector<std::size_t>{0, 6, 12, 18, 24}));
    EXPECT_EQ(View::axisLabelIndices(52), (std::vector<std::size_t>{0, 10, 20, 30, 40, 50}));
    EXPECT_EQ(View::axisLabelIndices(12), (std::vector<std::size_t>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(View::axisLabelIndices(3), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(View::axisLabelIndices(0).empty());
}

// Found at All Time over eleven years: "12/12, 9/20, 7/10" named no year.
TEST(ProjectActivityOverlap, AxisLabelsNameTheYearWhereTheColumnsSpanYears) {
    const auto day = [](int year, int month, int dayOfMonth) {
        return *platform::LocalCalendar::dateFromComponents({year, month, dayOfMonth, 12, 0, 0});
    };
    const std::vector<platform::Date> elevenYears{
        day(2014, 12, 12), day(2015, 9, 20), day(2016, 7, 10), day(2017, 3, 5), day(2018, 5, 1),  day(2019, 8, 8),
        day(2020, 1, 30),  day(2021, 6, 15), day(2022, 10, 2), day(2023, 4, 4), day(2024, 11, 11)};
    // Labelled at every second column of the eleven.
    EXPECT_EQ(View::axisLabels(elevenYears),
              (std::vector<QString>{"12/12/2014", "7/10/2016", "5/1/2018", "1/30/2020", "10/2/2022", "11/11/2024"}));

    // Across one new year: the year at the first label and at the first of the new year.
    std::vector<platform::Date> newYear;
    for (int index = 0; index < 10; ++index) newYear.push_back(day(2025, 12, 24) + std::chrono::hours(24 * index));
    EXPECT_EQ(View::axisLabels(newYear), (std::vector<QString>{"12/24/2025", "12/26", "12/28", "12/30", "1/1/2026"}));

    std::vector<platform::Date> oneYear(newYear.begin(), newYear.begin() + 5);
    EXPECT_EQ(View::axisLabels(oneYear), (std::vector<QString>{"12/24", "12/25", "12/26", "12/27", "12/28"}));
}

TEST(ProjectActivityOverlap, RowsAreUniqueNamesInCodePointOrder) {
    const std::vector<ActivityDay> series = {
        {daysAgo(3), 2, {"beta", "Alpha"}}, {daysAgo(2), 1, {"alpha", "beta"}}, {daysAgo(90), 1, {"old"}}};
    const auto filtered = View::filteredData(series, TimeRange(TimeRange::thirtyDays).startDate());
    EXPECT_EQ(View::uniqueProjects(filtered), (std::vector<QString>{"Alpha", "alpha", "beta"}));
    const QString composed = QStringLiteral("caf\u00e9");
    const QString decomposed = QStringLiteral("cafe\u0301");
    EXPECT_EQ(View::uniqueProjects({{daysAgo(1), 2, {composed, decomposed}}}).size(), 1U);
}

TEST(ProjectActivityOverlap, ColourIndexNeverOverflows) {
    EXPECT_EQ(View::colorIndex(std::numeric_limits<std::int64_t>::min()), 0);
    EXPECT_EQ(View::colorIndex(-1), 1);
    EXPECT_EQ(View::colorIndex(-9), 1);
    EXPECT_EQ(View::colorIndex(9), 1);
    EXPECT_EQ(View::colorIndex(std::numeric_limits<std::int64_t>::max()), 7);
    EXPECT_EQ(View::nameHash(QStringLiteral("norvane")), 0x1f12dff90db20f98ULL) << "the hash is the same in every run";
    EXPECT_EQ(View::colorForProject(QStringLiteral("norvane")), Palette::blue());
}

using OverlapWidget = testing::ComponentTest;

TEST_F(OverlapWidget, NoNamedProjectsShowTheEmptyState) {
    View view({{daysAgo(1), 0, {}}}, TimeRange::thirtyDays);
    testing::showAndSettle(view);
    EXPECT_FALSE(view.isShowingGrid());
    EXPECT_TRUE(testing::showsText(view, QStringLiteral("No activity data yet")));
}

TEST_F(OverlapWidget, CellsShareTheStripAndPointingNamesTheDay) {
    std::vector<ActivityDay> series;
    for (int day = 29; day >= 0; --day) {
        series.push_back({daysAgo(day), 1, day == 5 ? std::vector<QString>{"b", "a"} : std::vector<QString>{"a"}});
    }
    series[10].projects.clear();
    View view(series, TimeRange::allTime);
    testing::showAndSettle(view, 88 + 300);
    ASSERT_TRUE(view.isShowingGrid());
    EXPECT_EQ(view.headerText(), QStringLiteral("Project activity overlap"));
    EXPECT_EQ(view.cellRect(0, 0).left(), 88.0);
    EXPECT_EQ(view.cellRect(0, 24).left(), 88.0 + 216.0);
    EXPECT_EQ(view.cellRect(1, 0).top() - view.cellRect(0, 0).top(), 20.0);

    testing::movePointer(view, view.cellRect(1, 24).center().x(), view.cellRect(1, 24).center().y());
    EXPECT_EQ(view.hoveredDate(), daysAgo(5));
    EXPECT_EQ(view.hoveredProjects(), (std::vector<QString>{"a", "b"}));
    EXPECT_EQ(view.headerText(), DateText::dateOnly(daysAgo(5)) + QStringLiteral(" • a, b"));
    testing::movePointer(view, view.cellRect(0, 10).center().x(), view.cellRect(0, 10).center().y());
    EXPECT_EQ(view.headerText(), DateText::dateOnly(daysAgo(19)));
    testing::movePointer(view, 5, 5);
    EXPECT_EQ(view.hoveredDate(), daysAgo(19)) << "leaving a cell keeps the last day";
}

} // namespace
} // namespace norvane::app
