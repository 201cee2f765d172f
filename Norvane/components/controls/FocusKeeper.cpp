#include "Norvane/components/controls/FocusKeeper.h"

#include <QApplication>

namespace norvane::app {

void FocusKeeper::hold(QWidget& area) {
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || (focused != &area && !area.isAncestorOf(focused))) return;
    held_ = focused;
    focused->clearFocus();
}

void FocusKeeper::giveBack() {
    QWidget* control = held_;
    held_ = nullptr;
    if (control == nullptr || !control->isEnabled() || !control->isVisible()) return;
    const QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && focused->window() == control->window()) return;
    control->setFocus(Qt::OtherFocusReason);
}

} // namespace norvane::app
