#pragma once

#include <QColor>
#include <QWidget>

namespace norvane::app {

/// Text in one font and colour, wrapped on at most a given number of lines, the last one cut with
/// an ellipsis when the text runs longer.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    ElidedLabel(const QFont& font, const QColor& color, int maximumLines, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    /// The lines as drawn at the present width.
    QStringList shownLines() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList linesFor(int width) const;

    QString text_;
    QColor color_;
    int maximumLines_;
};

} // namespace norvane::app
