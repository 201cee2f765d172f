#include "Norvane/pages/PanelPlacement.h"

#include <algorithm>

namespace norvane::app {
namespace {

constexpr int panelGap = 4;

/// The area of `windows` that `panel` covers, a part covered by two counted twice.
long long coveredArea(const QRect& panel, const std::vector<QRect>& windows) {
    long long covered = 0;
    for (const QRect& window : windows) {
        const QRect overlap = panel.intersected(window);
        covered += static_cast<long long>(overlap.width()) * overlap.height();
    }
    return covered;
}

/// `start` moved as little as needed for `length` to fit between `low` and `high` (inclusive).
int keptInside(int start, int length, int low, int high) { return std::max(low, std::min(start, high + 1 - length)); }

} // namespace

QPoint PanelPlacement::position(const QRect& icon, const QSize& panel, const QRect& area) {
    const int centredX = keptInside(icon.center().x() - panel.width() / 2, panel.width(), area.left(), area.right());
    const int below = std::max(icon.bottom() + 1, area.top()) + panelGap;
    if (below + panel.height() - 1 <= area.bottom()) return {centredX, below};
    const int above = std::min(icon.top(), area.bottom() + 1) - panelGap - panel.height();
    if (above >= area.top()) return {centredX, above};
    const int centredY = keptInside(icon.center().y() - panel.height() / 2, panel.height(), area.top(), area.bottom());
    const int right = std::max(icon.right() + 1, area.left()) + panelGap;
    if (right + panel.width() - 1 <= area.right()) return {right, centredY};
    return {std::min(icon.left(), area.right() + 1) - panelGap - panel.width(), centredY};
}

QPoint PanelPlacement::clearOf(const std::vector<QPoint>& places, const QSize& panel,
                               const std::vector<QRect>& windows) {
    QPoint best;
    long long least = -1;
    for (const QPoint& place : places) {
        const long long covered = coveredArea(QRect(place, panel), windows);
        if (covered == 0) return place;
        if (least < 0 || covered < least) {
            least = covered;
            best = place;
        }
    }
    return best;
}

} // namespace norvane::app
