#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/TestApplication.h"

#include <qcustomplot.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace norvane::testing {

QApplication& themedApplication() {
    // Themed once: applying the theme installs a new style.
    static const bool themed = [] {
        app::DarkTheme::apply(testApplication());
        return true;
    }();
    (void)themed;
    return testApplication();
}

void ComponentTest::SetUp() {
    themedApplication();
    app::Tween::setAnimationsEnabled(false);
    // Park the pointer far away, so no widget starts out hovered.
    QCursor::setPos(QPoint(5000, 5000));
}

void showAndSettle(QWidget& widget, int width) {
    // Content whose height follows its width (wrapped text, grids) is measured at `width`.
    const auto height = [&widget, width] {
        return std::max(widget.hasHeightForWidth() ? widget.heightForWidth(width) : widget.sizeHint().height(), 60);
    };
    widget.resize(width, height());
    widget.show();
    QApplication::processEvents();
    widget.resize(width, height());
    QApplication::processEvents();
    // Charts lay out their axes while plotting; pointer positions are taken after that.
    for (QCustomPlot* plot : widget.findChildren<QCustomPlot*>()) {
        plot->replot();
    }
}

namespace {

/// What a label shows, a wrapped one's too; empty for any other widget.
QString labelText(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    if (const auto* label = qobject_cast<const app::ElidedLabel*>(&widget)) return label->text();
    return {};
}

} // namespace

bool showsText(const QWidget& widget, const QString& text) {
    const auto labels = widget.findChildren<QWidget*>();
    return std::any_of(labels.begin(), labels.end(),
                       [&text](const QWidget* label) { return label->isVisible() && labelText(*label) == text; });
}

namespace {

/// Controls a user acts on.
bool isControl(const QWidget& widget) {
    return qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QLineEdit*>(&widget) ||
           qobject_cast<const QComboBox*>(&widget) || qobject_cast<const QAbstractSpinBox*>(&widget) ||
           qobject_cast<const app::OceanSegmentedPicker*>(&widget) || qobject_cast<const QAbstractItemView*>(&widget) ||
           qobject_cast<const QTabBar*>(&widget);
}

/// Controls a user acts on and texts a user reads.
bool isControlOrText(const QWidget& widget) { return !labelText(widget).isEmpty() || isControl(widget); }

QString nameOf(const QWidget& widget) {
    if (const auto text = labelText(widget); !text.isEmpty()) return text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget); button && !button->text().isEmpty()) {
        return button->text();
    }
    return widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className()) : widget.objectName();
}

/// The part of `widget` that its ancestors up to `window` leave visible, in window coordinates.
QRect visiblePart(const QWidget& widget, const QWidget& window) {
    QRect visible(widget.mapTo(&window, QPoint(0, 0)), widget.size());
    for (const QWidget* holder = widget.parentWidget(); holder && holder != &window; holder = holder->parentWidget()) {
        visible &= QRect(holder->mapTo(&window, QPoint(0, 0)), holder->size());
    }
    return visible & window.rect();
}

} // namespace

QStringList partsOutOfView(const QWidget& window) {
    QStringList cut;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible() || !isControlOrText(*widget)) continue;
        // A wrapped label draws all its lines, also those below the height it was given.
        const bool wrapped = qobject_cast<const app::ElidedLabel*>(widget) != nullptr;
        const int height =
            wrapped ? std::max(widget->height(), widget->heightForWidth(widget->width())) : widget->height();
        const QRect whole(widget->mapTo(&window, QPoint(0, 0)), QSize(widget->width(), height));
        if (visiblePart(*widget, window) != whole) cut << nameOf(*widget);
    }
    return cut;
}

platform::Date daysAgo(int days) {
    return platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(platform::currentDate()), -days);
}

platform::Date momentDaysAgo(int days) { return platform::LocalCalendar::addingDays(platform::currentDate(), -days); }

void movePointer(QWidget& widget, double x, double y) {
    QTest::mouseMove(&widget, QPointF(x, y).toPoint());
    QApplication::processEvents();
}

void turnWheel(QWidget& widget, QPointF at) {
    QWheelEvent turn(at, widget.mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&turn);
    QApplication::instance()->notify(&widget, &turn);
}

void leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
    QApplication::processEvents();
}

void clickSegment(app::OceanSegmentedPicker& picker, int index) {
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.segmentRect(index).center().toPoint());
}

std::vector<TabStop> tabAround() {
    constexpr int mostStops = 300;
    std::vector<TabStop> stops;
    // A window where no control has the focus yet (or the window itself has it) gives it to its
    // first control on the first Tab.
    if (QApplication::focusWidget() == nullptr || QApplication::focusWidget()->isWindow()) pressKey(Qt::Key_Tab);
    QWidget* start = QApplication::focusWidget();
    if (start == nullptr) return stops;
    for (int press = 0; press < mostStops; ++press) {
        pressKey(Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == nullptr) break;
        stops.push_back({now, app::FocusRing::around(*now) != nullptr});
        if (now == start) break;
    }
    return stops;
}

QStringList keyboardGaps(QWidget& window) {
    const auto stops = tabAround();
    QStringList gaps;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisible() || !control->isEnabled() || !isControl(*control)) continue;
        const QWidget* focused = control->focusProxy() ? control->focusProxy() : control;
        const auto stop =
            std::find_if(stops.begin(), stops.end(), [focused](const TabStop& each) { return each.widget == focused; });
        if (stop == stops.end()) {
            gaps << nameOf(*control) + QStringLiteral(" (not reached)");
        } else if (!stop->marked) {
            gaps << nameOf(*control) + QStringLiteral(" (no ring)");
        }
    }
    return gaps;
}

void pressKey(int key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : QApplication::activeWindow(), Qt::Key(key));
    QApplication::processEvents();
}

bool tabTo(const QWidget& widget) {
    for (const TabStop& stop : tabAround()) {
        if (stop.widget == &widget) {
            while (QApplication::focusWidget() != &widget) pressKey(Qt::Key_Tab);
            return true;
        }
    }
    return false;
}

bool ringDrawnAround(QWidget& widget) {
    QWidget* window = widget.window();
    QApplication::processEvents();
    const QImage picture = window->grab().toImage();
    const QPoint topLeft = widget.mapTo(window, QPoint(0, 0));
    const int middle = topLeft.y() + widget.height() / 2;
    const auto isRing = [&](int x) {
        const QColor seen = picture.pixelColor(x, middle);
        const QColor ring = app::Palette::cyan();
        return std::abs(seen.red() - ring.red()) + std::abs(seen.green() - ring.green()) +
                   std::abs(seen.blue() - ring.blue()) <
               90;
    };
    const int outside = app::FocusRing::margin / 2 + 1;
    return isRing(topLeft.x() - outside) && isRing(topLeft.x() + widget.width() - 1 + outside);
}

void expectFocusedAndMarked(const QWidget& control) {
    EXPECT_EQ(QApplication::focusWidget(), &control)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
    EXPECT_NE(app::FocusRing::around(control), nullptr);
}

} // namespace norvane::testing
