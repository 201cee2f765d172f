#include "Norvane/components/tiles/CardGlow.h"

#include <QEvent>
#include <QGraphicsBlurEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPainter>
#include <qdrawutil.h>

namespace norvane::app {
namespace {

/// The glow of a card large enough that its middle is at full strength: the blur spreads
/// `blurRadius` out of the card's edge and as far into it, past the rounding of its corners.
QPixmap glowPicture(const CardGlow::Look& look, int border) {
    const int side = 2 * border + 1;
    QImage card(side, side, QImage::Format_ARGB32_Premultiplied);
    card.fill(Qt::transparent);
    QPainter cardPainter(&card);
    cardPainter.setRenderHint(QPainter::Antialiasing);
    cardPainter.setPen(Qt::NoPen);
    cardPainter.setBrush(look.color);
    const qreal glowInset = look.blurRadius;
    cardPainter.drawRoundedRect(QRectF(card.rect()).adjusted(glowInset, glowInset, -glowInset, -glowInset),
                                look.cornerRadius, look.cornerRadius);
    cardPainter.end();

    QGraphicsScene scene;
    auto* item = scene.addPixmap(QPixmap::fromImage(card));
    auto* blur = new QGraphicsBlurEffect;
    blur->setBlurRadius(look.blurRadius);
    blur->setBlurHints(QGraphicsBlurEffect::QualityHint);
    item->setGraphicsEffect(blur);
    QImage glow(side, side, QImage::Format_ARGB32_Premultiplied);
    glow.fill(Qt::transparent);
    QPainter glowPainter(&glow);
    scene.render(&glowPainter, glow.rect(), glow.rect());
    glowPainter.end();
    return QPixmap::fromImage(glow);
}

} // namespace

void CardGlow::attach(QWidget& card, const Look& look) { new CardGlow(card, look); }

CardGlow::CardGlow(QWidget& card, const Look& look) : card_(card), look_(look) {
    picture_ = glowPicture(look_, border());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    card.installEventFilter(this);
    connect(&card, &QObject::destroyed, this, [this] { delete this; });
    follow();
}

int CardGlow::border() const { return 2 * look_.blurRadius + look_.cornerRadius; }

bool CardGlow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ParentChange:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange: follow(); break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void CardGlow::follow() {
    if (parentWidget() != card_.parentWidget()) setParent(card_.parentWidget());
    if (parentWidget() == nullptr) return;
    const int spread = look_.blurRadius;
    setGeometry(card_.geometry().translated(look_.offset).adjusted(-spread, -spread, spread, spread));
    stackUnder(&card_);
    setVisible(!card_.isHidden());
}

void CardGlow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int edge = border();
    qDrawBorderPixmap(&painter, rect(), QMargins(edge, edge, edge, edge), picture_);
}

} // namespace norvane::app
