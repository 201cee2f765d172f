#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class QLayout;
class QScrollArea;
class QWidget;

namespace norvane::app {

/// Keeps what the reader of a scrolled page is looking at in place when content above it comes or
/// goes (a card shown by new figures, a strip during a collection, sections after an import). The
/// anchor is the lowest of the rows of `rows` that starts in the view, else the innermost one that
/// reaches the top of the view; when the layout moves it, the page scrolls by as much. A page
/// scrolled to its top is left to grow downwards. A section of `rows` that the reader opens or
/// closes is itself the anchor: its header stays under the pointer.
class ScrollAnchor : public QObject {
    Q_OBJECT
public:
    ScrollAnchor(QScrollArea& area, std::vector<QLayout*> rows);

    /// The row kept in place, if any.
    const QWidget* anchor() const { return anchor_; }
    /// Keeps `widget` where it stands in the view, until the reader scrolls: what the user acted
    /// on stays under the pointer while what its action changed above it grows or shrinks.
    void hold(QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Takes the row at the top of the view as the anchor, where the reader scrolled.
    void pickAnchor();
    void stopWatching();
    /// Keeps `row` at its present offset from the top of the view.
    void watch(QWidget& row);
    /// The scroll position that shows the anchor where the reader left it.
    int anchoredValue() const;
    /// Whether the scroll position only stands where the page's length lets it, short of the anchor.
    bool isHeldBack() const;
    void keepAnchor();
    int topInPage(const QWidget& widget) const;

    QScrollArea& area_;
    std::vector<QLayout*> rows_;
    QPointer<QWidget> anchor_;
    std::vector<QPointer<QWidget>> watched_;
    /// Where the anchor's top stands below the top of the view.
    int anchorOffset_ = 0;
    bool scrolling_ = false;
};

} // namespace norvane::app
