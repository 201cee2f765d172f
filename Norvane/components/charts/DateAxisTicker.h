#pragma once

#include "Norvane/components/charts/TimeRange.h"

#include <qcustomplot.h>

#include <vector>

namespace norvane::app {

/// Date-axis marks every 5 calendar units of a time range, labelled in its date format. The axis
/// coordinate is seconds since the epoch.
class DateAxisTicker : public QCPAxisTicker {
public:
    explicit DateAxisTicker(TimeRange range) : range_(range) {}

    void setTimeRange(TimeRange range) { range_ = range; }

    /// The marks between `lower` and `upper`: the start of the unit that holds `lower` (day, week
    /// or month in the local calendar), then every 5 units, keeping those inside the bounds.
    static std::vector<platform::Date> markDates(TimeRange range, platform::Date lower, platform::Date upper);

protected:
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
    int getSubTickCount(double) override { return 0; }

private:
    TimeRange range_;
};

} // namespace norvane::app
