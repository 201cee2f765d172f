#pragma once

#include "Norvane/components/tiles/HeroMetric.h"

#include <QColor>
#include <QWidget>

namespace norvane::app {

class GlowText;
class StyledLabel;
class SymbolLabel;

/// One headline figure: the glowing value, its label in spaced capitals, an optional delta with
/// an arrow and an optional sublabel.
class HeroMetricCard : public QWidget {
    Q_OBJECT
public:
    explicit HeroMetricCard(const HeroMetric& metric, QWidget* parent = nullptr);

    void setMetric(const HeroMetric& metric);

    /// Text-secondary for "--" or an empty value, else cyan.
    static QColor valueColor(const QString& value);
    /// Clear for "--" or an empty value, else cyan.
    static QColor glowColor(const QString& value);
    /// "arrow.up" from zero up, else "arrow.down" (also for a value that is not a number).
    static QString deltaSymbol(double value);
    static QColor deltaColor(double value);
    /// The height of a card that shows every row, change and sublabel included.
    static int fullHeight();

    const GlowText& valueText() const { return *value_; }
    const StyledLabel& label() const { return *label_; }
    /// The delta row, hidden when the metric has no delta.
    const QWidget& deltaRow() const { return *deltaRow_; }
    const SymbolLabel& deltaArrow() const { return *deltaArrow_; }
    const StyledLabel& deltaText() const { return *deltaText_; }
    const StyledLabel& sublabel() const { return *sublabel_; }

private:
    GlowText* value_;
    StyledLabel* label_;
    QWidget* deltaRow_;
    SymbolLabel* deltaArrow_;
    StyledLabel* deltaText_;
    StyledLabel* sublabel_;
};

} // namespace norvane::app
