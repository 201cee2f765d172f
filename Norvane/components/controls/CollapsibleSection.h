#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QSettings;

namespace norvane::app {

class SectionHeaderButton;

/// A named section that the user can fold away. Whether it is open is kept in the settings under
/// the key the page gives, so it reopens the way the user left it. The content is built only
/// when the section first opens.
class CollapsibleSection : public QWidget {
    Q_OBJECT
public:
    using ContentFactory = std::function<QWidget*()>;

    CollapsibleSection(QString title, std::optional<QString> icon, QSettings& settings, QString key,
                       bool defaultExpanded, ContentFactory content, QWidget* parent = nullptr);

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    void toggle();

    /// The content, once built; none before the section was first opened.
    QWidget* content() const { return content_; }
    const SectionHeaderButton& header() const { return *header_; }

signals:
    /// The section is about to open or close; the page still stands as it was.
    void expansionAboutToChange();
    void expandedChanged(bool expanded);

private:
    void showExpansion();

    QSettings& settings_;
    QString key_;
    ContentFactory factory_;
    bool expanded_;
    SectionHeaderButton* header_;
    QWidget* contentHolder_;
    QWidget* content_ = nullptr;
};

} // namespace norvane::app
