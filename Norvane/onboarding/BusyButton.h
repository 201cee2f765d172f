#pragma once

#include "Norvane/cards/kit/BorderedButton.h"

namespace norvane::app {

class BusyIndicator;

/// A prominent button of a fixed width whose symbol gives way to a spinner while its operation
/// runs; its owner disables it meanwhile.
class BusyButton : public BorderedButton {
    Q_OBJECT
public:
    BusyButton(const QString& text, int width, const QString& symbol = {}, QWidget* parent = nullptr);

    bool isBusy() const { return busy_; }
    void setBusy(bool busy);
    const BusyIndicator& spinner() const { return *spinner_; }

private:
    QIcon symbolIcon_;
    BusyIndicator* spinner_;
    bool busy_ = false;
};

} // namespace norvane::app
