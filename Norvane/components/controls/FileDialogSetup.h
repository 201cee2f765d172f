#pragma once

class QFileDialog;

namespace norvane::app {

/// What every file dialog of the application shares: files told apart by name, a size that shows a
/// file's name with its size, type and date, and columns as wide as what they show.
namespace FileDialogSetup {

void applyTo(QFileDialog& dialog);

} // namespace FileDialogSetup
} // namespace norvane::app
