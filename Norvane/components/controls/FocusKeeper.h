#pragma once

#include <QPointer>
#include <QWidget>

namespace norvane::app {

/// Keeps the keyboard focus where the user acted while the controls wait for the work that the
/// action started. Disabling the focused control hands the focus on to the next one, where the
/// next Space would act, and there it would stay once the work ends. Held instead, the focus rests
/// nowhere while the work runs and comes back to the control when it ends, unless the user has put
/// it elsewhere meanwhile.
class FocusKeeper {
public:
    /// Takes the focus from the control in `area` that has it, if any; before the controls are
    /// disabled.
    void hold(QWidget& area);
    /// Gives it back to that control, once the controls are enabled again.
    void giveBack();

private:
    QPointer<QWidget> held_;
};

} // namespace norvane::app
