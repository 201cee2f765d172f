#pragma once

#include "Norvane/components/charts/TimeRange.h"

#include <QWidget>

namespace norvane::app {

class OceanSegmentedPicker;

/// The segmented picker of the four time ranges, 280 pixels wide.
class TimeRangePicker : public QWidget {
    Q_OBJECT
public:
    explicit TimeRangePicker(TimeRange selection, QWidget* parent = nullptr);

    TimeRange selection() const;
    void setSelection(TimeRange selection);
    const OceanSegmentedPicker& picker() const { return *picker_; }
    OceanSegmentedPicker& picker() { return *picker_; }

signals:
    void selectionChanged(norvane::app::TimeRange selection);

private:
    OceanSegmentedPicker* picker_;
};

} // namespace norvane::app
