#pragma once

#include <QWidget>

class QPushButton;

namespace norvane::app {

/// The welcome screen of a portfolio without a project that is not archived: a greeting, four
/// features, three steps to start and one action, which asks the page for the add-project sheet.
class OnboardingView : public QWidget {
    Q_OBJECT

public:
    explicit OnboardingView(QWidget* parent = nullptr);

    QPushButton& addButton() const { return *add_; }

signals:
    void addProjectRequested();

private:
    QPushButton* add_;
};

} // namespace norvane::app
