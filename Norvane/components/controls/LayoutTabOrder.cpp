#include "Norvane/components/controls/LayoutTabOrder.h"

#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace norvane::app::LayoutTabOrder {
namespace {

void collectLayout(const QLayout& layout, std::vector<QWidget*>& widgets) {
    for (int index = 0; index < layout.count(); ++index) {
        QLayoutItem* item = layout.itemAt(index);
        if (item->widget() != nullptr) {
            widgets.push_back(item->widget());
        } else if (item->layout() != nullptr) {
            collectLayout(*item->layout(), widgets);
        }
    }
}

/// The children of `widget` in the order its layout places them, then those it does not place.
std::vector<QWidget*> placedChildren(const QWidget& widget) {
    std::vector<QWidget*> children;
    if (widget.layout() != nullptr) collectLayout(*widget.layout(), children);
    for (QObject* object : widget.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow() &&
            std::find(children.begin(), children.end(), child) == children.end()) {
            children.push_back(child);
        }
    }
    return children;
}

void collectControls(QWidget& widget, std::vector<QWidget*>& controls) {
    // A widget that hands its focus to a child is reached through that child.
    if ((widget.focusPolicy() & Qt::TabFocus) && widget.focusProxy() == nullptr) controls.push_back(&widget);
    for (QWidget* child : placedChildren(widget)) collectControls(*child, controls);
}

} // namespace

void apply(QWidget& root) {
    std::vector<QWidget*> controls;
    collectControls(root, controls);
    for (std::size_t index = 1; index < controls.size(); ++index) {
        QWidget::setTabOrder(controls[index - 1], controls[index]);
    }
}

} // namespace norvane::app::LayoutTabOrder
