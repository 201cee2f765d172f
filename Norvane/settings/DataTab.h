#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include <QWidget>

#include "Norvane/settings/SettingsServices.h"
#include "Norvane/state/SaveFolder.h"
#include "platform/Date.h"

class QPushButton;

namespace norvane::app {

class CaptionMessage;
class LinkButton;
class StyledLabel;

/// The settings window's data tab: where the store lives, shown in the file manager on a click,
/// its size, and the export of all data through the command-line tool, whose outcome it shows.
class DataTab : public QWidget {
    Q_OBJECT
public:
    explicit DataTab(const SettingsServices& services, QWidget* parent = nullptr);

    /// "norvane-export-2026-12-05T15:47:18Z.json": the moment in UTC.
    static QString exportFileName(platform::Date now);
    /// The store file's bytes with its write-ahead log and shared-memory files; none when the
    /// store file cannot be examined.
    static std::optional<std::int64_t> storeSize(const std::filesystem::path& storeFile);
    /// Decimal units as file sizes are written: "Zero bytes", "812 bytes", "48 KB", "1.3 MB", "2.05 GB".
    static QString sizeText(std::int64_t bytes);
    /// The store's folder, the home folder written as "~": "~/.local/share/Norvane/".
    static QString locationText(const std::filesystem::path& storeFile, const std::filesystem::path& home);

    LinkButton& locationLink() const { return *location_; }
    /// The size row's text while it is shown, else empty.
    QString shownSize() const;
    QPushButton& exportButton() const { return *export_; }
    const CaptionMessage& exportMessage() const { return *exportMessage_; }

    /// Runs "norvane export -o PATH" on a worker and shows whether the file was written.
    void exportTo(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void exportAllData();
    void refreshSize();

    SettingsServices services_;
    /// Where its saves open when the application gave it no folder to share.
    SaveFolder ownSaveFolder_;
    int exportGeneration_ = 0;
    LinkButton* location_;
    QWidget* sizeRow_ = nullptr;
    StyledLabel* size_;
    QPushButton* export_;
    CaptionMessage* exportMessage_;
};

} // namespace norvane::app
