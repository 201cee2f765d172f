#pragma once

#include <optional>

#include <QWidget>

namespace norvane::app {

class StyledLabel;

/// A failure under the control that caused it: a red caption after "exclamationmark.triangle",
/// centred, and wrapped only when it is wider than the step. Hidden while it holds no text.
class ErrorCaption : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumTextWidth = 420;

    explicit ErrorCaption(QWidget* parent = nullptr);

    /// Shows `text`, or hides the caption when there is none.
    void setMessage(const std::optional<QString>& text);
    QString text() const;

private:
    void scrollIntoView();

    StyledLabel* label_;
};

} // namespace norvane::app
