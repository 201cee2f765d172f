#include "Norvane/components/controls/FileDialogSetup.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include "Norvane/components/controls/FileTypesByName.h"

namespace norvane::app::FileDialogSetup {
namespace {

constexpr QSize dialogSize(760, 460);

/// Every column of the file list as wide as what it shows; the names take the rest.
void fitColumns(QFileDialog& dialog) {
    auto* files = dialog.findChild<QTreeView*>();
    if (!files) return;
    QHeaderView& header = *files->header();
    header.setStretchLastSection(false);
    header.setSectionResizeMode(QHeaderView::ResizeToContents);
    header.setSectionResizeMode(0, QHeaderView::Stretch);
}

} // namespace

void applyTo(QFileDialog& dialog) {
    FileTypesByName::applyTo(dialog);
    dialog.resize(dialogSize.expandedTo(dialog.sizeHint()));
    fitColumns(dialog);
}

} // namespace norvane::app::FileDialogSetup
