#include "Norvane/components/controls/CollapsibleSection.h"

#include "Norvane/components/controls/SectionHeaderButton.h"

#include <QSettings>
#include <QVBoxLayout>

namespace norvane::app {

CollapsibleSection::CollapsibleSection(QString title, std::optional<QString> icon, QSettings& settings, QString key,
                                       bool defaultExpanded, ContentFactory content, QWidget* parent)
    : QWidget(parent), settings_(settings), key_(std::move(key)), factory_(std::move(content)),
      expanded_(settings_.value(key_, defaultExpanded).toBool()),
      header_(new SectionHeaderButton(title, icon, expanded_)), contentHolder_(new QWidget) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(contentHolder_);
    auto* holderLayout = new QVBoxLayout(contentHolder_);
    holderLayout->setContentsMargins(0, 8, 0, 0);
    connect(header_, &QAbstractButton::clicked, this, &CollapsibleSection::toggle);
    showExpansion();
}

void CollapsibleSection::setExpanded(bool expanded) {
    if (expanded == expanded_) {
        return;
    }
    emit expansionAboutToChange();
    expanded_ = expanded;
    settings_.setValue(key_, expanded);
    showExpansion();
    emit expandedChanged(expanded);
}

void CollapsibleSection::toggle() { setExpanded(!expanded_); }

void CollapsibleSection::showExpansion() {
    header_->setExpanded(expanded_);
    if (expanded_ && content_ == nullptr) {
        content_ = factory_();
        contentHolder_->layout()->addWidget(content_);
    }
    contentHolder_->setVisible(expanded_);
}

} // namespace norvane::app
