#include "Norvane/sheets/SaveDialog.h"

#include <exception>

#include <QFileDialog>
#include <QFileInfo>

#include "Norvane/components/controls/FileDialogSetup.h"
#include "Norvane/state/SaveFolder.h"
#include "core/models/ChosenFile.h"

namespace norvane::app::SaveDialog {

QFileDialog* open(QWidget& owner, SaveFolder& folder, const QString& fileName, const QString& mimeType,
                  std::function<void(const QString& path)> chosen) {
    auto* dialog = new QFileDialog(&owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    FileDialogSetup::applyTo(*dialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setMimeTypeFilters({mimeType});
    dialog->setDefaultSuffix(QFileInfo(fileName).suffix());
    dialog->setDirectory(folder.folder());
    dialog->selectFile(fileName);
    QObject::connect(dialog, &QFileDialog::fileSelected, &owner,
                     [&folder, chosen = std::move(chosen)](const QString& path) {
                         if (path.isEmpty()) return;
                         folder.remember(path);
                         chosen(path);
                     });
    dialog->open();
    return dialog;
}

std::optional<QString> write(const QString& path, std::string_view contents) {
    try {
        ChosenFile(path.toStdString()).write(contents);
    } catch (const std::exception& failure) {
        return QString::fromStdString(failure.what());
    }
    return std::nullopt;
}

} // namespace norvane::app::SaveDialog
