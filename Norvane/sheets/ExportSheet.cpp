#include "Norvane/sheets/ExportSheet.h"

#include <algorithm>
#include <exception>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QScrollArea>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/ScrollTabStop.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/sheets/ErrorLine.h"
#include "Norvane/sheets/SaveDialog.h"
#include "platform/RawValueEnum.h"

namespace norvane::app {
namespace {

constexpr int exportSheetWidth = 450;
constexpr int sheetHeight = 500;

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QBoxLayout* section(const QString& title) {
    auto* column = makeColumn(8);
    column->addWidget(makeLabel(title, TextStyle::subheadline, Palette::textPrimary(), QFont::Medium));
    return column;
}

} // namespace

ExportSheet::ExportSheet(Document document, SaveFolder& saveFolder, QWidget* parent)
    : Sheet(QStringLiteral("Export Norvane Index Data"), parent), document_(std::move(document)),
      saveFolder_(saveFolder) {
    setFixedSize(exportSheetWidth, sheetHeight);
    auto* layout = makeColumn(0);
    setLayout(layout);
    layout->addWidget(makeHeader());
    layout->addWidget(new Divider);
    layout->addWidget(makeBody(), 1);
    layout->addWidget(new Divider);
    layout->addWidget(makeFooter());
    showChoices();
}

QWidget* ExportSheet::makeBody() {
    format_ = new OceanSegmentedPicker(int(selectedFormat_), rawValueOptions<ExportFormat>());
    connect(format_, &OceanSegmentedPicker::selectionChanged, this, [this](const QVariant& format) {
        format_->setSelection(format);
        selectedFormat_ = ExportFormat(format.toInt());
        showChoices();
    });
    formatDescription_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    formatDescription_->setWordWrap(true);
    auto* formatSection = section(QStringLiteral("Export Format"));
    formatSection->addWidget(format_);
    formatSection->addWidget(formatDescription_);

    includeNames_ = new QCheckBox(QStringLiteral("Include project names"));
    includeNames_->setFont(Typography::font(TextStyle::body));
    // The box stands out from the sheet's dark background.
    QPalette colours = includeNames_->palette();
    colours.setColor(QPalette::Base, Palette::backgroundRaised().lighter(160));
    includeNames_->setPalette(colours);
    connect(includeNames_, &QCheckBox::toggled, this, &ExportSheet::showChoices);
    privacyNote_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    auto* privacy = section(QStringLiteral("Privacy"));
    privacy->addWidget(includeNames_);
    privacy->addWidget(privacyNote_);

    auto* preview = section(QStringLiteral("Data Preview"));
    preview->addWidget(makePreview());

    error_ = new ErrorLine;

    auto* body = makeColumn(20);
    body->setContentsMargins(16, 16, 16, 16);
    body->addLayout(formatSection);
    body->addLayout(privacy);
    body->addLayout(preview);
    body->addWidget(error_);
    body->addStretch(1);
    return wrap(body);
}

QWidget* ExportSheet::makePreview() {
    auto* rows = makeColumn(4);
    for (const auto& row : previewRows(document_())) {
        auto* line = makeRow(defaultSpacing);
        auto* label = makeLabel(row.label, TextStyle::caption, Palette::textSecondary());
        label->setFixedWidth(100);
        line->addWidget(label);
        previewValues_.push_back(makeLabel(row.value, TextStyle::caption, Palette::textPrimary(), QFont::Medium));
        line->addWidget(previewValues_.back(), 1);
        rows->addLayout(line);
    }
    rows->addStretch(1);
    auto* content = wrap(rows);
    content->setAutoFillBackground(false);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    scroll->setWidget(content);
    // Where the rows do not fit (a larger font), the keys scroll them.
    ScrollTabStop::follow(*scroll);
    constexpr int padding = 8;
    auto* panel = new RoundedPanel({6.0, QBrush(Palette::backgroundRaised()), std::nullopt,
                                    QMargins(padding, padding, padding, padding), 0, Qt::Vertical});
    panel->contentLayout()->addWidget(scroll);
    // Every row in sight: at this font the seven rows need a little more than 120 pixels.
    panel->setFixedHeight(std::max(120, content->sizeHint().height() + 2 * padding));
    return panel;
}

QWidget* ExportSheet::makeFooter() {
    auto* footer = makeRow(defaultSpacing);
    footer->setContentsMargins(16, 10, 16, 10);
    auto* cancel = makeCancelButton();
    copy_ =
        new BorderedButton(QStringLiteral("Copy"), BorderedButton::Prominence::standard, QStringLiteral("doc.on.doc"));
    copy_->setAutoDefault(false);
    connect(copy_, &QPushButton::clicked, this, &ExportSheet::copyToClipboard);
    save_ = new BorderedButton(QStringLiteral("Save File..."), BorderedButton::Prominence::prominent,
                               QStringLiteral("square.and.arrow.down"));
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &ExportSheet::saveToFile);
    footer->addWidget(cancel);
    footer->addStretch(1);
    footer->addWidget(copy_);
    footer->addWidget(save_);
    return wrap(footer);
}

void ExportSheet::showChoices() {
    formatDescription_->setText(formatDescription(selectedFormat_));
    privacyNote_->setText(privacyNote(includeNames_->isChecked()));
}

void ExportSheet::showDocument() {
    const auto rows = previewRows(document_());
    for (std::size_t index = 0; index < rows.size(); ++index) previewValues_[index]->setText(rows[index].value);
}

std::optional<std::string> ExportSheet::generateText() {
    auto generated = generate(preparedExportData(document_(), includeNames_->isChecked()), selectedFormat_);
    if (!generated.text) error_->showMessage(generated.error);
    return std::move(generated.text);
}

void ExportSheet::copyToClipboard() {
    const auto text = generateText();
    if (!text) return;
    QApplication::clipboard()->setText(QString::fromStdString(*text));
    emit dismissRequested();
}

void ExportSheet::saveToFile() {
    // A report that cannot be written opens no dialog.
    if (!generateText()) return;
    SaveDialog::open(*this, saveFolder_, proposedFileName(selectedFormat_), fromView(mimeType(selectedFormat_)),
                     [this](const QString& path) {
                         // Read as the file is written: the store may have changed while the dialog was open.
                         const auto text = generateText();
                         if (!text) return;
                         if (const auto failure = SaveDialog::write(path, *text)) {
                             error_->showMessage(QStringLiteral("Failed to save file: ") + *failure);
                             return;
                         }
                         emit dismissRequested();
                     });
}

IndexExport ExportSheet::preparedExportData(const IndexExport& exportData, bool includeProjectNames) {
    IndexExport prepared = exportData;
    prepared.includesProjectNames = includeProjectNames;
    if (!includeProjectNames) {
        for (std::size_t index = 0; index < prepared.projects.size(); ++index) {
            prepared.projects[index].name = "Project " + std::to_string(index + 1);
        }
    }
    return prepared;
}

std::vector<ExportSheet::PreviewRow> ExportSheet::previewRows(const IndexExport& exportData) {
    const auto days = [](std::int64_t count) { return QString::number(count) + QStringLiteral(" days"); };
    const auto& composition = exportData.outputComposition;
    qsizetype earned = 0;
    for (const auto& achievement : exportData.achievements) earned += achievement.isEarned ? 1 : 0;
    return {
        {QStringLiteral("Norvane Index"),
         exportData.norvaneIndex ? QString::number(exportData.norvaneIndex->score) : QStringLiteral("N/A")},
        {QStringLiteral("Date Range"), days(exportData.dateRange.days)},
        {QStringLiteral("Total Lines"), QString::number(composition.totalLines)},
        {QStringLiteral("Code Lines"), QStringLiteral("%1 (%2)").arg(QString::number(composition.codeLines),
                                                                     formatWholePercent(composition.codePercent))},
        {QStringLiteral("Current Streak"), days(exportData.streak.currentStreak)},
        {QStringLiteral("Achievements"),
         QStringLiteral("%1/%2 earned").arg(earned).arg(qsizetype(exportData.achievements.size()))},
        {QStringLiteral("Projects"), QString::number(qsizetype(exportData.projects.size()))},
    };
}

QString ExportSheet::formatDescription(ExportFormat format) {
    return format == ExportFormat::json
               ? QStringLiteral("Structured data format, ideal for programmatic use or importing into other tools.")
               : QStringLiteral("Spreadsheet-compatible format, ideal for Excel, Google Sheets, or reports.");
}

QString ExportSheet::privacyNote(bool includeProjectNames) {
    return includeProjectNames ? QStringLiteral("Project names will be included in the export.")
                               : QStringLiteral("Projects will be anonymized as \"Project 1\", \"Project 2\", etc.");
}

QString ExportSheet::proposedFileName(ExportFormat format) {
    return QStringLiteral("norvane-index-export.") + fromView(fileExtension(format));
}

ExportSheet::Generated ExportSheet::generate(const IndexExport& record, ExportFormat format) {
    try {
        return {format == ExportFormat::csv ? record.toCSV() : record.toJSON(true), {}};
    } catch (const std::exception& failure) {
        return {std::nullopt, QStringLiteral("Failed to generate export: ") + QString::fromStdString(failure.what())};
    }
}

} // namespace norvane::app
