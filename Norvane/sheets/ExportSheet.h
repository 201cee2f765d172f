#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Norvane/sheets/Sheet.h"
#include "core/community/ExportFormat.h"
#include "core/community/IndexExport.h"

class QCheckBox;
class QPushButton;

namespace norvane::app {

class ErrorLine;
class OceanSegmentedPicker;
class SaveFolder;
class StyledLabel;

/// The sheet that writes out the index report its caller builds: JSON or CSV, project names
/// anonymised unless the user includes them, to the clipboard or a file. The preview shows the
/// report as it stands, read again when the caller says it changed; a copy or a save builds it anew
/// at that moment, so the file holds what the preview shows. A failure stays in the sheet as one
/// line.
class ExportSheet : public Sheet {
    Q_OBJECT

public:
    struct PreviewRow {
        QString label;
        QString value;
    };
    /// The text of one format, or why it could not be made.
    struct Generated {
        std::optional<std::string> text;
        QString error;
    };

    /// Builds the report from the caller's figures as they stand.
    using Document = std::function<IndexExport()>;

    /// A save opens in `saveFolder` and leaves it where the file went.
    ExportSheet(Document document, SaveFolder& saveFolder, QWidget* parent = nullptr);

    /// Shows the report as it stands now.
    void showDocument();

    /// The record as written: projects renamed "Project 1", "Project 2", ... in their order unless
    /// names are included, and `includesProjectNames` set to the choice.
    static IndexExport preparedExportData(const IndexExport& exportData, bool includeProjectNames);
    static std::vector<PreviewRow> previewRows(const IndexExport& exportData);
    static QString formatDescription(ExportFormat format);
    static QString privacyNote(bool includeProjectNames);
    static QString proposedFileName(ExportFormat format);
    /// Pretty-printed JSON or the CSV; a writer's failure becomes "Failed to generate export: ...".
    static Generated generate(const IndexExport& record, ExportFormat format);

    ExportFormat selectedFormat() const { return selectedFormat_; }
    OceanSegmentedPicker& formatPicker() const { return *format_; }
    QCheckBox& includeNamesBox() const { return *includeNames_; }
    QPushButton& copyButton() const { return *copy_; }
    QPushButton& saveButton() const { return *save_; }
    const ErrorLine& errorLine() const { return *error_; }

private:
    QWidget* makeBody();
    QWidget* makeFooter();
    QWidget* makePreview();
    void showChoices();
    std::optional<std::string> generateText();
    void copyToClipboard();
    void saveToFile();

    Document document_;
    SaveFolder& saveFolder_;
    std::vector<StyledLabel*> previewValues_;
    ExportFormat selectedFormat_ = ExportFormat::json;
    OceanSegmentedPicker* format_ = nullptr;
    StyledLabel* formatDescription_ = nullptr;
    QCheckBox* includeNames_ = nullptr;
    StyledLabel* privacyNote_ = nullptr;
    ErrorLine* error_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace norvane::app
