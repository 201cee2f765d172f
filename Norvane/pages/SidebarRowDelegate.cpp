#include "Norvane/pages/SidebarRowDelegate.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/SidebarModel.h"

namespace norvane::app {
namespace {

constexpr int inset = 8;
constexpr int rowPadding = 5;
constexpr int symbolTextSize = 14;
constexpr int symbolSpacing = 6;
constexpr int headerTopPadding = 12;
constexpr int headerBottomPadding = 2;
constexpr int emptyStateSpacing = 8;
constexpr double selectionRadius = 6.0;
constexpr int dotDiameter = 8;
constexpr int dotGlowRadius = 4;
constexpr int dotSpacing = 10;
constexpr int projectRowPadding = 6;
constexpr int detailSpacing = 2;

const QString emptyStateHint = QStringLiteral("Add your first project to start tracking development metrics.");

QFont rowFont() { return Typography::font(TextStyle::body); }
QFont projectNameFont() { return Typography::systemFont(13, QFont::Medium); }
QFont detailFont() { return Typography::font(TextStyle::caption2); }
int projectTextLeft() { return inset + dotDiameter + dotSpacing; }
QFont headerFont() { return Typography::tracked(Typography::systemFont(11, QFont::DemiBold), 0.5); }
QFont emptyStateTitleFont() { return Typography::font(TextStyle::caption, QFont::DemiBold); }
QFont emptyStateHintFont() { return Typography::font(TextStyle::caption); }
// Symbols stand a little larger than the text beside them.
QFont symbolFont() { return SymbolRegistry::font(int(std::lround(symbolTextSize * 1.25))); }
int symbolWidth() { return QFontMetrics(symbolFont()).height(); }

} // namespace

SidebarRowDelegate::SidebarRowDelegate(const SidebarModel& model, QAbstractItemView& list)
    : QStyledItemDelegate(&list), model_(model), list_(list) {}

QString SidebarRowDelegate::shownText(const QModelIndex& index, int width) const {
    const auto& row = model_.row(index.row());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (row.kind != SidebarModel::RowKind::project) return text;
    return QFontMetrics(projectNameFont()).elidedText(text, Qt::ElideRight, width - projectTextLeft() - inset);
}

QSize SidebarRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
    // As wide as the list, never wider: long names are cut, not scrolled.
    const int width = list_.viewport()->width();
    switch (model_.row(index.row()).kind) {
    case SidebarModel::RowKind::header:
        return {width, headerTopPadding + QFontMetrics(headerFont()).height() + headerBottomPadding};
    case SidebarModel::RowKind::emptyState: return {width, emptyStateHintBounds(width).bottom() + 1 + inset};
    // Room for the detail line whether or not there is one, so rows keep their place when it comes.
    case SidebarModel::RowKind::project:
        return {width, QFontMetrics(projectNameFont()).height() + detailSpacing + QFontMetrics(detailFont()).height() +
                           2 * projectRowPadding};
    default: return {width, std::max(QFontMetrics(rowFont()).height(), symbolWidth()) + 2 * rowPadding};
    }
}

QRect SidebarRowDelegate::emptyStateHintBounds(int width) const {
    const int top = inset + QFontMetrics(emptyStateTitleFont()).height() + emptyStateSpacing;
    const QRect hint =
        QFontMetrics(emptyStateHintFont())
            .boundingRect(QRect(inset, top, width - 2 * inset, 10'000), Qt::TextWordWrap, emptyStateHint);
    return {inset, top, width - 2 * inset, hint.height()};
}

void SidebarRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const auto& row = model_.row(index.row());
    const QRect bounds = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::TextAntialiasing);
    if (option.state & QStyle::State_Selected) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(bounds).adjusted(2, 1, -2, -1), selectionRadius, selectionRadius);
        painter->fillPath(shape, Palette::backgroundRaised());
    }
    QRect text = bounds.adjusted(inset, 0, -inset, 0);
    switch (row.kind) {
    case SidebarModel::RowKind::header:
        painter->setFont(headerFont());
        painter->setPen(Palette::textMuted());
        painter->drawText(text.adjusted(0, headerTopPadding, 0, -headerBottomPadding), Qt::AlignLeft | Qt::AlignVCenter,
                          shownText(index, bounds.width()));
        break;
    case SidebarModel::RowKind::emptyState:
        painter->translate(bounds.topLeft());
        paintEmptyState(*painter, bounds);
        break;
    case SidebarModel::RowKind::portfolio:
        painter->setFont(symbolFont());
        painter->setPen(Palette::textPrimary());
        painter->drawText(QRect(text.left(), text.top(), symbolWidth(), text.height()), Qt::AlignCenter,
                          SymbolRegistry::text(QStringLiteral("chart.pie")));
        text.setLeft(text.left() + symbolWidth() + symbolSpacing);
        painter->setFont(rowFont());
        painter->setPen(Palette::textPrimary());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shownText(index, bounds.width()));
        break;
    case SidebarModel::RowKind::project: paintProject(*painter, bounds, index); break;
    }
    painter->restore();
}

void SidebarRowDelegate::paintProject(QPainter& painter, const QRect& bounds, const QModelIndex& index) const {
    const QColor dot = index.data(SidebarModel::dotColorRole).value<QColor>();
    const QPointF centre(bounds.left() + inset + dotDiameter / 2.0, bounds.center().y() + 0.5);
    // The dot glows in its own colour, fading out from its edge.
    QRadialGradient glow(centre, dotDiameter / 2.0 + dotGlowRadius);
    glow.setColorAt(0.0, Palette::withOpacity(dot, 0.5));
    glow.setColorAt(1.0, Palette::withOpacity(dot, 0.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, dotDiameter / 2.0 + dotGlowRadius, dotDiameter / 2.0 + dotGlowRadius);
    painter.setBrush(dot);
    painter.drawEllipse(centre, dotDiameter / 2.0, dotDiameter / 2.0);

    const QString detail = index.data(SidebarModel::detailRole).toString();
    const QFontMetrics name(projectNameFont());
    const QFontMetrics detailMetrics(detailFont());
    const int textHeight = name.height() + (detail.isEmpty() ? 0 : detailSpacing + detailMetrics.height());
    const int left = bounds.left() + projectTextLeft();
    const int width = bounds.right() - inset - left;
    const int top = bounds.top() + (bounds.height() - textHeight) / 2;
    painter.setFont(projectNameFont());
    painter.setPen(Palette::textPrimary());
    painter.drawText(QRect(left, top, width, name.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     shownText(index, bounds.width()));
    if (detail.isEmpty()) return;
    painter.setFont(detailFont());
    painter.setPen(Palette::textSecondary());
    painter.drawText(QRect(left, top + name.height() + detailSpacing, width, detailMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, detailMetrics.elidedText(detail, Qt::ElideRight, width));
}

void SidebarRowDelegate::paintEmptyState(QPainter& painter, const QRect& bounds) const {
    painter.setFont(emptyStateTitleFont());
    painter.setPen(Palette::textSecondary());
    painter.drawText(QRect(inset, inset, bounds.width() - 2 * inset, QFontMetrics(emptyStateTitleFont()).height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Get Started"));
    painter.setFont(emptyStateHintFont());
    painter.setPen(Palette::textMuted());
    painter.drawText(emptyStateHintBounds(bounds.width()), Qt::TextWordWrap, emptyStateHint);
}

} // namespace norvane::app
