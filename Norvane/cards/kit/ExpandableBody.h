#pragma once

#include <QWidget>

namespace norvane::app {

class Tween;

/// The part of a card below its header that folds away: expanding and collapsing ease its height
/// in and out over 0.2 s (at once while animations are off); collapsed, it is hidden.
class ExpandableBody : public QWidget {
    Q_OBJECT
public:
    explicit ExpandableBody(bool expanded, QWidget* parent = nullptr);

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    /// The share of the content's height shown now, 0...1.
    double openness() const;

private:
    /// The content's height at the current width.
    int fullHeight() const;
    void showOpenness(double openness);

    bool expanded_;
    Tween* tween_;
};

} // namespace norvane::app
