#include "Norvane/components/theme/FocusRing.h"

#include "Norvane/components/theme/Palette.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>

namespace norvane::app {
namespace {

constexpr double ringWidth = 2.0;
constexpr double ringRadius = 8.0;

/// Where the ring stands: `margin` pixels around the control, above its neighbours and the
/// containers that would cut it off (the window or a scroll area's viewport holds it).
class RingPlacement : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) return FocusRing::margin;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_FocusFrame_AboveWidget) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QPointer<FocusRing>& ring() {
    static QPointer<FocusRing> shown;
    return shown;
}

/// Controls reached with Tab, in a window where the focus has moved by keyboard; not the list
/// that fills a combo box's popup, whose highlighted row shows where the keys act.
bool marks(const QWidget* widget) {
    if (widget == nullptr || widget->isWindow() || !(widget->focusPolicy() & Qt::TabFocus)) return false;
    const QWidget* window = widget->window();
    if (window->windowType() == Qt::Popup && qobject_cast<const QAbstractItemView*>(widget)) return false;
    return window->testAttribute(Qt::WA_KeyboardFocusChange);
}

} // namespace

FocusRing::FocusRing() {
    static RingPlacement* placement = new RingPlacement;
    setStyle(placement);
}

void FocusRing::follow(QApplication& application) {
    QObject::connect(&application, &QApplication::focusChanged, &application, [](QWidget*, QWidget* now) {
        if (!marks(now)) {
            if (ring()) ring()->setWidget(nullptr);
            return;
        }
        // The ring goes with the window that holds it: a closed sheet takes its ring along.
        if (!ring()) ring() = new FocusRing;
        ring()->setWidget(now);
    });
}

const FocusRing* FocusRing::around(const QWidget& widget) {
    const FocusRing* shown = ring();
    return shown && shown->widget() == &widget && shown->isVisible() ? shown : nullptr;
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    const bool filtered = QFocusFrame::eventFilter(watched, event);
    // A control scrolled into sight after it took the focus brings its ring along: the frame
    // alone only shows itself when it is given a control.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && widget() && widget()->isVisible() &&
        parentWidget()) {
        const bool inSight = parentWidget()->rect().intersects(geometry());
        setVisible(inSight);
        if (inSight) raise();
    }
    return filtered;
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Palette::cyan(), ringWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = ringWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), ringRadius, ringRadius);
}

} // namespace norvane::app
