#include "Norvane/sheets/SaveDialog.h"

#include <exception>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "Norvane/components/controls/FileDialogSetup.h"
#include "core/models/ChosenFile.h"

namespace norvane::app::SaveDialog {
namespace {

/// The folder of the file saved last in this run; empty before the first.
QString& lastFolder() {
    static QString folder;
    return folder;
}

} // namespace

QFileDialog* open(QWidget& owner, const QString& fileName, const QString& mimeType,
                  std::function<void(const QString& path)> chosen) {
    auto* dialog = new QFileDialog(&owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    FileDialogSetup::applyTo(*dialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setMimeTypeFilters({mimeType});
    dialog->setDefaultSuffix(QFileInfo(fileName).suffix());
    // Never the folder the program was started from, which the user did not choose.
    dialog->setDirectory(lastFolder().isEmpty() ? QDir::homePath() : lastFolder());
    dialog->selectFile(fileName);
    QObject::connect(dialog, &QFileDialog::fileSelected, &owner, [chosen = std::move(chosen)](const QString& path) {
        if (path.isEmpty()) return;
        lastFolder() = QFileInfo(path).absolutePath();
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
