#pragma once

#include <functional>

#include <QImage>

#include "Norvane/sheets/ShareableMetrics.h"
#include "Norvane/sheets/Sheet.h"

class QLabel;
class QPushButton;

namespace norvane::app {

class ErrorLine;
class OceanSegmentedPicker;
class SaveFolder;
class StyledLabel;

/// The sheet that turns the summary card into an image: a live preview beside the period picker,
/// then the image copied to the clipboard or saved as a PNG at twice the card's size. The card shows
/// the caller's figures as they stand, read again when the caller says they changed and when the
/// image is made. A save that fails keeps the sheet open with its error.
class ShareSummarySheet : public Sheet {
    Q_OBJECT

public:
    static constexpr double previewScale = 0.85;

    /// The caller's figures as they stand.
    using Figures = std::function<ShareableMetrics()>;

    /// A save opens in `saveFolder` and leaves it where the image went.
    ShareSummarySheet(Figures figures, SaveFolder& saveFolder, QWidget* parent = nullptr);

    /// Draws the preview of the figures as they stand now.
    void showFigures();

    const ShareableSummaryConfig& config() const { return config_; }
    /// The card as the preview draws it now, at twice its size, and the figures it draws.
    const QImage& previewImage() const { return preview_; }
    const ShareableMetrics& previewFigures() const { return previewFigures_; }
    OceanSegmentedPicker& periodPicker() const { return *period_; }
    QPushButton& copyButton() const { return *copy_; }
    QPushButton& saveButton() const { return *save_; }
    /// The line of a failed save; hidden until one happens.
    const ErrorLine& errorLine() const { return *error_; }

    /// The proposed file name of the saved image.
    static QString proposedFileName() { return QStringLiteral("norvane-summary.png"); }
    /// The image as PNG bytes; empty when it cannot be encoded.
    static QByteArray pngData(const QImage& image);

private:
    QWidget* makeMainArea();
    QWidget* makeOptions();
    QWidget* makeButtonBar();
    void choosePeriod(ShareTimePeriod period);
    void copyImage();
    void saveImage();

    Figures figures_;
    SaveFolder& saveFolder_;
    ShareableSummaryConfig config_;
    QImage preview_;
    ShareableMetrics previewFigures_;
    QLabel* previewFrame_ = nullptr;
    OceanSegmentedPicker* period_ = nullptr;
    ErrorLine* error_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace norvane::app
