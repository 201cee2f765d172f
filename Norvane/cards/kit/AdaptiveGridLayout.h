#pragma once

#include <QLayout>
#include <QList>

namespace norvane::app {

/// A grid of as many equal columns as fit the width, each at least `minimumColumnWidth` wide and
/// at least as wide as the widest item wants, filled row by row; every item keeps its preferred
/// size and sits centred at the top of its cell.
class AdaptiveGridLayout : public QLayout {
public:
    AdaptiveGridLayout(int minimumColumnWidth, int spacing, QWidget* parent = nullptr);
    ~AdaptiveGridLayout() override;

    /// The number of columns at `width`; at least 1.
    int columnCount(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    /// Places the items in `rect` (only measures when `apply` is false); returns the height used.
    int arrange(const QRect& rect, bool apply) const;
    /// The narrowest a column may be: the minimum, or the widest item's preferred width.
    int columnWidth() const;

    int minimumColumnWidth_;
    QList<QLayoutItem*> items_;
};

} // namespace norvane::app
