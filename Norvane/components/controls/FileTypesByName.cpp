#include "Norvane/components/controls/FileTypesByName.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>

namespace norvane::app {

void FileTypesByName::applyTo(QFileDialog& dialog) {
    // Dialogs do not own their provider, and their file system model may still ask it while they
    // are being destroyed.
    static auto* const shared = new FileTypesByName;
    dialog.setIconProvider(shared);
}

QIcon FileTypesByName::icon(const QFileInfo& info) const { return icon(info.isDir() ? Folder : File); }

QString FileTypesByName::type(const QFileInfo& info) const {
    // Folders, links and devices are told apart without reading them.
    if (!info.isFile()) return QAbstractFileIconProvider::type(info);
    const QMimeType mimeType = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return mimeType.comment().isEmpty() ? mimeType.name() : mimeType.comment();
}

} // namespace norvane::app
