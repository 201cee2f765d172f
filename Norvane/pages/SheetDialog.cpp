#include "Norvane/pages/SheetDialog.h"

#include <QVBoxLayout>

#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/sheets/Sheet.h"

namespace norvane::app {

SheetDialog::SheetDialog(QWidget& window) : QDialog(&window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
}

SheetDialog* SheetDialog::present(QWidget& window, Sheet* content) {
    auto* sheet = new SheetDialog(window);
    sheet->setWindowTitle(content->title());
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(content);
    sheet->setInteractiveDismissDisabled(content->isInteractiveDismissDisabled());
    connect(content, &Sheet::dismissRequested, sheet, &QDialog::accept);
    connect(content, &Sheet::interactiveDismissDisabledChanged, sheet, &SheetDialog::setInteractiveDismissDisabled);
    // Not its first control, the close button: a sheet that wants a field focused focuses it.
    FocusRing::restFocus(*sheet);
    sheet->open();
    return sheet;
}

void SheetDialog::reject() {
    if (!interactiveDismissDisabled_) QDialog::reject();
}

} // namespace norvane::app
