#pragma once

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

namespace norvane::app {

/// A soft glow around a card with rounded corners, as a drop shadow effect draws it, drawn by a
/// widget of its own just beneath the card in the card's parent, from one small picture stretched
/// around the card. The effect drew the card and its glow anew, into pictures of the card's size, at
/// each paint of the card: megabytes for a card as wide as a page.
class CardGlow : public QWidget {
    Q_OBJECT
public:
    struct Look {
        QColor color;
        int blurRadius;
        int cornerRadius;
        QPoint offset;
    };

    /// Puts a glow beneath `card`, which follows the card (its parent, place, size and visibility)
    /// and goes with it.
    static void attach(QWidget& card, const Look& look);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CardGlow(QWidget& card, const Look& look);
    void follow();
    int border() const;

    QWidget& card_;
    Look look_;
    QPixmap picture_;
};

} // namespace norvane::app
