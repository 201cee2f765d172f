#include "Norvane/components/controls/FileTypesByName.h"

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"

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

QIcon FileTypesByName::icon(IconType type) const {
    constexpr int symbolSize = 16;
    static const QIcon folder = SymbolRegistry::icon(QStringLiteral("folder"), symbolSize, Palette::textSecondary());
    static const QIcon file = SymbolRegistry::icon(QStringLiteral("doc.text"), symbolSize, Palette::textSecondary());
    return type == File ? file : folder;
}

QIcon FileTypesByName::icon(const QFileInfo& info) const { return icon(info.isDir() ? Folder : File); }

QString FileTypesByName::type(const QFileInfo& info) const {
    // Folders, links and devices are told apart without reading them.
    if (!info.isFile()) return QAbstractFileIconProvider::type(info);
    const QMimeType mimeType = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return mimeType.comment().isEmpty() ? mimeType.name() : mimeType.comment();
}

} // namespace norvane::app
