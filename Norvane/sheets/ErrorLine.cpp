#include "Norvane/sheets/ErrorLine.h"

#include <QHBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

ErrorLine::ErrorLine(QWidget* parent)
    : QWidget(parent), text_(makeLabel({}, TextStyle::caption, Palette::textSecondary())) {
    text_->setWordWrap(true);
    auto* row = makeRow(defaultSpacing);
    row->addWidget(makeSymbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::caption, Palette::amber()), 0,
                   Qt::AlignTop);
    row->addWidget(text_, 1);
    setLayout(row);
    hide();
}

void ErrorLine::showMessage(const QString& message) {
    text_->setText(message);
    show();
}

} // namespace norvane::app
