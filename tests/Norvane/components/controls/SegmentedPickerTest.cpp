#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/TimeRangePicker.h"

#include <QSignalSpy>

namespace norvane::app {
namespace {

TEST(DaysPicker, OnlyAWholeYearGetsItsOwnLabel) {
    EXPECT_EQ(DaysPicker::optionLabel(30), QStringLiteral("30d"));
    EXPECT_EQ(DaysPicker::optionLabel(364), QStringLiteral("364d"));
    EXPECT_EQ(DaysPicker::optionLabel(365), QStringLiteral("1yr"));
    EXPECT_EQ(DaysPicker::optionLabel(366), QStringLiteral("366d"));
}

using PickerWidget = testing::ComponentTest;

TEST_F(PickerWidget, TimeRangePickerHighlightsAndSelects) {
    TimeRangePicker picker(TimeRange::oneYear);
    testing::showAndSettle(picker, 280);
    EXPECT_EQ(picker.width(), 280);
    EXPECT_EQ(picker.picker().segmentLabels(), (QStringList{"30 Days", "90 Days", "1 Year", "All Time"}));
    EXPECT_EQ(picker.picker().selectedIndex(), 2);
    EXPECT_EQ(picker.picker().highlightRect(), picker.picker().segmentRect(2));
    QSignalSpy changes(&picker, &TimeRangePicker::selectionChanged);
    testing::clickSegment(picker.picker(), 3);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(picker.selection(), TimeRange(TimeRange::allTime));
    EXPECT_EQ(picker.picker().highlightRect(), picker.picker().segmentRect(3));
    testing::clickSegment(picker.picker(), 3);
    EXPECT_EQ(changes.size(), 1) << "clicking the selected segment changes nothing";
}

TEST_F(PickerWidget, SelectionMatchingNoOptionDrawsNoHighlight) {
    DaysPicker picker(45, {30, 90, 365});
    testing::showAndSettle(picker, 150);
    EXPECT_EQ(picker.width(), 150);
    EXPECT_EQ(picker.picker().segmentLabels(), (QStringList{"30d", "90d", "1yr"}));
    EXPECT_FALSE(picker.picker().selectedIndex().has_value());
    EXPECT_FALSE(picker.picker().highlightRect().has_value());
    QSignalSpy changes(&picker, &DaysPicker::selectionChanged);
    testing::clickSegment(picker.picker(), 0);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.front().front().toInt(), 30);
    EXPECT_EQ(picker.picker().selectedIndex(), 0);
}

TEST_F(PickerWidget, EmptyOptionsDrawOnlyTheTrack) {
    OceanSegmentedPicker picker(QVariant(1), {});
    testing::showAndSettle(picker, 20);
    EXPECT_TRUE(picker.segmentLabels().isEmpty());
    EXPECT_FALSE(picker.highlightRect().has_value());
    EXPECT_EQ(picker.sizeHint().width(), 6);
}

} // namespace
} // namespace norvane::app
