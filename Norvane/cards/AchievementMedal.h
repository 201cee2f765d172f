#pragma once

#include <QBrush>
#include <QWidget>

namespace norvane::app {

/// One achievement's medal, drawn in one piece. Earned: a 50-pixel disc in the tier's gradient
/// with the emoji in its own colours; locked: a disc on the base background with a lock. Both
/// carry the title under the disc on one line, cut short when the cell is narrower. In progress:
/// a 36-pixel ring in the tier's colour with the emoji faded, and no title.
class AchievementMedal : public QWidget {
    Q_OBJECT
public:
    enum class Kind { earned, locked, ring };

    /// `fill` is the earned disc's gradient or the ring's colour.
    AchievementMedal(Kind kind, QString emoji, QString title, QBrush fill, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    const QString& title() const { return title_; }
    /// The registry symbol drawn on the disc; empty when the emoji is drawn.
    QString symbolName() const;
    /// The title as drawn at the current width.
    QString shownTitle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int discDiameter() const;
    void paintDisc(QPainter& painter, const QRectF& disc) const;

    Kind kind_;
    QString emoji_;
    QString title_;
    QBrush fill_;
};

} // namespace norvane::app
