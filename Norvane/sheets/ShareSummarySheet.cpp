#include "Norvane/sheets/ShareSummarySheet.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLabel>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/sheets/ErrorLine.h"
#include "Norvane/sheets/SaveDialog.h"
#include "Norvane/sheets/ShareableSummaryView.h"

namespace norvane::app {
namespace {

constexpr int shareSheetWidth = 650;
constexpr int shareSheetHeight = 520;
constexpr int previewWidth = 340;

void fill(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, colour);
    widget->setPalette(colours);
}

/// A hairline tinted with the accent, between the bars and the main area.
QWidget* accentLine() {
    auto* line = new QWidget;
    line->setFixedHeight(1);
    fill(line, Palette::withOpacity(Palette::cyan(), 0.2));
    return line;
}

StyledLabel* columnTitle(const QString& text) {
    return new StyledLabel(text, Typography::tracked(Typography::systemFont(11, QFont::DemiBold), 1.2),
                           Palette::textSecondary());
}

} // namespace

ShareSummarySheet::ShareSummarySheet(Figures figures, SaveFolder& saveFolder, QWidget* parent)
    : Sheet(QStringLiteral("Share Productivity Summary"), parent), figures_(std::move(figures)),
      saveFolder_(saveFolder) {
    setFixedSize(shareSheetWidth, shareSheetHeight);
    fill(this, Palette::backgroundDeep());
    auto* layout = makeColumn(0);
    setLayout(layout);
    layout->addWidget(makeHeader(nullptr, Palette::backgroundRaised()));
    layout->addWidget(accentLine());
    layout->addWidget(makeMainArea(), 1);
    layout->addWidget(accentLine());
    layout->addWidget(makeButtonBar());
    choosePeriod(config_.timePeriod);
}

QWidget* ShareSummarySheet::makeMainArea() {
    previewFrame_ = new QLabel;
    previewFrame_->setFixedWidth(previewWidth);
    auto* previewColumn = makeColumn(12);
    previewColumn->addWidget(columnTitle(QStringLiteral("PREVIEW")));
    previewColumn->addWidget(previewFrame_);
    previewColumn->addStretch(1);
    auto* area = makeRow(24);
    area->setContentsMargins(24, 24, 24, 24);
    area->addLayout(previewColumn);
    area->addWidget(makeOptions(), 1);
    return wrap(area);
}

QWidget* ShareSummarySheet::makeOptions() {
    period_ = new OceanSegmentedPicker(int(config_.timePeriod), rawValueOptions<ShareTimePeriod>());
    connect(period_, &OceanSegmentedPicker::selectionChanged, this,
            [this](const QVariant& period) { choosePeriod(ShareTimePeriod(period.toInt())); });
    auto* periodGroup = makeColumn(8);
    periodGroup->addWidget(makeLabel(QStringLiteral("Time Period"), TextStyle::subheadline, Palette::textSecondary()));
    periodGroup->addWidget(period_);

    error_ = new ErrorLine;

    auto* notes = makeColumn(4);
    notes->addWidget(
        makeLabel(QStringLiteral("Share your productivity metrics"), TextStyle::caption, Palette::textSecondary()));
    notes->addWidget(
        makeLabel(QStringLiteral("Image will be saved at 2x resolution"), TextStyle::caption2, Palette::textMuted()));
    auto* options = makeColumn(20);
    options->addWidget(columnTitle(QStringLiteral("OPTIONS")));
    options->addLayout(periodGroup);
    options->addStretch(1);
    options->addWidget(error_);
    options->addLayout(notes);
    auto* column = wrap(options);
    column->setMinimumWidth(200);
    return column;
}

QWidget* ShareSummarySheet::makeButtonBar() {
    auto* bar = makeRow(defaultSpacing);
    bar->setContentsMargins(16, 10, 16, 10);
    auto* cancel = makeCancelButton();
    copy_ = new BorderedButton(QStringLiteral("Copy Image"), BorderedButton::Prominence::standard,
                               QStringLiteral("doc.on.doc"));
    copy_->setAutoDefault(false);
    connect(copy_, &QPushButton::clicked, this, &ShareSummarySheet::copyImage);
    save_ = new BorderedButton(QStringLiteral("Save Image..."), BorderedButton::Prominence::prominent,
                               QStringLiteral("square.and.arrow.down"));
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &ShareSummarySheet::saveImage);
    bar->addWidget(cancel);
    bar->addStretch(1);
    bar->addWidget(copy_);
    bar->addWidget(save_);
    auto* holder = wrap(bar);
    fill(holder, Palette::backgroundRaised());
    return holder;
}

void ShareSummarySheet::choosePeriod(ShareTimePeriod period) {
    config_.timePeriod = period;
    period_->setSelection(int(period));
    showFigures();
}

void ShareSummarySheet::showFigures() {
    previewFigures_ = figures_();
    preview_ = ShareableSummaryView::renderImage(previewFigures_, config_);
    // The preview is the card scaled down, drawn from the same image the buttons hand out.
    QPixmap scaled = QPixmap::fromImage(preview_).scaledToWidth(int(previewWidth * preview_.devicePixelRatio()),
                                                                Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(preview_.devicePixelRatio());
    previewFrame_->setPixmap(scaled);
}

void ShareSummarySheet::copyImage() {
    const QImage image = ShareableSummaryView::renderImage(figures_(), config_);
    if (image.isNull()) return;
    QApplication::clipboard()->setImage(image);
    emit dismissRequested();
}

void ShareSummarySheet::saveImage() {
    SaveDialog::open(*this, saveFolder_, proposedFileName(), QStringLiteral("image/png"), [this](const QString& path) {
        // Drawn as the file is written: the figures may have changed while the dialog was open.
        const QByteArray png = pngData(ShareableSummaryView::renderImage(figures_(), config_));
        if (png.isEmpty()) return;
        if (const auto failure = SaveDialog::write(path, std::string_view(png.constData(), std::size_t(png.size())))) {
            error_->showMessage(QStringLiteral("Failed to save file: ") + *failure);
            return;
        }
        emit dismissRequested();
    });
}

QByteArray ShareSummarySheet::pngData(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
    return bytes;
}

} // namespace norvane::app
