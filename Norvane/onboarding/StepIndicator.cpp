#include "Norvane/onboarding/StepIndicator.h"

#include <QPainter>

#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"

namespace norvane::app {

StepIndicator::StepIndicator(const OnboardingWizardModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    connect(&model, &OnboardingWizardModel::changed, this, qOverload<>(&QWidget::update));
}

QSize StepIndicator::sizeHint() const {
    const int bars = onboardingStepCount - 1;
    return {onboardingStepCount * circleSize + bars * barWidth + 2 * bars * spacing, circleSize};
}

void StepIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto fill = [](bool reached) { return reached ? Palette::blue() : Palette::backgroundRaised(); };
    double x = (width() - sizeHint().width()) / 2.0;
    const double middle = height() / 2.0;
    for (int index = 0; index < onboardingStepCount; ++index) {
        const auto step = OnboardingStep(index);
        painter.setBrush(fill(model_.isStepReached(step)));
        painter.drawEllipse(QRectF(x, middle - circleSize / 2.0, circleSize, circleSize));
        x += circleSize + spacing;
        if (step == OnboardingStep::completion) break;
        painter.setBrush(fill(model_.isConnectionComplete(step)));
        painter.drawRect(QRectF(x, middle - barHeight / 2.0, barWidth, barHeight));
        x += barWidth + spacing;
    }
}

} // namespace norvane::app
