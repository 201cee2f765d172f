#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include <QString>

class QFileDialog;
class QWidget;

namespace norvane::app {

class SaveFolder;

/// Where the sheets save a file: the platform's save dialog, opened without blocking, and an
/// atomic write.
namespace SaveDialog {

/// Opens the save dialog over `owner` in `folder`, proposing `fileName` with the one type
/// `mimeType`; `chosen` runs with the path the user confirmed, which `folder` remembers, and
/// nothing runs when the user cancels.
QFileDialog* open(QWidget& owner, SaveFolder& folder, const QString& fileName, const QString& mimeType,
                  std::function<void(const QString& path)> chosen);

/// Writes `contents` to `path` as the tool writes its exports (see `ChosenFile`); the failure's
/// text, none when it was written.
std::optional<QString> write(const QString& path, std::string_view contents);

} // namespace SaveDialog
} // namespace norvane::app
