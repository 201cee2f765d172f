#include "Norvane/components/controls/LayoutPass.h"

#include <QLayout>
#include <QWidget>

namespace norvane::app::LayoutPass {

void run(QWidget& root) {
    // A layout that nothing changed since it last placed its widgets returns at once.
    if (QLayout* layout = root.layout()) layout->activate();
    for (QWidget* child : root.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden() && !child->isWindow()) run(*child);
    }
}

} // namespace norvane::app::LayoutPass
