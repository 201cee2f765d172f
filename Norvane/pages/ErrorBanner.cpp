#include "Norvane/pages/ErrorBanner.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QToolButton>

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"

namespace norvane::app {
namespace {

constexpr int maximumLines = 2;
constexpr double bannerCornerRadius = 8.0;

} // namespace

ErrorBanner::ErrorBanner(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"), 16, Palette::amber()));
    label_ = new StyledLabel(QString(), Typography::font(TextStyle::body), Palette::textPrimary());
    // The lines are broken here, to the label's width, so the label never wraps or clips them.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(label_, 1);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("closeBanner"));
    close->setAutoRaise(true);
    close->setFont(SymbolRegistry::font(16));
    close->setText(SymbolRegistry::text(QStringLiteral("xmark.circle.fill")));
    close->setStyleSheet(QStringLiteral("color: %1; border: none;").arg(Palette::textMuted().name()));
    connect(close, &QToolButton::clicked, this, &ErrorBanner::closeRequested);
    layout->addWidget(close);
}

void ErrorBanner::setMessage(const QString& message) {
    message_ = message;
    showMessage();
}

QString ErrorBanner::shownText() const { return label_->text(); }

void ErrorBanner::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showMessage();
}

void ErrorBanner::showMessage() {
    const QString shown = elided(message_, label_->font(), label_->width(), maximumLines);
    label_->setText(shown);
    setToolTip(shown == message_ ? QString() : message_);
}

QString ErrorBanner::elided(const QString& text, const QFont& font, int width, int lines) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList shown;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid() && shown.size() < lines; line = layout.createLine()) {
        line.setLineWidth(width);
        const bool last = shown.size() == lines - 1;
        const bool more = line.textStart() + line.textLength() < text.size();
        // A failure says why at its end: the ellipsis takes the middle, so the reason stays in sight.
        shown << (last && more ? QFontMetrics(font).elidedText(text.mid(line.textStart()), Qt::ElideLeft, width)
                               : text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return shown.join(QLatin1Char('\n'));
}

void ErrorBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), bannerCornerRadius, bannerCornerRadius);
    painter.fillPath(shape, Palette::backgroundRaised());
    painter.setPen(QPen(Palette::withOpacity(Palette::amber(), 0.3), 1.0));
    painter.drawPath(shape);
}

} // namespace norvane::app
