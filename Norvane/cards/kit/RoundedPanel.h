#pragma once

#include <QBrush>
#include <QColor>
#include <QWidget>

#include <optional>

class QBoxLayout;

namespace norvane::app {

/// A rounded panel: a fill (a colour or a gradient), an optional hairline border, and the content
/// in a box layout inset by the padding. A card is a panel of radius 12 on the raised background;
/// the boxes inside a card are panels of radius 8.
class RoundedPanel : public QWidget {
    Q_OBJECT
public:
    struct Look {
        double cornerRadius = 12.0;
        QBrush fill;
        std::optional<QColor> border;
        QMargins padding;
        int spacing = 12;
        Qt::Orientation orientation = Qt::Vertical;
    };

    explicit RoundedPanel(Look look, QWidget* parent = nullptr);

    /// A card: radius 12, the raised background, the default padding, a vertical stack.
    static Look card(int spacing);
    /// A box inside a card: radius 8, `fill`, `padding` on every edge.
    static Look box(const QBrush& fill, int padding, Qt::Orientation orientation, int spacing);
    /// A capsule (ends rounded to half its height), its content in a row: badges that hold more
    /// than one text or a symbol and a text.
    static Look capsule(const QBrush& fill, QMargins padding, int spacing);

    const Look& look() const { return look_; }
    QBoxLayout* contentLayout() const { return layout_; }
    /// Swaps the fill, for boxes whose colour follows their content.
    void setFill(const QBrush& fill);

    /// The platform's default padding.
    static constexpr int defaultPadding = 16;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_;
    QBoxLayout* layout_;
};

} // namespace norvane::app
