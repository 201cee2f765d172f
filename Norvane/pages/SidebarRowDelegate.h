#pragma once

#include <QAbstractItemView>
#include <QStyledItemDelegate>

namespace norvane::app {

class SidebarModel;

/// Draws the sidebar's rows as wide as the list: the portfolio entry with its symbol, the section
/// headers, the "Get Started" block, and each project as its coloured dot, its name and its line of
/// detail, each cut with an ellipsis when it is longer than the row.
class SidebarRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    SidebarRowDelegate(const SidebarModel& model, QAbstractItemView& list);

    /// The row's text as drawn in a row `width` pixels wide.
    QString shownText(const QModelIndex& index, int width) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintProject(QPainter& painter, const QRect& bounds, const QModelIndex& index) const;
    void paintEmptyState(QPainter& painter, const QRect& bounds) const;
    QRect emptyStateHintBounds(int width) const;

    const SidebarModel& model_;
    QAbstractItemView& list_;
};

} // namespace norvane::app
