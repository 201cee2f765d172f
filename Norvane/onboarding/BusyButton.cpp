#include "Norvane/onboarding/BusyButton.h"

#include <QHBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/BusyIndicator.h"

namespace norvane::app {
namespace {

constexpr int spinnerSize = 13;

} // namespace

BusyButton::BusyButton(const QString& text, int width, const QString& symbol, QWidget* parent)
    : BorderedButton(text, Prominence::prominent, symbol, parent), symbolIcon_(icon()),
      spinner_(new BusyIndicator(spinnerSize)) {
    setFixedWidth(width);
    setAutoDefault(false);
    auto* row = makeRow(0);
    row->setContentsMargins(10, 0, 10, 0);
    row->addWidget(spinner_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    setLayout(row);
    spinner_->setVisible(false);
}

void BusyButton::setBusy(bool busy) {
    busy_ = busy;
    spinner_->setVisible(busy);
    setIcon(busy ? QIcon() : symbolIcon_);
}

} // namespace norvane::app
