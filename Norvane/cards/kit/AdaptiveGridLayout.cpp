#include "Norvane/cards/kit/AdaptiveGridLayout.h"

#include <QWidget>

#include <algorithm>

namespace norvane::app {

AdaptiveGridLayout::AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget* parent)
    : QLayout(parent), minimumColumnWidth_(minimumColumnWidth) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
}

AdaptiveGridLayout::~AdaptiveGridLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

int AdaptiveGridLayout::columnCount(int width) const {
    return std::max(1, (width + spacing()) / (columnWidth() + spacing()));
}

int AdaptiveGridLayout::columnWidth() const {
    int widest = minimumColumnWidth_;
    for (const QLayoutItem* item : items_) {
        widest = std::max(widest, item->sizeHint().width());
    }
    return widest;
}

void AdaptiveGridLayout::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* AdaptiveGridLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* AdaptiveGridLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QSize AdaptiveGridLayout::sizeHint() const {
    // All items in one row; the height at any other width comes from heightForWidth.
    const int columns = std::max(1, static_cast<int>(items_.size()));
    const int width = columns * columnWidth() + (columns - 1) * spacing();
    return {width, heightForWidth(width)};
}

QSize AdaptiveGridLayout::minimumSize() const { return {minimumColumnWidth_, heightForWidth(sizeHint().width())}; }

int AdaptiveGridLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

void AdaptiveGridLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int AdaptiveGridLayout::arrange(const QRect& rect, bool apply) const {
    const int columns = columnCount(rect.width());
    const double columnWidth = (rect.width() - (columns - 1) * spacing()) / static_cast<double>(columns);
    int top = rect.top();
    for (int first = 0; first < items_.size(); first += columns) {
        int rowHeight = 0;
        for (int column = 0; column < columns && first + column < items_.size(); ++column) {
            QLayoutItem* item = items_.at(first + column);
            const QSize size = item->sizeHint().boundedTo(QSize(static_cast<int>(columnWidth), QWIDGETSIZE_MAX));
            rowHeight = std::max(rowHeight, size.height());
            if (apply) {
                const double left = rect.left() + column * (columnWidth + spacing());
                item->setGeometry(QRect(static_cast<int>(left + (columnWidth - size.width()) / 2.0), top, size.width(),
                                        size.height()));
            }
        }
        top += rowHeight + spacing();
    }
    return items_.isEmpty() ? 0 : top - spacing() - rect.top();
}

} // namespace norvane::app
