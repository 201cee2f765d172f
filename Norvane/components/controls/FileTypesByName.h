#pragma once

#include <QAbstractFileIconProvider>

class QFileDialog;

namespace norvane::app {

/// The icons and types of the files that a file dialog lists, told by their names alone. Qt's own
/// provider guesses a file's type from its contents when its name does not tell, which reads the
/// listed files on the GUI thread: a file such as /proc/kmsg never answers, and the application
/// would freeze for good.
class FileTypesByName : public QAbstractFileIconProvider {
public:
    /// Makes `dialog` list files with the one shared provider, which outlives every dialog.
    static void applyTo(QFileDialog& dialog);

    /// A folder or a file, drawn from the symbols: the desktop's theme may have no icon for a
    /// place, and the dialog would then scale an empty picture for it.
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

} // namespace norvane::app
