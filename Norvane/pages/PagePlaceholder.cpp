#include "Norvane/pages/PagePlaceholder.h"

#include <QVBoxLayout>

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

namespace norvane::app {

PagePlaceholder::PagePlaceholder(const QString& symbolName, const QString& title, const QString& description,
                                 QWidget* parent)
    : QWidget(parent), title_(title) {
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(new SymbolLabel(symbolName, 40, Palette::textMuted()), 0, Qt::AlignHCenter);
    layout->addWidget(new StyledLabel(title, Typography::font(TextStyle::title2, QFont::Bold), Palette::textPrimary()),
                      0, Qt::AlignHCenter);
    auto* text = new StyledLabel(description, Typography::font(TextStyle::body), Palette::textSecondary());
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter);
    // Full width: a wrapped label placed by alignment is measured too narrow and loses lines.
    layout->addWidget(text);
    layout->addStretch();
}

} // namespace norvane::app
