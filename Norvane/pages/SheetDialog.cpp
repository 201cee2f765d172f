#include "Norvane/pages/SheetDialog.h"

namespace norvane::app {

SheetDialog::SheetDialog(QWidget& window) : QDialog(&window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
}

void SheetDialog::reject() {
    if (!interactiveDismissDisabled_) QDialog::reject();
}

} // namespace norvane::app
