#include "Norvane/pages/SheetDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "Norvane/pages/PagePlaceholder.h"
#include "Norvane/sheets/Sheet.h"

namespace norvane::app {

SheetDialog::SheetDialog(QWidget& window) : QDialog(&window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
}

SheetDialog* SheetDialog::placeholder(QWidget& window, const QString& symbolName, const QString& title,
                                      const QString& description) {
    auto* sheet = new SheetDialog(window);
    sheet->setWindowTitle(title);
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(new PagePlaceholder(symbolName, title, description));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, sheet);
    connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::accept);
    layout->addWidget(buttons);
    return sheet;
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
    sheet->open();
    return sheet;
}

void SheetDialog::reject() {
    if (!interactiveDismissDisabled_) QDialog::reject();
}

} // namespace norvane::app
