#include "Norvane/components/controls/ScrollAnchor.h"

#include "Norvane/components/controls/CollapsibleSection.h"

#include <QEvent>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace norvane::app {

ScrollAnchor::ScrollAnchor(QScrollArea& area, std::vector<QLayout*> rows)
    : QObject(&area), area_(area), rows_(std::move(rows)) {
    QScrollBar* bar = area.verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this] {
        if (!scrolling_ && !isHeldBack()) pickAnchor();
    });
    // The page grows after its rows move: the position catches up as the range allows.
    connect(bar, &QScrollBar::rangeChanged, this, &ScrollAnchor::keepAnchor);
    for (QLayout* layout : rows_) {
        for (int index = 0; index < layout->count(); ++index) {
            auto* section = qobject_cast<CollapsibleSection*>(layout->itemAt(index)->widget());
            if (section)
                connect(section, &CollapsibleSection::expansionAboutToChange, this,
                        [this, section] { hold(*section); });
        }
    }
}

int ScrollAnchor::topInPage(const QWidget& widget) const { return widget.mapTo(area_.widget(), QPoint(0, 0)).y(); }

void ScrollAnchor::stopWatching() {
    for (const auto& widget : watched_) {
        if (widget) widget->removeEventFilter(this);
    }
    watched_.clear();
    anchor_ = nullptr;
}

void ScrollAnchor::pickAnchor() {
    stopWatching();
    const QWidget* page = area_.widget();
    const int viewTop = area_.verticalScrollBar()->value();
    if (page == nullptr || viewTop == 0) return;
    const int viewBottom = viewTop + area_.viewport()->height();
    QWidget* lowestInView = nullptr;
    int lowestTop = 0;
    QWidget* atTop = nullptr;
    int atTopBottom = 0;
    for (QLayout* rows : rows_) {
        for (int index = 0; index < rows->count(); ++index) {
            QWidget* row = rows->itemAt(index)->widget();
            // An empty row (a holder of what is hidden) marks nothing that the reader sees.
            if (row == nullptr || !row->isVisibleTo(page) || row->height() == 0) continue;
            const int top = topInPage(*row);
            const int bottom = top + row->height();
            if (top >= viewTop && top < viewBottom && (lowestInView == nullptr || top > lowestTop)) {
                lowestInView = row;
                lowestTop = top;
            }
            if (bottom > viewTop && (atTop == nullptr || bottom < atTopBottom)) {
                atTop = row;
                atTopBottom = bottom;
            }
        }
    }
    if (QWidget* best = lowestInView ? lowestInView : atTop) watch(*best);
}

void ScrollAnchor::hold(QWidget& widget) {
    stopWatching();
    watch(widget);
}

void ScrollAnchor::watch(QWidget& row) {
    const QWidget* page = area_.widget();
    anchor_ = &row;
    anchorOffset_ = topInPage(row) - area_.verticalScrollBar()->value();
    // The row moves in the page when it moves in its parent, or a parent moves in the page.
    for (QWidget* widget = &row; widget != nullptr && widget != page; widget = widget->parentWidget()) {
        widget->installEventFilter(this);
        watched_.emplace_back(widget);
    }
}

bool ScrollAnchor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move) keepAnchor();
    return QObject::eventFilter(watched, event);
}

int ScrollAnchor::anchoredValue() const { return topInPage(*anchor_) - anchorOffset_; }

bool ScrollAnchor::isHeldBack() const {
    if (!anchor_) return false;
    const QScrollBar* bar = area_.verticalScrollBar();
    const int wanted = anchoredValue();
    return (bar->value() == bar->maximum() && wanted > bar->maximum()) ||
           (bar->value() == bar->minimum() && wanted < bar->minimum());
}

void ScrollAnchor::keepAnchor() {
    if (!anchor_) return;
    QScrollBar* bar = area_.verticalScrollBar();
    const int wanted = std::clamp(anchoredValue(), bar->minimum(), bar->maximum());
    if (bar->value() == wanted) return;
    scrolling_ = true;
    bar->setValue(wanted);
    scrolling_ = false;
}

} // namespace norvane::app
