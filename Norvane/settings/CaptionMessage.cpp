#include "Norvane/settings/CaptionMessage.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>

namespace norvane::app {

CaptionMessage::CaptionMessage(QWidget* parent)
    : QWidget(parent),
      symbol_(makeSymbol(QStringLiteral("exclamationmark.triangle"), TextStyle::caption, Palette::red())),
      label_(makeLabel(QString(), TextStyle::caption, Palette::red())) {
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* row = makeRow(4);
    row->addWidget(symbol_, 0, Qt::AlignTop);
    row->addWidget(label_, 1);
    setLayout(row);
    setVisible(false);
}

void CaptionMessage::showError(const QString& text) { show(text, true); }

void CaptionMessage::showSuccess(const QString& text) { show(text, false); }

void CaptionMessage::clear() {
    label_->clear();
    setVisible(false);
}

QString CaptionMessage::text() const { return label_->text(); }

void CaptionMessage::show(const QString& text, bool isError) {
    isError_ = isError;
    const QColor& color = isError ? Palette::red() : Palette::systemGreen();
    symbol_->setSymbolName(isError ? QStringLiteral("exclamationmark.triangle")
                                   : QStringLiteral("checkmark.circle.fill"));
    symbol_->setColor(color);
    label_->setColor(color);
    label_->setText(text);
    setVisible(!text.isEmpty());
}

} // namespace norvane::app
