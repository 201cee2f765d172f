#pragma once

#include <QAbstractButton>

namespace norvane::app {

class Tween;

/// A filter chip: a caption on a capsule, white on blue while selected, secondary text on the
/// base background otherwise; the colours blend over 0.15 s when the selection changes. The owner
/// decides which chip is selected.
class FilterChip : public QAbstractButton {
    Q_OBJECT
public:
    explicit FilterChip(const QString& text, QWidget* parent = nullptr);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    QColor fillColor() const;
    QColor textColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool selected_ = false;
    Tween* selection_;
};

} // namespace norvane::app
