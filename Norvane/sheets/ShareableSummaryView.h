#pragma once

#include <cstdint>
#include <optional>

#include <QColor>
#include <QImage>
#include <QWidget>

#include "Norvane/sheets/ShareableMetrics.h"
#include "platform/Date.h"

namespace norvane::app {

class GlowText;
class StyledLabel;

/// The summary card the user shares as an image: the chosen period's leverage in large type with
/// its months of traditional work per day, the index with its rank, the lines touched, the number
/// of projects, and the product mark with the date. 400 pixels wide, as high as its content.
class ShareableSummaryView : public QWidget {
    Q_OBJECT

public:
    static constexpr int cardWidth = 400;

    ShareableSummaryView(const ShareableMetrics& metrics, ShareableSummaryConfig config,
                         platform::Date today = platform::currentDate(), QWidget* parent = nullptr);

    /// The card drawn offscreen at twice its size, whatever the screen: 800 pixels wide, clear
    /// outside its rounded outline.
    static QImage renderImage(const ShareableMetrics& metrics, ShareableSummaryConfig config,
                              platform::Date today = platform::currentDate());

    /// "%.1fx" of a leverage that can be shown; "--" otherwise.
    static QString leverageText(std::optional<double> leverage);
    /// The leverage over 30 days: "%.1f months of traditional work per day".
    static QString monthsLine(std::optional<double> leverage);
    /// "Top 10%", "Top 25%", "Top 50%" or "Building up"; none without an index.
    static std::optional<QString> indexBadge(std::optional<int> index);
    static QString formatCount(std::int64_t count);
    static QString projectLabel(std::int64_t count);
    /// The box's own colour, or the secondary text colour for the missing mark.
    static QColor valueColor(const QString& value, const QColor& boxColor);

    const GlowText& bigValue() const { return *bigValue_; }
    const StyledLabel& periodLabel() const { return *period_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeHeader(ShareTimePeriod period);
    QWidget* makeContent(const ShareableMetrics& metrics, ShareTimePeriod period, platform::Date today);
    QWidget* makeLeverage(std::optional<double> leverage);

    GlowText* bigValue_ = nullptr;
    StyledLabel* period_ = nullptr;
    QWidget* header_ = nullptr;
};

} // namespace norvane::app
