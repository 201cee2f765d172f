#pragma once

#include "Norvane/components/charts/TimeRange.h"

#include <qcustomplot.h>

#include <QStringList>

#include <vector>

namespace norvane::app {

/// Date-axis marks every 5 calendar units of a time range, labelled in its date format. The axis
/// coordinate is seconds since the epoch.
class DateAxisTicker : public QCPAxisTicker {
public:
    /// `axis` is the axis the ticker marks: its width and font decide which labels fit.
    DateAxisTicker(TimeRange range, const QCPAxis* axis) : range_(range), axis_(axis) {}

    void setTimeRange(TimeRange range) { range_ = range; }

    struct Marks {
        std::vector<platform::Date> dates;
        AxisStrideComponent unit = AxisStrideComponent::day;
        /// Whether each label names its year (`DateText::axisNamesYear`).
        bool withYears = false;
    };

    /// The marks between `lower` and `upper`: the start of the unit that holds `lower` (day, week
    /// or month in the local calendar), then every 5 units, keeping those inside the bounds. An
    /// axis too short to hold two such marks is marked every unit, then every day, so that it
    /// still reads its dates.
    static Marks markDates(TimeRange range, platform::Date lower, platform::Date upper, platform::Date now);
    /// Day and month for marks by day or week, the month for marks by month; each with its year
    /// where the axis names years.
    static QStringList labels(const Marks& marks);
    /// The marks kept so that no two labels overlap: every one, else every second, third...
    /// `positions` are the marks' pixels along the axis and `widths` their labels' widths.
    static std::vector<std::size_t> legibleMarks(const std::vector<double>& positions,
                                                 const std::vector<double>& widths);

protected:
    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision, QVector<double>& ticks,
                  QVector<double>* subTicks, QVector<QString>* tickLabels) override;

private:
    TimeRange range_;
    const QCPAxis* axis_;
};

} // namespace norvane::app
