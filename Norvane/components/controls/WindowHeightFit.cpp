#include "Norvane/components/controls/WindowHeightFit.h"

#include <algorithm>

#include <QEvent>
#include <QScreen>
#include <QScrollArea>

namespace norvane::app {

WindowHeightFit::WindowHeightFit(QWidget& window, QSize usual, QScrollArea& area)
    : QObject(&window), window_(window), usual_(usual), area_(area) {
    if (QWidget* content = area_.widget()) follow(*content);
}

void WindowHeightFit::follow(QWidget& content) { content.installEventFilter(this); }

void WindowHeightFit::fit() {
    const QScreen* screen = window_.screen();
    const int most = screen ? screen->availableGeometry().height() : usual_.height();
    window_.setFixedSize(usual_.width(), std::max(usual_.height(), std::min(window_.height() + overflow(), most)));
}

int WindowHeightFit::overflow() const {
    const QWidget* content = area_.widget();
    if (!content) return 0;
    const int needed = content->heightForWidth(area_.viewport()->width());
    return (needed >= 0 ? needed : content->sizeHint().height()) - area_.viewport()->height();
}

bool WindowHeightFit::eventFilter(QObject* watched, QEvent* event) {
    // Fitted once the layouts have settled, so that the height asked then is the new one.
    if (watched == area_.widget() && event->type() == QEvent::LayoutRequest) {
        QMetaObject::invokeMethod(this, &WindowHeightFit::fit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace norvane::app
