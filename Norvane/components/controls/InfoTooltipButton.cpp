#include "Norvane/components/controls/InfoTooltipButton.h"

#include "Norvane/components/controls/Popover.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

InfoTooltipButton::InfoTooltipButton(MetricTooltip tooltip, QWidget* parent)
    : QAbstractButton(parent), tooltip_(tooltip),
      symbol_(new SymbolLabel(QStringLiteral("questionmark.circle"), Typography::pixelSize(TextStyle::caption),
                              Palette::textSecondary(), this)) {
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    symbol_->setAttribute(Qt::WA_TransparentForMouseEvents);
    symbol_->resize(symbol_->sizeHint());
    connect(this, &QAbstractButton::clicked, this, &InfoTooltipButton::toggle);
}

QSize InfoTooltipButton::sizeHint() const { return symbol_->sizeHint(); }

// The symbol child draws the button.
void InfoTooltipButton::paintEvent(QPaintEvent*) {}

void InfoTooltipButton::toggle() {
    if (showingPopover_) {
        popover_->close();
        return;
    }
    popover_ = new Popover(this);
    popover_->setAttribute(Qt::WA_DeleteOnClose);
    popover_->contentLayout()->setSpacing(8);
    popover_->contentLayout()->addWidget(
        new StyledLabel(tooltip_.title(), Typography::font(TextStyle::headline), Palette::textPrimary()));
    auto* description =
        new StyledLabel(tooltip_.description(), Typography::font(TextStyle::caption), Palette::textSecondary());
    description->setWordWrap(true);
    // Short texts keep their natural width; long ones wrap at 250 pixels.
    description->setFixedWidth(std::min(250, description->fontMetrics().horizontalAdvance(description->text()) + 1));
    popover_->contentLayout()->addWidget(description);
    connect(popover_, &Popover::closed, this, [this] {
        showingPopover_ = false;
        popover_ = nullptr;
    });
    showingPopover_ = true;
    popover_->open();
}

} // namespace norvane::app
