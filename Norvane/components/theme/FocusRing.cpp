#include "Norvane/components/theme/FocusRing.h"

#include "Norvane/components/theme/Palette.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
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

/// Why the focus moves now: the focus event that the application sends before it says that the
/// focus changed.
class FocusReason : public QObject {
public:
    Qt::FocusReason reason = Qt::OtherFocusReason;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) reason = static_cast<QFocusEvent*>(event)->reason();
        return QObject::eventFilter(watched, event);
    }
};

/// Controls reached with Tab that took the focus other than from a click, or in a window where the
/// focus has moved by keyboard: wherever keys act unseen otherwise, as on a control that a window
/// focuses as it opens. Not the list that fills a combo box's popup, whose highlighted row shows
/// where the keys act.
bool marks(const QWidget* widget, Qt::FocusReason reason) {
    if (widget == nullptr || widget->isWindow() || !(widget->focusPolicy() & Qt::TabFocus)) return false;
    const QWidget* window = widget->window();
    if (window->windowType() == Qt::Popup && qobject_cast<const QAbstractItemView*>(widget)) return false;
    return reason != Qt::MouseFocusReason || window->testAttribute(Qt::WA_KeyboardFocusChange);
}

} // namespace

FocusRing::FocusRing() {
    static RingPlacement* placement = new RingPlacement;
    setStyle(placement);
}

void FocusRing::follow(QApplication& application) {
    auto* focusReason = new FocusReason;
    focusReason->setParent(&application);
    application.installEventFilter(focusReason);
    QObject::connect(&application, &QApplication::focusChanged, &application, [focusReason](QWidget*, QWidget* now) {
        if (!marks(now, focusReason->reason)) {
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

void FocusRing::restFocus(QWidget& window) { window.setFocus(Qt::OtherFocusReason); }

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
