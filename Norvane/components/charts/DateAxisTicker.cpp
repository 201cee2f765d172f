#include "Norvane/components/charts/DateAxisTicker.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/text/DateText.h"
#include "platform/LocalCalendar.h"

#include <QFontMetricsF>
#include <QLocale>

namespace norvane::app {

namespace calendar = platform::LocalCalendar;

namespace {

// A long axis still gets a bounded number of marks.
constexpr std::size_t maximumMarks = 400;
// The least room between two neighbouring labels.
constexpr double labelGap = 8.0;

struct Stride {
    AxisStrideComponent unit;
    int count;
};

platform::Date unitStart(AxisStrideComponent unit, platform::Date date) {
    const platform::Date day = calendar::startOfDay(date);
    if (unit == AxisStrideComponent::day) {
        return day;
    }
    platform::LocalDateComponents fields = calendar::components(day);
    if (unit == AxisStrideComponent::weekOfYear) {
        // Qt counts Monday as 1 and Sunday as 7; the calendar counts Sunday as 1.
        const int firstWeekday = QLocale::system().firstDayOfWeek() % 7 + 1;
        return calendar::addingDays(day, -((fields.weekday - firstWeekday + 7) % 7));
    }
    fields.day = 1;
    return calendar::dateFromComponents(fields).value_or(day);
}

platform::Date advance(AxisStrideComponent unit, platform::Date date, int units) {
    switch (unit) {
    case AxisStrideComponent::day: return calendar::addingDays(date, units);
    case AxisStrideComponent::weekOfYear: return calendar::addingDays(date, 7 * units);
    case AxisStrideComponent::month: return calendar::addingMonths(date, units);
    }
    return date;
}

std::vector<platform::Date> stridedDates(Stride stride, platform::Date lower, platform::Date upper) {
    std::vector<platform::Date> marks;
    const platform::Date first = unitStart(stride.unit, lower);
    for (int step = 0; marks.size() < maximumMarks; ++step) {
        const platform::Date mark = advance(stride.unit, first, step * stride.count);
        if (mark > upper) {
            break;
        }
        if (mark >= lower) {
            marks.push_back(mark);
        }
    }
    return marks;
}

int yearOf(platform::Date date) { return calendar::components(date).year; }

} // namespace

DateAxisTicker::Marks DateAxisTicker::markDates(TimeRange range, platform::Date lower, platform::Date upper) {
    const AxisStrideComponent unit = range.axisStrideComponent();
    Marks marks;
    for (const Stride stride :
         {Stride{unit, TimeRange::axisStrideCount}, Stride{unit, 1}, Stride{AxisStrideComponent::day, 1}}) {
        marks = {stridedDates(stride, lower, upper), stride.unit, yearOf(lower) != yearOf(upper)};
        if (marks.dates.size() >= 2) {
            break;
        }
    }
    return marks;
}

QStringList DateAxisTicker::labels(const Marks& marks) {
    QStringList labels;
    if (marks.unit != AxisStrideComponent::month) {
        for (const platform::Date mark : marks.dates) {
            labels.append(DateText::axisLabel(mark, AxisDateFormat::dayAndAbbreviatedMonth));
        }
        return labels;
    }
    const bool withYears = marks.spansYears;
    for (std::size_t index = 0; index < marks.dates.size(); ++index) {
        const bool newYear = index == 0 || yearOf(marks.dates[index]) != yearOf(marks.dates[index - 1]);
        labels.append(DateText::axisLabel(marks.dates[index], withYears && newYear
                                                                  ? AxisDateFormat::abbreviatedMonthAndYear
                                                                  : AxisDateFormat::abbreviatedMonth));
    }
    return labels;
}

std::vector<std::size_t> DateAxisTicker::legibleMarks(const std::vector<double>& positions,
                                                      const std::vector<double>& widths) {
    for (std::size_t step = 1;; ++step) {
        std::vector<std::size_t> kept;
        bool overlaps = false;
        for (std::size_t index = 0; index < positions.size(); index += step) {
            if (!kept.empty()) {
                const std::size_t previous = kept.back();
                const double room = positions[index] - positions[previous];
                overlaps = overlaps || room < (widths[index] + widths[previous]) / 2.0 + labelGap;
            }
            kept.push_back(index);
        }
        if (!overlaps || kept.size() <= 1) {
            return kept;
        }
    }
}

void DateAxisTicker::generate(const QCPRange& range, const QLocale&, QChar, int, QVector<double>& ticks,
                              QVector<double>* subTicks, QVector<QString>* tickLabels) {
    Marks marks = markDates(range_, ChartMath::dateAt(range.lower), ChartMath::dateAt(range.upper));
    if (axis_ != nullptr && axis_->axisRect()->width() > 0) {
        // Measured on the longest text each mark may read: a kept mark can gain the year.
        const QFontMetricsF metrics(axis_->tickLabelFont());
        const QStringList texts = labels(marks);
        const bool withYears = marks.unit == AxisStrideComponent::month && marks.spansYears;
        std::vector<double> positions;
        std::vector<double> widths;
        for (std::size_t index = 0; index < marks.dates.size(); ++index) {
            const platform::Date mark = marks.dates[index];
            positions.push_back(axis_->coordToPixel(ChartMath::axisCoordinate(mark)));
            widths.push_back(
                metrics.horizontalAdvance(withYears ? DateText::axisLabel(mark, AxisDateFormat::abbreviatedMonthAndYear)
                                                    : texts[qsizetype(index)]));
        }
        std::vector<platform::Date> kept;
        for (const std::size_t index : legibleMarks(positions, widths)) kept.push_back(marks.dates[index]);
        marks.dates = std::move(kept);
    }
    ticks.clear();
    for (const platform::Date mark : marks.dates) {
        ticks.append(ChartMath::axisCoordinate(mark));
    }
    if (subTicks != nullptr) {
        subTicks->clear();
    }
    if (tickLabels != nullptr) {
        *tickLabels = labels(marks);
    }
}

} // namespace norvane::app
