#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"

#include <optional>

namespace norvane::app {

class BorderedButton;
class ProgressTrack;
class StyledLabel;
class SymbolLabel;

/// The invitation to join the anonymous community benchmark: what joining gives, how many
/// developers contribute and how close the next benchmark level is, and two buttons whose presses
/// the owner handles.
class OptInPromptCard : public RoundedPanel {
    Q_OBJECT
public:
    struct ContributorStatus {
        QString symbol;
        QColor color;
        QString text;
    };
    struct UnlockProgress {
        int target;
        /// The count over the target; the bar shows at most all of it.
        double fraction;
        QString caption;
    };

    explicit OptInPromptCard(int contributorCount, QWidget* parent = nullptr);

    void setContributorCount(int contributorCount);

    /// Below 100, 100 to 499, and 500 or more contributors each have their own line.
    static ContributorStatus contributorStatus(int contributorCount);
    /// The way to the next level (100, then 500); none from 500 contributors on.
    static std::optional<UnlockProgress> unlockProgress(int contributorCount);

    const SymbolLabel& statusSymbol() const { return *statusSymbol_; }
    const StyledLabel& statusLabel() const { return *statusText_; }
    const ProgressTrack& unlockBar() const { return *bar_; }
    const StyledLabel& unlockCaption() const { return *caption_; }
    BorderedButton& optInButton() const { return *optIn_; }
    BorderedButton& learnMoreButton() const { return *learnMore_; }

signals:
    void optInRequested();
    void learnMoreRequested();

private:
    QWidget* makeHeader() const;
    QWidget* makeStatusBox();
    QLayout* makeButtons();

    SymbolLabel* statusSymbol_ = nullptr;
    StyledLabel* statusText_ = nullptr;
    ProgressTrack* bar_ = nullptr;
    StyledLabel* caption_ = nullptr;
    BorderedButton* optIn_ = nullptr;
    BorderedButton* learnMore_ = nullptr;
};

} // namespace norvane::app
