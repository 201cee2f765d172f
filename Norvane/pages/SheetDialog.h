#pragma once

#include <QDialog>

namespace norvane::app {

class Sheet;

/// A sheet: a dialog modal to the window it belongs to, opened without blocking the event loop.
/// With interactive dismissal off, Escape and the window's close button leave it open; it then
/// closes only through its own controls (accept or done).
class SheetDialog : public QDialog {
    Q_OBJECT

public:
    explicit SheetDialog(QWidget& window);

    /// Opens `content` as a sheet of `window`: its own controls close it, and Escape and the
    /// close button follow its interactive dismissal.
    static SheetDialog* present(QWidget& window, Sheet* content);

    void setInteractiveDismissDisabled(bool disabled) { interactiveDismissDisabled_ = disabled; }
    /// Escape and the close button both end here.
    void reject() override;

private:
    bool interactiveDismissDisabled_ = false;
};

} // namespace norvane::app
