#include "Norvane/settings/GroupedForm.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/ScrollTabStop.h"
#include "Norvane/settings/FormSection.h"

#include <QEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace norvane::app {
namespace {

constexpr int sectionSpacing = 12;

} // namespace

GroupedForm::GroupedForm(QWidget* parent) : QWidget(parent), scroll_(new QScrollArea), content_(new QWidget) {
    sections_ = makeColumn(sectionSpacing);
    sections_->setContentsMargins(RoundedPanel::defaultPadding, RoundedPanel::defaultPadding,
                                  RoundedPanel::defaultPadding, RoundedPanel::defaultPadding);
    sections_->addStretch(1);
    content_->setLayout(sections_);
    content_->installEventFilter(this);
    scroll_->setWidget(content_);
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

int GroupedForm::overflow() const {
    const int needed = content_->heightForWidth(scroll_->viewport()->width());
    return (needed >= 0 ? needed : content_->sizeHint().height()) - scroll_->viewport()->height();
}

bool GroupedForm::eventFilter(QObject* watched, QEvent* event) {
    // Told once the layouts have settled, so that the height asked then is the new one.
    if (watched == content_ && event->type() == QEvent::LayoutRequest) {
        QMetaObject::invokeMethod(this, &GroupedForm::contentChanged, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace norvane::app
