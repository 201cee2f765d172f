#pragma once

#include <QWidget>

class QLabel;

namespace norvane::app {

/// The wizard's first step: the application's icon, what it does in three rows, and the short
/// setup that follows.
class WelcomeStepView : public QWidget {
    Q_OBJECT
public:
    static constexpr int iconSize = 80;

    explicit WelcomeStepView(QWidget* parent = nullptr);

    const QLabel& icon() const { return *icon_; }

private:
    QLabel* icon_;
};

} // namespace norvane::app
