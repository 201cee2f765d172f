#pragma once

#include <limits>

#include <QColor>
#include <QWidget>

namespace norvane::app {

/// Text in one font and colour, wrapped on at most a given number of lines, the last one cut with
/// an ellipsis when the text runs longer. A word longer than the width, a path, breaks anywhere.
class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    /// As many lines as the text needs: nothing is ever cut.
    static constexpr int everyLine = std::numeric_limits<int>::max();

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
