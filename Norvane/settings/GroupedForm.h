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
    /// How much taller the sections are than the room the form has: negative while there is room.
    int overflow() const;

signals:
    /// The sections' height may have changed: a row or a message came or went.
    void contentChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollArea* scroll_;
    QWidget* content_;
    QVBoxLayout* sections_;
};

} // namespace norvane::app
