#pragma once

#include <QWidget>

namespace norvane::app {

class StyledLabel;
class SymbolLabel;

/// The outcome of an operation, shown in place under its control in the caption font: a failure
/// in red after "exclamationmark.triangle", a success in green after "checkmark.circle.fill".
/// Hidden while it holds no text.
class CaptionMessage : public QWidget {
    Q_OBJECT
public:
    explicit CaptionMessage(QWidget* parent = nullptr);

    void showError(const QString& text);
    void showSuccess(const QString& text);
    void clear();

    QString text() const;
    bool isError() const { return isError_; }
    const SymbolLabel& symbol() const { return *symbol_; }

private:
    void show(const QString& text, bool isError);

    SymbolLabel* symbol_;
    StyledLabel* label_;
    bool isError_ = false;
};

} // namespace norvane::app
