#pragma once

#include <QWidget>

class QVBoxLayout;

namespace norvane::app {

/// The community's way to its contributor milestones: the count against the current target, a
/// bar in the milestone's colour, its message, and a marker for each target, coloured once reached.
class IndexProgressView : public QWidget {
    Q_OBJECT
public:
    explicit IndexProgressView(int contributorCount, QWidget* parent = nullptr);

    void setContributorCount(int contributorCount);

    /// "250 / 500": the count and the current target, without grouping.
    static QString countText(int contributorCount);

private:
    void rebuild();
    QWidget* makeMarkers() const;

    int contributorCount_;
    QVBoxLayout* column_;
};

} // namespace norvane::app
