#include "Norvane/onboarding/WelcomeStepView.h"

#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/StepLayout.h"

namespace norvane::app {
namespace {

QWidget* makeFeatures() {
    const StepLayout::DetailLook look{TextStyle::title2, 32, 16, Typography::font(TextStyle::headline),
                                      TextStyle::subheadline};
    auto* features = makeColumn(12);
    features->addWidget(
        StepLayout::makeDetailRow(QStringLiteral("chart.line.uptrend.xyaxis"), QStringLiteral("Measure Leverage"),
                                  QStringLiteral("See how much faster you ship with AI assistance"), look));
    features->addWidget(StepLayout::makeDetailRow(QStringLiteral("clock.arrow.circlepath"),
                                                  QStringLiteral("Track Progress"),
                                                  QStringLiteral("Monitor your codebase growth over time"), look));
    features->addWidget(StepLayout::makeDetailRow(QStringLiteral("dollarsign.circle"), QStringLiteral("Quantify Value"),
                                                  QStringLiteral("Calculate the traditional cost of your output"),
                                                  look));
    auto* holder = StepLayout::padded(features, 40);
    features->setContentsMargins(40, 10, 40, 0);
    return holder;
}

} // namespace

WelcomeStepView::WelcomeStepView(QWidget* parent) : QWidget(parent), icon_(new QLabel) {
    const QIcon image(QStringLiteral(":/icons/norvane-80.png"));
    icon_->setPixmap(image.pixmap(QSize(iconSize, iconSize), devicePixelRatioF()));
    icon_->setFixedSize(iconSize, iconSize);

    auto* heading = makeColumn(8);
    heading->addWidget(StepLayout::makeCentredText(QStringLiteral("Welcome to Norvane"), TextStyle::title,
                                                   Palette::textPrimary(), QFont::Bold));
    heading->addWidget(StepLayout::makeCentredText(QStringLiteral("Track your AI-assisted development productivity"),
                                                   TextStyle::body, Palette::textSecondary()));

    auto* column = StepLayout::makeStepColumn(*this, 20);
    // Room above the icon, beyond the padding.
    column->setContentsMargins(16, 36, 16, 16);
    column->addWidget(icon_, 0, Qt::AlignHCenter);
    column->addLayout(heading);
    column->addWidget(makeFeatures(), 0, Qt::AlignHCenter);
    column->addStretch(1);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Let's get you set up in just a few steps"),
                                                  TextStyle::subheadline, Palette::textSecondary()));
}

} // namespace norvane::app
