#pragma once

#include <QWidget>

namespace norvane::app {

class StyledLabel;

/// The 16-pixel line above a chart: a placeholder text, or the hovered date at the leading edge
/// and the hovered value at the trailing edge.
class HoverHeader : public QWidget {
    Q_OBJECT
public:
    HoverHeader(QString placeholder, QColor placeholderColor, QWidget* parent = nullptr);

    void showPlaceholder();
    void showReadOut(const QString& dateText, const QString& valueText, const QColor& valueColor);

    bool isShowingReadOut() const { return showingReadOut_; }
    QString leadingText() const;
    QString trailingText() const;
    const StyledLabel& leadingLabel() const { return *leading_; }
    const StyledLabel& trailingLabel() const { return *trailing_; }

private:
    QString placeholder_;
    QColor placeholderColor_;
    StyledLabel* leading_;
    StyledLabel* trailing_;
    bool showingReadOut_ = false;
};

} // namespace norvane::app
