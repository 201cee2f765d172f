#include "Norvane/cards/AchievementMedal.h"

#include "Norvane/components/text/EmojiText.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

constexpr int medalDiameter = 50;
constexpr int ringDiameter = 36;
constexpr int titleSpacing = 4;
constexpr double medalRingWidth = 2.0;

QFont titleFont() { return Typography::font(TextStyle::caption2); }

} // namespace

AchievementMedal::AchievementMedal(Kind kind, QString emoji, QString title, QBrush fill, QWidget* parent)
    : QWidget(parent), kind_(kind), emoji_(std::move(emoji)), title_(std::move(title)), fill_(std::move(fill)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString AchievementMedal::symbolName() const { return kind_ == Kind::locked ? QStringLiteral("lock.fill") : QString(); }

QString AchievementMedal::shownTitle() const {
    return kind_ == Kind::ring ? QString() : QFontMetrics(titleFont()).elidedText(title_, Qt::ElideRight, width());
}

int AchievementMedal::discDiameter() const { return kind_ == Kind::ring ? ringDiameter : medalDiameter; }

QSize AchievementMedal::sizeHint() const {
    if (kind_ == Kind::ring) {
        return {ringDiameter, ringDiameter};
    }
    // Rounded up with a pixel to spare, so that a title given its full width is never cut.
    const QFontMetricsF metrics(titleFont());
    const int titleWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(title_))) + 1;
    return {std::max(medalDiameter, titleWidth),
            medalDiameter + titleSpacing + static_cast<int>(std::ceil(metrics.height()))};
}

QSize AchievementMedal::minimumSizeHint() const { return {discDiameter(), sizeHint().height()}; }

void AchievementMedal::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double diameter = discDiameter();
    const QRectF disc((width() - diameter) / 2.0, 0.0, diameter, diameter);
    paintDisc(painter, disc);
    if (kind_ != Kind::ring) {
        painter.setFont(titleFont());
        painter.setPen(kind_ == Kind::earned ? Palette::textPrimary() : Palette::textMuted());
        painter.drawText(QRectF(0.0, diameter + titleSpacing, width(), height() - diameter - titleSpacing),
                         Qt::AlignHCenter | Qt::AlignTop, shownTitle());
    }
}

void AchievementMedal::paintDisc(QPainter& painter, const QRectF& disc) const {
    switch (kind_) {
    case Kind::earned:
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill_);
        painter.drawEllipse(disc);
        EmojiText::draw(painter, disc, emoji_, Typography::pixelSize(TextStyle::title2));
        return;
    case Kind::locked:
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::backgroundBase());
        painter.drawEllipse(disc);
        // Symbols stand a quarter larger than the text size they go with, as the symbol labels draw them.
        painter.setFont(SymbolRegistry::font(Typography::pixelSize(TextStyle::title3) * 5 / 4));
        painter.setPen(Palette::textMuted());
        painter.drawText(disc, Qt::AlignCenter, SymbolRegistry::text(symbolName()));
        return;
    case Kind::ring:
        painter.setPen(QPen(Palette::withOpacity(fill_.color(), 0.3), medalRingWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(
            disc.adjusted(medalRingWidth / 2, medalRingWidth / 2, -medalRingWidth / 2, -medalRingWidth / 2));
        painter.setOpacity(0.5);
        EmojiText::draw(painter, disc, emoji_, Typography::pixelSize(TextStyle::body));
        return;
    }
}

} // namespace norvane::app
