#pragma once

#include <QWidget>

namespace norvane::app {

class OnboardingWizardModel;

/// The wizard's marks of its steps: a circle per step and a bar between two, blue up to the
/// current step.
class StepIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int circleSize = 10;
    static constexpr int barWidth = 30;
    static constexpr int barHeight = 2;
    static constexpr int spacing = 8;

    explicit StepIndicator(const OnboardingWizardModel& model, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const OnboardingWizardModel& model_;
};

} // namespace norvane::app
