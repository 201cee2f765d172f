#pragma once

#include <QColor>
#include <QWidget>

namespace norvane::app {

/// Draws one symbol of the registry in one colour, optionally rotated about its centre.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    SymbolLabel(QString symbolName, int pixelSize, QColor color, QWidget* parent = nullptr);

    const QString& symbolName() const { return symbolName_; }
    const QColor& color() const { return color_; }
    /// The colour drawn: `color`, or the disabled text colour while the label is disabled (as the
    /// text of a disabled button is).
    QColor shownColor() const;
    double rotation() const { return rotation_; }

    void setSymbolName(const QString& name);
    void setColor(const QColor& color);
    void setRotation(double degrees);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbolName_;
    int pixelSize_;
    QColor color_;
    double rotation_ = 0.0;
};

} // namespace norvane::app
