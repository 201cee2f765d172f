#include "Norvane/sheets/ProjectFolderFields.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/components/controls/FileTypesByName.h"
#include "Norvane/components/theme/Typography.h"

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
        FileTypesByName::applyTo(*dialog);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
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
