#pragma once

#include <QList>
#include <QWidget>

namespace norvane::app {

class OceanSegmentedPicker;

/// The segmented picker of a number of days among the owner's options, 150 pixels wide.
class DaysPicker : public QWidget {
    Q_OBJECT
public:
    DaysPicker(int selection, const QList<int>& options, QWidget* parent = nullptr);

    int selection() const;
    void setSelection(int selection);
    const OceanSegmentedPicker& picker() const { return *picker_; }
    OceanSegmentedPicker& picker() { return *picker_; }

    /// "30d", "90d", "1yr" for 365, otherwise the number followed by "d".
    static QString optionLabel(int days);

signals:
    void selectionChanged(int selection);

private:
    OceanSegmentedPicker* picker_;
};

} // namespace norvane::app
