#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/state/CollectionProgress.h"

namespace norvane::app {

class BusyIndicator;
class StyledLabel;
class SymbolLabel;

/// The strip over a project's page while that project is collected: a spinner (a green check
/// once complete), the progress's status text and, while the history is imported, its percentage.
class CollectionProgressStrip : public RoundedPanel {
    Q_OBJECT
public:
    explicit CollectionProgressStrip(QWidget* parent = nullptr);

    void setProgress(const CollectionProgress& progress);

    QString statusText() const;
    /// Empty while no percentage is shown.
    QString percentText() const;
    bool showsCheckmark() const;

private:
    BusyIndicator* spinner_;
    SymbolLabel* checkmark_;
    StyledLabel* status_;
    StyledLabel* percent_;
};

} // namespace norvane::app
