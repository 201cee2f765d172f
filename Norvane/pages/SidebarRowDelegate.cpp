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

const QString emptyStateHint = QStringLiteral("Add your first project to start tracking development metrics.");

QFont rowFont() { return Typography::font(TextStyle::body); }
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
    return QFontMetrics(rowFont()).elidedText(text, Qt::ElideRight, width - 2 * inset);
}

QSize SidebarRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
    // As wide as the list, never wider: long names are cut, not scrolled.
    const int width = list_.viewport()->width();
    switch (model_.row(index.row()).kind) {
    case SidebarModel::RowKind::header:
        return {width, headerTopPadding + QFontMetrics(headerFont()).height() + headerBottomPadding};
    case SidebarModel::RowKind::emptyState: return {width, emptyStateHintBounds(width).bottom() + 1 + inset};
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
        [[fallthrough]];
    case SidebarModel::RowKind::project:
        painter->setFont(rowFont());
        painter->setPen(Palette::textPrimary());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shownText(index, bounds.width()));
        break;
    }
    painter->restore();
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
