#include "Norvane/cards/kit/Notice.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"

#include <QVBoxLayout>

namespace norvane::app {

namespace {

StyledLabel* detailLabel(const Notice& notice) {
    auto* label = makeLabel(notice.detail, TextStyle::caption, notice.detailColor);
    label->setWordWrap(true);
    return label;
}

} // namespace

QWidget* makeNoticeRow(const Notice& notice, const QBrush& fill) {
    auto* box = new RoundedPanel(RoundedPanel::box(fill, 10, Qt::Horizontal, 12));
    box->contentLayout()->addWidget(makeSymbol(notice.symbol, TextStyle::title2, notice.symbolColor), 0,
                                    Qt::AlignVCenter);
    auto* texts = makeColumn(2);
    texts->addWidget(makeLabel(notice.title, TextStyle::subheadline, notice.titleColor, notice.titleWeight));
    texts->addWidget(detailLabel(notice));
    box->contentLayout()->addLayout(texts, 1);
    return box;
}

QWidget* makeNoticeColumn(const Notice& notice, const QMargins& margins) {
    auto* column = makeColumn(8);
    column->setContentsMargins(margins);
    column->addWidget(makeSymbol(notice.symbol, TextStyle::title2, notice.symbolColor), 0, Qt::AlignHCenter);
    column->addWidget(makeLabel(notice.title, TextStyle::subheadline, notice.titleColor, notice.titleWeight), 0,
                      Qt::AlignHCenter);
    StyledLabel* detail = detailLabel(notice);
    detail->setAlignment(Qt::AlignHCenter);
    column->addWidget(detail);
    return wrap(column);
}

} // namespace norvane::app
