#pragma once

#include <QWidget>

class QVBoxLayout;

namespace norvane::app {

class FormSection;

/// A form of sections, scrolling when taller than its tab, with the platform's default margins.
class GroupedForm : public QWidget {
    Q_OBJECT
public:
    explicit GroupedForm(QWidget* parent = nullptr);

    FormSection* addSection(const QString& header);

private:
    QVBoxLayout* sections_;
};

} // namespace norvane::app
