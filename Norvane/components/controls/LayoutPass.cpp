#include "Norvane/components/controls/LayoutPass.h"

#include <vector>

#include <QLayout>
#include <QWidget>

namespace norvane::app::LayoutPass {
namespace {

std::vector<QWidget*> children(QWidget& parent) {
    std::vector<QWidget*> shown;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow()) shown.push_back(child);
    }
    return shown;
}

/// What Qt would show on its next turn: hidden, but never hidden on purpose.
void showWaiting(QWidget& parent) {
    for (QWidget* child : children(parent)) {
        if (child->isHidden() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide)) child->show();
        if (!child->isHidden()) showWaiting(*child);
    }
}

/// Each shown widget's size, from the innermost out, asked for again: a widget that changed while
/// its parent was hidden told no layout above it.
void measure(QWidget& parent) {
    for (QWidget* child : children(parent)) {
        if (!child->isHidden()) measure(*child);
    }
    parent.updateGeometry();
}

void place(QWidget& parent) {
    if (QLayout* layout = parent.layout()) layout->activate();
    for (QWidget* child : children(parent)) {
        if (!child->isHidden()) place(*child);
    }
}

} // namespace

void run(QWidget& root) {
    showWaiting(root);
    measure(root);
    place(root);
}

} // namespace norvane::app::LayoutPass
