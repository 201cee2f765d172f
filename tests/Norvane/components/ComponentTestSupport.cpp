#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/TestApplication.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QCursor>
#include <QTest>

namespace norvane::testing {

void ComponentTest::SetUp() {
    // One application for the run, themed once: applying the theme installs a new style.
    static const bool themed = [] {
        app::DarkTheme::apply(testApplication());
        return true;
    }();
    (void)themed;
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

bool showsText(const QWidget& widget, const QString& text) {
    const auto labels = widget.findChildren<app::StyledLabel*>();
    return std::any_of(labels.begin(), labels.end(),
                       [&text](const app::StyledLabel* label) { return label->isVisible() && label->text() == text; });
}

platform::Date daysAgo(int days) {
    return platform::LocalCalendar::addingDays(platform::LocalCalendar::startOfDay(platform::currentDate()), -days);
}

void movePointer(QWidget& widget, double x, double y) {
    QTest::mouseMove(&widget, QPointF(x, y).toPoint());
    QApplication::processEvents();
}

void leave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
    QApplication::processEvents();
}

void clickSegment(app::OceanSegmentedPicker& picker, int index) {
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.segmentRect(index).center().toPoint());
}

} // namespace norvane::testing
