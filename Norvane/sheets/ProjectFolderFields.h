#pragma once

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace norvane::app {

/// The fields that name a project and its folder, as the add-project sheet and the first-run
/// wizard show them.
namespace ProjectFolderFields {

/// A one-line field in the body font, with its object name and its placeholder.
QLineEdit* makeField(const QString& objectName, const QString& placeholder);
/// "Browse...": the platform's folder dialog, opened without blocking. The chosen folder fills
/// `path`, and `name` while it is empty.
QPushButton* makeBrowseButton(QWidget& owner, QLineEdit& name, QLineEdit& path);

} // namespace ProjectFolderFields
} // namespace norvane::app
