#pragma once

#include <QWidget>

class QBoxLayout;

namespace norvane::app {

class StyledLabel;

/// One section of a grouped form: an optional header, its rows on a rounded panel, and an optional
/// footer in the caption font. Rows that a section shows only at times are hidden by their owner.
class FormSection : public QWidget {
    Q_OBJECT
public:
    explicit FormSection(const QString& header, QWidget* parent = nullptr);

    /// Adds `row` under the rows before it; returns it.
    QWidget* addRow(QWidget* row);
    /// A row of `label` on the leading side and `control` on the trailing side.
    QWidget* addLabeledRow(const QString& label, QWidget* control);
    void setFooter(const QString& text);
    QString footer() const;

private:
    QBoxLayout* rows_;
    StyledLabel* footer_;
};

} // namespace norvane::app
