#pragma once

#include <QWidget>

#include "Norvane/cards/VelocityRetentionComparisonCard.h"
#include "Norvane/pages/PortfolioState.h"

class QVBoxLayout;

namespace norvane::app {

class OutputCompositionCard;

/// The "Output Composition" section of the portfolio page: the composition of the chosen window
/// while there is one, and always the retention against the community's median.
class PortfolioOutputSection : public QWidget {
    Q_OBJECT

public:
    explicit PortfolioOutputSection(const PortfolioState& state, QWidget* parent = nullptr);

    void setState(const PortfolioState& state);

    /// The window choices of the composition card.
    static const QList<int>& dayOptions();
    static VelocityRetentionComparisonCard::Inputs comparisonInputs(const PortfolioState& state);

    /// None without a composition.
    OutputCompositionCard* composition() const { return composition_; }
    const VelocityRetentionComparisonCard& comparison() const { return *comparison_; }

signals:
    void compositionDaysChanged(int days);

private:
    QVBoxLayout* layout_;
    OutputCompositionCard* composition_ = nullptr;
    VelocityRetentionComparisonCard* comparison_ = nullptr;
};

} // namespace norvane::app
