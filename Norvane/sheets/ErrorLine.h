#pragma once

#include <QWidget>

namespace norvane::app {

class StyledLabel;

/// The one line in which a sheet shows its last failure: an amber warning symbol and the message.
/// Hidden until there is a failure; the next one replaces it.
class ErrorLine : public QWidget {
    Q_OBJECT

public:
    explicit ErrorLine(QWidget* parent = nullptr);

    void showMessage(const QString& message);
    const StyledLabel& label() const { return *text_; }

private:
    StyledLabel* text_;
};

} // namespace norvane::app
