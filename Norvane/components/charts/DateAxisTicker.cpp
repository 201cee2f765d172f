#include "Norvane/components/charts/DateAxisTicker.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/text/DateText.h"
#include "platform/LocalCalendar.h"

#include <QFontMetricsF>

namespace norvane::app {

namespace calendar = platform::LocalCalendar;

namespace {

// A long axis still gets a bounded number of marks.
constexpr std::size_t maximumDateMarks = 400;
// The least room between two neighbouring labels.
constexpr double labelGap = 8.0;

struct Stride {
    AxisStrideComponent unit;
    int count;
};

platform::Date advance(AxisStrideComponent unit, platform::Date date, int units) {
    switch (unit) {
    case AxisStrideComponent::day: return calendar::addingDays(date, units);
    case AxisStrideComponent::weekOfYear: return calendar::addingDays(date, 7 * units);
    case AxisStrideComponent::month: return calendar::addingMonths(date, units);
    case AxisStrideComponent::year: return calendar::addingMonths(date, 12 * units);
    }
    return date;
}

std::vector<platform::Date> stridedDates(Stride stride, platform::Date lower, platform::Date upper) {
    std::vector<platform::Date> marks;
    const platform::Date first = ChartMath::unitStart(stride.unit, lower);
    for (int step = 0; marks.size() < maximumDateMarks; ++step) {
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

} // namespace

DateAxisTicker::Marks DateAxisTicker::markDates(TimeRange range, platform::Date lower, platform::Date upper,
                                                platform::Date now) {
    const AxisStrideComponent unit = range.axisStrideComponent();
    const bool withYears = DateText::axisNamesYear(range, lower, upper, now);
    Marks marks;
    for (const Stride stride :
         {Stride{unit, TimeRange::axisStrideCount}, Stride{unit, 1}, Stride{AxisStrideComponent::day, 1}}) {
        marks = {stridedDates(stride, lower, upper), stride.unit, withYears};
        if (marks.dates.size() >= 2) {
            break;
        }
    }
    return marks;
}

QStringList DateAxisTicker::labels(const Marks& marks) {
    QStringList labels;
    for (const platform::Date mark : marks.dates) labels.append(DateText::axisLabel(mark, marks.unit, marks.withYears));
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
    Marks marks =
        markDates(range_, ChartMath::dateAt(range.lower), ChartMath::dateAt(range.upper), platform::currentDate());
    if (axis_ != nullptr && axis_->axisRect()->width() > 0) {
        const QFontMetricsF metrics(axis_->tickLabelFont());
        const QStringList texts = labels(marks);
        std::vector<double> positions;
        std::vector<double> widths;
        for (std::size_t index = 0; index < marks.dates.size(); ++index) {
            positions.push_back(axis_->coordToPixel(ChartMath::axisCoordinate(marks.dates[index])));
            widths.push_back(metrics.horizontalAdvance(texts[qsizetype(index)]));
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
