#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QString>

class QWidget;

namespace norvane::app {

/// What a card says in place of content it cannot show yet: a title-2 symbol, a subheadline
/// title and a caption under it.
struct Notice {
    QString symbol;
    QColor symbolColor;
    QString title;
    QColor titleColor;
    QString detail;
    QColor detailColor;
    QFont::Weight titleWeight = QFont::Medium;
};

/// The symbol beside the two lines, in a box of `fill` padded 10, as wide as offered.
QWidget* makeNoticeRow(const Notice& notice, const QBrush& fill = Qt::transparent);
/// The symbol over the two lines, all centred, the caption wrapping, inside `margins`.
QWidget* makeNoticeColumn(const Notice& notice, const QMargins& margins);

} // namespace norvane::app
