#include "Norvane/components/charts/HoverHeader.h"

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QHBoxLayout>

namespace norvane::app {

HoverHeader::HoverHeader(QString placeholder, QColor placeholderColor, QWidget* parent)
    : QWidget(parent), placeholder_(std::move(placeholder)), placeholderColor_(std::move(placeholderColor)),
      leading_(new StyledLabel({}, Typography::font(TextStyle::caption), placeholderColor_)),
      trailing_(new StyledLabel({}, Typography::font(TextStyle::caption, QFont::DemiBold), Palette::textPrimary())) {
    setFixedHeight(16);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(leading_);
    layout->addStretch(1);
    layout->addWidget(trailing_);
    showPlaceholder();
}

void HoverHeader::showPlaceholder() {
    showingReadOut_ = false;
    leading_->setText(placeholder_);
    leading_->setColor(placeholderColor_);
    trailing_->clear();
    trailing_->hide();
}

void HoverHeader::showReadOut(const QString& dateText, const QString& valueText, const QColor& valueColor) {
    showingReadOut_ = true;
    leading_->setText(dateText);
    leading_->setColor(Palette::textSecondary());
    trailing_->setText(valueText);
    trailing_->setColor(valueColor);
    trailing_->show();
}

QString HoverHeader::leadingText() const { return leading_->text(); }

QString HoverHeader::trailingText() const { return showingReadOut_ ? trailing_->text() : QString(); }

} // namespace norvane::app
