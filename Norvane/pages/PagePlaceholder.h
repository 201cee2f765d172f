#pragma once

#include <QWidget>

namespace norvane::app {

/// A centred symbol, title and description: the detail pane's "nothing to show" states, and the
/// stand-in for pages that are not built yet.
class PagePlaceholder : public QWidget {
    Q_OBJECT

public:
    PagePlaceholder(const QString& symbolName, const QString& title, const QString& description,
                    QWidget* parent = nullptr);

    const QString& title() const { return title_; }

private:
    QString title_;
};

} // namespace norvane::app
