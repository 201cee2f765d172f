#include "Norvane/components/controls/TimeRangePicker.h"

#include "Norvane/components/controls/OceanSegmentedPicker.h"

#include <QHBoxLayout>

namespace norvane::app {

namespace {

QList<OceanSegmentedPicker::Option> rangeOptions() {
    QList<OceanSegmentedPicker::Option> options;
    for (const TimeRange range : TimeRange::allCases()) {
        options.append({QVariant(static_cast<int>(range.value())), range.rawValue()});
    }
    return options;
}

} // namespace

TimeRangePicker::TimeRangePicker(TimeRange selection, QWidget* parent)
    : QWidget(parent), picker_(new OceanSegmentedPicker(static_cast<int>(selection.value()), rangeOptions())) {
    setFixedWidth(280);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picker_, 0, Qt::AlignCenter);
    connect(picker_, &OceanSegmentedPicker::selectionChanged, this,
            [this](const QVariant& value) { emit selectionChanged(static_cast<TimeRange::Case>(value.toInt())); });
}

TimeRange TimeRangePicker::selection() const { return static_cast<TimeRange::Case>(picker_->selection().toInt()); }

void TimeRangePicker::setSelection(TimeRange selection) { picker_->setSelection(static_cast<int>(selection.value())); }

} // namespace norvane::app
