#include "Norvane/components/controls/DaysPicker.h"

#include "Norvane/components/controls/OceanSegmentedPicker.h"

#include <QHBoxLayout>

namespace norvane::app {

namespace {

QList<OceanSegmentedPicker::Option> dayOptions(const QList<int>& days) {
    QList<OceanSegmentedPicker::Option> options;
    for (const int count : days) {
        options.append({QVariant(count), DaysPicker::optionLabel(count)});
    }
    return options;
}

} // namespace

DaysPicker::DaysPicker(int selection, const QList<int>& options, QWidget* parent)
    : QWidget(parent), picker_(new OceanSegmentedPicker(selection, dayOptions(options))) {
    setFixedWidth(150);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picker_, 0, Qt::AlignCenter);
    connect(picker_, &OceanSegmentedPicker::selectionChanged, this,
            [this](const QVariant& value) { emit selectionChanged(value.toInt()); });
}

int DaysPicker::selection() const { return picker_->selection().toInt(); }

void DaysPicker::setSelection(int selection) { picker_->setSelection(selection); }

QString DaysPicker::optionLabel(int days) {
    if (days == 365) {
        return QStringLiteral("1yr");
    }
    return QString::number(days) + QStringLiteral("d");
}

} // namespace norvane::app
