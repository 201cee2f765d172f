#include "Norvane/settings/GroupedForm.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/ScrollTabStop.h"
#include "Norvane/settings/FormSection.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace norvane::app {
namespace {

constexpr int sectionSpacing = 12;

} // namespace

GroupedForm::GroupedForm(QWidget* parent) : QWidget(parent), scroll_(new QScrollArea) {
    sections_ = makeColumn(sectionSpacing);
    sections_->setContentsMargins(RoundedPanel::defaultPadding, RoundedPanel::defaultPadding,
                                  RoundedPanel::defaultPadding, RoundedPanel::defaultPadding);
    sections_->addStretch(1);
    auto* content = new QWidget;
    content->setLayout(sections_);
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollTabStop::follow(*scroll_);
    auto* layout = makeColumn(0);
    layout->addWidget(scroll_);
    setLayout(layout);
}

FormSection* GroupedForm::addSection(const QString& header) {
    auto* section = new FormSection(header);
    // Above the stretch that keeps short forms at the top.
    sections_->insertWidget(sections_->count() - 1, section);
    return section;
}

} // namespace norvane::app
