#include "Norvane/pages/PanelPlacement.h"

#include <algorithm>

namespace norvane::app {
namespace {

constexpr int gap = 4;

/// `start` moved as little as needed for `length` to fit between `low` and `high` (inclusive).
int keptInside(int start, int length, int low, int high) { return std::max(low, std::min(start, high + 1 - length)); }

} // namespace

QPoint PanelPlacement::position(const QRect& icon, const QSize& panel, const QRect& area) {
    const int centredX = keptInside(icon.center().x() - panel.width() / 2, panel.width(), area.left(), area.right());
    const int below = std::max(icon.bottom() + 1, area.top()) + gap;
    if (below + panel.height() - 1 <= area.bottom()) return {centredX, below};
    const int above = std::min(icon.top(), area.bottom() + 1) - gap - panel.height();
    if (above >= area.top()) return {centredX, above};
    const int centredY = keptInside(icon.center().y() - panel.height() / 2, panel.height(), area.top(), area.bottom());
    const int right = std::max(icon.right() + 1, area.left()) + gap;
    if (right + panel.width() - 1 <= area.right()) return {right, centredY};
    return {std::min(icon.left(), area.right() + 1) - gap - panel.width(), centredY};
}

} // namespace norvane::app
