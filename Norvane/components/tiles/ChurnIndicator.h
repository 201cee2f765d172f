#pragma once

#include "Norvane/components/tiles/TileFrame.h"

#include <QColor>

#include <cstdint>

class QHBoxLayout;

namespace norvane::app {

class StyledLabel;
class SymbolLabel;

/// A tile that names the kind of recent work by its churn ratio, states the ratio and the net
/// direction, shows the added and removed line counts, and explains the ratio on hover.
class ChurnIndicator : public TileFrame {
    Q_OBJECT
public:
    struct Kind {
        QString symbol;
        QString label;
        QColor color;
    };

    ChurnIndicator(double churnRatio, double netGrowthRate, std::int64_t insertions, std::int64_t deletions,
                   QWidget* parent = nullptr);

    void setValues(double churnRatio, double netGrowthRate, std::int64_t insertions, std::int64_t deletions);

    /// Building below 1.3, Mixed below 1.7, otherwise (and for a ratio that is not a number)
    /// Refactoring.
    static Kind churnLabel(double churnRatio);
    /// "1.4x churn, net growth".
    static QString summaryText(double churnRatio, double netGrowthRate);
    /// What the tile reads when no line was added or removed: no ratio and no direction to
    /// name, and nothing to count in colour.
    static Kind quietKind();
    static QString quietSummary();
    /// A line count's colour: `color` while lines were counted, muted for none.
    static QColor countColor(std::int64_t count, const QColor& color);
    /// Above 999: thousands with one decimal and a lower-case k ("1.5k"); else the plain digits.
    static QString countText(std::int64_t count);
    static QString tooltipText(double churnRatio, double netGrowthRate, std::int64_t insertions,
                               std::int64_t deletions);

    const SymbolLabel& kindSymbol() const { return *kindSymbol_; }
    const StyledLabel& kindLabel() const { return *kindLabel_; }
    const StyledLabel& summaryLabel() const { return *summary_; }
    const StyledLabel& insertionsLabel() const { return *insertions_.text; }
    const StyledLabel& deletionsLabel() const { return *deletions_.text; }

private:
    struct Count {
        SymbolLabel* symbol = nullptr;
        StyledLabel* text = nullptr;
        QColor color;
    };

    static Count addCount(QHBoxLayout* layout, const QString& symbol, const QColor& color);
    static void showCount(const Count& count, const QString& sign, std::int64_t lines);

    SymbolLabel* kindSymbol_;
    StyledLabel* kindLabel_;
    StyledLabel* summary_;
    Count insertions_;
    Count deletions_;
};

} // namespace norvane::app
