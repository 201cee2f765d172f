#pragma once

#include <QWidget>

#include "Norvane/pages/CostComparison.h"

namespace norvane::app {

class RoundedPanel;
class StyledLabel;

/// The project page's "Cost Estimates": the COCOMO and the market-rate card side by side, and a
/// sentence on how far they agree when both cost something.
class CostEstimatesView : public QWidget {
    Q_OBJECT
public:
    explicit CostEstimatesView(QWidget* parent = nullptr);

    void setComparison(const CostComparison& comparison);

    /// The three lines of each card, top to bottom.
    QStringList cocomoTexts() const;
    QStringList marketTexts() const;
    const RoundedPanel& marketCard() const { return *marketCard_; }
    /// Empty while the sentence is hidden.
    QString comparisonText() const;

private:
    struct Card {
        RoundedPanel* panel;
        std::array<StyledLabel*, 3> lines;
    };
    static Card makeCard(const QColor& color);

    Card cocomo_;
    Card market_;
    RoundedPanel* marketCard_;
    QWidget* comparisonRow_;
    StyledLabel* comparison_;
};

} // namespace norvane::app
