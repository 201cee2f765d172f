#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "core/analytics/OutputComposition.h"

#include <QList>

#include <array>
#include <cstdint>

namespace norvane::app {

class DaysPicker;

/// How the lines touched in a window of days split into code, docs, tests and config: a stacked
/// bar, a legend of shares and line counts, and the project phase the shares suggest. The owner
/// holds the window: a choice in the picker is only reported, and the picker shows the owner's
/// value until the owner passes a new one.
class OutputCompositionCard : public RoundedPanel {
    Q_OBJECT
public:
    struct Category {
        QString label;
        QColor color;
        const CategoryMetrics OutputComposition::*metrics;
    };
    struct PhaseLook {
        QString name;
        QString symbol;
        QColor color;
        QString sentence;
    };

    OutputCompositionCard(const OutputComposition& composition, int selectedDays, const QList<int>& dayOptions,
                          QWidget* parent = nullptr);

    void setComposition(const OutputComposition& composition);
    void setSelectedDays(int selectedDays);
    int selectedDays() const { return selectedDays_; }

    /// Code, docs, tests and config, in this order, with their labels and colours.
    static const std::array<Category, 4>& categories();
    /// The phase's name, symbol and sentence from the core, with the card's colour for it.
    static PhaseLook phaseLook(ProjectPhase phase);
    /// Millions as "2.5M", thousands as "1.5K", else the count and " lines".
    static QString formatLines(std::int64_t lines);

    const DaysPicker& picker() const { return *picker_; }
    DaysPicker& picker() { return *picker_; }

signals:
    /// The window the user picked; the owner decides whether to show it.
    void daysChanged(int days);

private:
    QWidget* makeLegend() const;
    QLayout* makePhaseRow() const;

    OutputComposition composition_;
    int selectedDays_;
    DaysPicker* picker_;
};

} // namespace norvane::app
