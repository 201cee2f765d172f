#pragma once

#include <QList>
#include <QRectF>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace norvane::app {

class Tween;

/// A dark rounded track of text segments; the selected one sits on a raised, cyan-edged
/// highlight that slides to a newly clicked segment. The owner holds the value: a click reports
/// it through `selectionChanged`, and so do the left and right arrows, Home and End once Tab has reached it.
class OceanSegmentedPicker : public QWidget {
    Q_OBJECT
public:
    struct Option {
        QVariant value;
        QString label;
    };

    OceanSegmentedPicker(QVariant selection, QList<Option> options, QWidget* parent = nullptr);

    const QVariant& selection() const { return selection_; }
    /// Changes the selection without the slide.
    void setSelection(const QVariant& selection);
    const QList<Option>& options() const { return options_; }

    QStringList segmentLabels() const;
    /// The segment whose value equals the selection; none when no option matches.
    std::optional<int> selectedIndex() const;
    QRectF segmentRect(int index) const;
    /// Where the highlight is drawn now; none when no segment is selected.
    std::optional<QRectF> highlightRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void selectionChanged(const QVariant& selection);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// Selects segment `index` as a click does.
    void choose(int index);
    QSizeF segmentSize(int index) const;
    void paintHighlight(QPainter& painter, const QRectF& rect) const;

    QVariant selection_;
    QList<Option> options_;
    Tween* slide_;
    std::optional<QRectF> slideFrom_;
};

} // namespace norvane::app
