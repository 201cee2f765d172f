#include "Norvane/components/charts/DateAxisTicker.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/text/DateText.h"
#include "platform/LocalCalendar.h"

#include <QLocale>

namespace norvane::app {

namespace calendar = platform::LocalCalendar;

namespace {

// A long axis still gets a bounded number of marks.
constexpr std::size_t maximumMarks = 400;

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

} // namespace

std::vector<platform::Date> DateAxisTicker::markDates(TimeRange range, platform::Date lower, platform::Date upper) {
    std::vector<platform::Date> marks;
    const AxisStrideComponent unit = range.axisStrideComponent();
    const platform::Date first = unitStart(unit, lower);
    for (int step = 0; marks.size() < maximumMarks; ++step) {
        const platform::Date mark = advance(unit, first, step * TimeRange::axisStrideCount);
        if (mark > upper) {
            break;
        }
        if (mark >= lower) {
            marks.push_back(mark);
        }
    }
    return marks;
}

QVector<double> DateAxisTicker::createTickVector(double, const QCPRange& range) {
    QVector<double> ticks;
    for (const platform::Date mark :
         markDates(range_, ChartMath::dateAt(range.lower), ChartMath::dateAt(range.upper))) {
        ticks.append(ChartMath::axisCoordinate(mark));
    }
    return ticks;
}

QString DateAxisTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return DateText::axisLabel(ChartMath::dateAt(tick), range_.axisDateFormat());
}

} // namespace norvane::app
