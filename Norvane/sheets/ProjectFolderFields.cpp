#include "Norvane/sheets/ProjectFolderFields.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/components/controls/FileDialogSetup.h"
#include "Norvane/components/theme/Typography.h"
#include "core/models/ProjectInput.h"

namespace norvane::app::ProjectFolderFields {

QLineEdit* makeField(const QString& objectName, const QString& placeholder) {
    auto* field = new QLineEdit;
    field->setObjectName(objectName);
    field->setPlaceholderText(placeholder);
    field->setFont(Typography::font(TextStyle::body));
    return field;
}

QPushButton* makeBrowseButton(QWidget& owner, QLineEdit& name, QLineEdit& path) {
    auto* browse = new BorderedButton(QStringLiteral("Browse..."), BorderedButton::Prominence::standard);
    browse->setAutoDefault(false);
    QObject::connect(browse, &QPushButton::clicked, &owner, [&owner, &name, &path] {
        auto* dialog = new QFileDialog(&owner, QStringLiteral("Select the project folder to track"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        FileDialogSetup::applyTo(*dialog);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        // The folder typed so far, else the home folder: never the one the program started in.
        const QFileInfo typed(QString::fromStdString(ProjectInput::absoluteFolder(path.text().toStdString())));
        dialog->setDirectory(typed.isDir() ? typed.absoluteFilePath() : QDir::homePath());
        QObject::connect(dialog, &QFileDialog::fileSelected, &owner, [&name, &path](const QString& folder) {
            if (folder.isEmpty()) return;
            path.setText(folder);
            if (name.text().isEmpty()) name.setText(QDir(folder).dirName());
        });
        dialog->open();
    });
    return browse;
}

} // namespace norvane::app::ProjectFolderFields
