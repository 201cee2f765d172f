#include "Norvane/settings/FormSection.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {
namespace {

constexpr int formRowPadding = 10;

} // namespace

FormSection::FormSection(const QString& header, QWidget* parent)
    : QWidget(parent), footer_(makeLabel(QString(), TextStyle::caption, Palette::textSecondary())) {
    auto* column = makeColumn(6);
    if (!header.isEmpty()) {
        column->addWidget(makeLabel(header, TextStyle::subheadline, Palette::textSecondary(), QFont::DemiBold));
    }
    auto* panel =
        new RoundedPanel(RoundedPanel::box(Palette::backgroundRaised(), formRowPadding, Qt::Vertical, defaultSpacing));
    rows_ = panel->contentLayout();
    column->addWidget(panel);
    footer_->setWordWrap(true);
    footer_->setVisible(false);
    column->addWidget(footer_);
    setLayout(column);
}

QWidget* FormSection::addRow(QWidget* row) {
    rows_->addWidget(row);
    return row;
}

QWidget* FormSection::addLabeledRow(const QString& label, QWidget* control) {
    auto* row = makeRow(defaultSpacing);
    row->addWidget(makeLabel(label, TextStyle::body, Palette::textPrimary()));
    row->addStretch(1);
    row->addWidget(control);
    return addRow(wrap(row));
}

void FormSection::setFooter(const QString& text) {
    footer_->setText(text);
    footer_->setVisible(!text.isEmpty());
}

QString FormSection::footer() const { return footer_->text(); }

} // namespace norvane::app
