#include "Norvane/pages/CollectionProgressStrip.h"

#include <QBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/pages/ProjectDetailModel.h"

namespace norvane::app {

CollectionProgressStrip::CollectionProgressStrip(QWidget* parent)
    : RoundedPanel(box(Palette::withOpacity(Palette::blue(), 0.1), defaultPadding, Qt::Horizontal, 12), parent),
      spinner_(new BusyIndicator(13)),
      checkmark_(makeSymbol(QStringLiteral("checkmark.circle.fill"), TextStyle::subheadline, Palette::green())),
      status_(makeLabel({}, TextStyle::subheadline, Palette::textPrimary())),
      percent_(makeLabel({}, TextStyle::caption, Palette::textSecondary())) {
    auto* layout = contentLayout();
    layout->addWidget(spinner_);
    layout->addWidget(checkmark_);
    layout->addWidget(status_);
    layout->addStretch(1);
    layout->addWidget(percent_);
}

void CollectionProgressStrip::setProgress(const CollectionProgress& progress) {
    const bool complete = progress.phase == CollectionProgress::Phase::complete;
    spinner_->setVisible(!complete);
    checkmark_->setVisible(complete);
    status_->setText(progress.statusText());
    const auto percent = ProjectDetailModel::progressPercentText(progress);
    percent_->setText(percent.value_or(QString()));
    percent_->setVisible(percent.has_value());
}

QString CollectionProgressStrip::statusText() const { return status_->text(); }

QString CollectionProgressStrip::percentText() const { return percent_->isHidden() ? QString() : percent_->text(); }

bool CollectionProgressStrip::showsCheckmark() const { return !checkmark_->isHidden(); }

} // namespace norvane::app
