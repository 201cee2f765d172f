#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/theme/Palette.h"
#include "platform/LocalCalendar.h"

#include <limits>

namespace norvane::app {
namespace {

using testing::daysAgo;

platform::Date localDay(int year, int month, int dayOfMonth) {
    return *platform::LocalCalendar::dateFromComponents({year, month, dayOfMonth, 0, 0, 0});
}

/// Every `step` days from `first` to `last`, `project` active.
std::vector<ActivityDay> everyFewDays(platform::Date first, platform::Date last, int step, const QString& project) {
    std::vector<ActivityDay> days;
    for (platform::Date day = first; day <= last; day = platform::LocalCalendar::addingDays(day, step)) {
        days.push_back({day, 1, {project}});
    }
    return days;
}

/// The column of `columns` whose span holds `day`: the last that starts on it or before.
const OverlapColumn* columnHolding(const std::vector<OverlapColumn>& columns, platform::Date day) {
    const auto after =
        std::upper_bound(columns.begin(), columns.end(), day,
                         [](platform::Date date, const OverlapColumn& column) { return date < column.start; });
    return after == columns.begin() ? nullptr : &*(after - 1);
}

// Found at All Time over histories from 2009 to today: a hundred columns sampled from the active
// days left out the last weeks, and with them three projects' every active day.
TEST(ProjectActivityOverlap, DaysThatDoNotFitGroupIntoWeeksMonthsOrYearsAndEachLiesInItsColumn) {
    auto series = everyFewDays(localDay(2009, 2, 19), localDay(2013, 9, 25), 5, "ancient");
    for (auto&& day : everyFewDays(localDay(2018, 3, 1), localDay(2026, 11, 20), 3, "steady")) series.push_back(day);
    series.push_back({localDay(2026, 11, 30), 2, {"recent", "steady"}});
    series.push_back({localDay(2026, 12, 3), 1, {"recent"}});
    const auto filtered = ProjectActivityOverlapView::filteredData(series, TimeRange(TimeRange::allTime).startDate());
    EXPECT_EQ(ProjectActivityOverlapView::columnsThatFit(300), 100U);

    struct Case {
        std::size_t maxColumns;
        AxisStrideComponent unit;
    };
    // 336 days of the first project, 1063 of the second and the last two: 1401 columns hold every day.
    for (const Case entry : {Case{5000, AxisStrideComponent::day}, Case{1401, AxisStrideComponent::day},
                             Case{1400, AxisStrideComponent::weekOfYear}, Case{900, AxisStrideComponent::weekOfYear},
                             Case{300, AxisStrideComponent::month}, Case{100, AxisStrideComponent::year}}) {
        const AxisStrideComponent unit = ProjectActivityOverlapView::columnUnit(filtered, entry.maxColumns);
        EXPECT_EQ(unit, entry.unit) << entry.maxColumns;
        const auto columns = ProjectActivityOverlapView::columns(filtered, unit);
        EXPECT_LE(columns.size(), entry.maxColumns);
        EXPECT_EQ(columns.front().start, ChartMath::unitStart(unit, localDay(2009, 2, 19)));
        EXPECT_EQ(columns.back().start, ChartMath::unitStart(unit, localDay(2026, 12, 3)));
        for (const ActivityDay& day : series) {
            const OverlapColumn* column = columnHolding(columns, day.date);
            ASSERT_NE(column, nullptr);
            for (const QString& project : day.projects) {
                EXPECT_TRUE(std::count(column->projects.begin(), column->projects.end(), project) == 1)
                    << project.toStdString() << " " << DateText::dateOnly(day.date).toStdString();
            }
        }
    }
}

TEST(ProjectActivityOverlap, AxisLabelsEveryFifthOfTheColumns) {
    EXPECT_EQ(ProjectActivityOverlapView::axisLabelIndices(30), (std::vector<std::size_t>{0, 6, 12, 18, 24}));
    EXPECT_EQ(ProjectActivityOverlapView::axisLabelIndices(52), (std::vector<std::size_t>{0, 10, 20, 30, 40, 50}));
    EXPECT_EQ(ProjectActivityOverlapView::axisLabelIndices(12), (std::vector<std::size_t>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(ProjectActivityOverlapView::axisLabelIndices(3), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(ProjectActivityOverlapView::axisLabelIndices(0).empty());
}

// Found at All Time over eleven years: "12/12, 9/20, 7/10" named no year.
TEST(ProjectActivityOverlap, AxisLabelsNameTheYearAsEveryDateAxisDoes) {
    const testing::AmericanEnglish english;
    const platform::Date now = localDay(2026, 1, 5);
    const auto labels = [now](const std::vector<platform::Date>& dates, AxisStrideComponent unit, TimeRange range) {
        std::vector<ActivityDay> days;
        for (const platform::Date date : dates) days.push_back({date, 1, {"a"}});
        return ProjectActivityOverlapView::axisLabels(ProjectActivityOverlapView::columns(days, unit), unit, range,
                                                      now);
    };
    const std::vector<platform::Date> elevenYears{localDay(2014, 12, 12), localDay(2015, 9, 20), localDay(2016, 7, 10),
                                                  localDay(2017, 3, 5),   localDay(2018, 5, 1),  localDay(2019, 8, 8),
                                                  localDay(2020, 1, 30),  localDay(2021, 6, 15), localDay(2022, 10, 2),
                                                  localDay(2023, 4, 4),   localDay(2024, 11, 11)};
    // Labelled at every second column of the eleven.
    EXPECT_EQ(labels(elevenYears, AxisStrideComponent::day, TimeRange::allTime),
              (std::vector<QString>{"Dec 12, 2014", "Jul 10, 2016", "May 1, 2018", "Jan 30, 2020", "Oct 2, 2022",
                                    "Nov 11, 2024"}));
    EXPECT_EQ(labels(elevenYears, AxisStrideComponent::year, TimeRange::allTime),
              (std::vector<QString>{"2014", "2016", "2018", "2020", "2022", "2024"}));

    std::vector<platform::Date> newYear;
    for (int index = 0; index < 10; ++index)
        newYear.push_back(platform::LocalCalendar::addingDays(localDay(2025, 12, 24), index));
    EXPECT_EQ(labels(newYear, AxisStrideComponent::day, TimeRange::thirtyDays),
              (std::vector<QString>{"Dec 24, 2025", "Dec 26, 2025", "Dec 28, 2025", "Dec 30, 2025", "Jan 1, 2026"}));
    EXPECT_EQ(labels({localDay(2026, 1, 2), localDay(2026, 1, 3)}, AxisStrideComponent::day, TimeRange::allTime),
              (std::vector<QString>{"Jan 2", "Jan 3"}))
        << "this year's days alone";
}

TEST(ProjectActivityOverlap, RowsAreUniqueNamesInCodePointOrder) {
    const std::vector<ActivityDay> series = {
        {daysAgo(3), 2, {"beta", "Alpha"}}, {daysAgo(2), 1, {"alpha", "beta"}}, {daysAgo(90), 1, {"old"}}};
    const auto filtered =
        ProjectActivityOverlapView::filteredData(series, TimeRange(TimeRange::thirtyDays).startDate());
    EXPECT_EQ(ProjectActivityOverlapView::uniqueProjects(filtered), (std::vector<QString>{"Alpha", "alpha", "beta"}));
    const QString composed = QStringLiteral("caf\u00e9");
    const QString decomposed = QStringLiteral("cafe\u0301");
    EXPECT_EQ(ProjectActivityOverlapView::uniqueProjects({{daysAgo(1), 2, {composed, decomposed}}}).size(), 1U);
}

TEST(ProjectActivityOverlap, ColourIndexNeverOverflows) {
    EXPECT_EQ(ProjectActivityOverlapView::colorIndex(std::numeric_limits<std::int64_t>::min()), 0);
    EXPECT_EQ(ProjectActivityOverlapView::colorIndex(-1), 1);
    EXPECT_EQ(ProjectActivityOverlapView::colorIndex(-9), 1);
    EXPECT_EQ(ProjectActivityOverlapView::colorIndex(9), 1);
    EXPECT_EQ(ProjectActivityOverlapView::colorIndex(std::numeric_limits<std::int64_t>::max()), 7);
    EXPECT_EQ(ProjectActivityOverlapView::nameHash(QStringLiteral("norvane")), 0x1f12dff90db20f98ULL)
        << "the hash is the same in every run";
    EXPECT_EQ(ProjectActivityOverlapView::colorForProject(QStringLiteral("norvane")), Palette::blue());
}

using OverlapWidget = testing::ComponentTest;

TEST_F(OverlapWidget, NoNamedProjectsShowTheEmptyState) {
    ProjectActivityOverlapView view({{daysAgo(1), 0, {}}}, TimeRange::thirtyDays);
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
    ProjectActivityOverlapView view(series, TimeRange::allTime);
    testing::showAndSettle(view, 88 + 300);
    ASSERT_TRUE(view.isShowingGrid());
    EXPECT_EQ(view.headerText(), QStringLiteral("Project activity overlap"));
    EXPECT_EQ(view.cellRect(0, 0).left(), 88.0);
    EXPECT_EQ(view.cellRect(0, 24).left(), 88.0 + 240.0) << "each cell stands where its label does";
    EXPECT_EQ(view.cellRect(0, 24).width(), 9.0);
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

TEST_F(OverlapWidget, ColumnsOfMonthsWhereTheWeeksDoNotFitAndTheHeaderSaysSo) {
    const auto series = everyFewDays(localDay(2022, 1, 3), localDay(2025, 12, 29), 7, "a");
    ProjectActivityOverlapView view(series, TimeRange::allTime);
    testing::showAndSettle(view, 88 + 300);
    ASSERT_EQ(view.columnUnit(), AxisStrideComponent::month) << "208 weeks in 100 columns";
    EXPECT_EQ(view.shownColumns().size(), 48U);
    EXPECT_EQ(view.headerText(), QStringLiteral("Project activity overlap, by month"));
    const QPointF march2025 = view.cellRect(0, 38).center();
    testing::movePointer(view, march2025.x(), march2025.y());
    EXPECT_EQ(view.headerText(),
              DateText::periodText(localDay(2025, 3, 1), AxisStrideComponent::month) + QStringLiteral(" • a"));

    testing::showAndSettle(view, 88 + 900);
    EXPECT_EQ(view.columnUnit(), AxisStrideComponent::day) << "a wider chart holds the days";
    EXPECT_EQ(view.shownColumns().size(), series.size());
    EXPECT_EQ(view.headerText(), DateText::periodText(localDay(2025, 3, 1), AxisStrideComponent::month) + " • a")
        << "the pointed span stays until the pointer moves";
}

} // namespace
} // namespace norvane::app
