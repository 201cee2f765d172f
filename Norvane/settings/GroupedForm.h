#pragma once

#include <QWidget>

class QScrollArea;
class QVBoxLayout;

namespace norvane::app {

class FormSection;

/// A form of sections, scrolling when taller than its tab, with the platform's default margins.
class GroupedForm : public QWidget {
    Q_OBJECT
public:
    explicit GroupedForm(QWidget* parent = nullptr);

    FormSection* addSection(const QString& header);
    /// Where the sections scroll.
    QScrollArea& scrollArea() const { return *scroll_; }

private:
    QScrollArea* scroll_;
    QVBoxLayout* sections_;
};

} // namespace norvane::app
