#pragma once

#include <QColor>
#include <QWidget>

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "platform/RawValueEnum.h"

class QPushButton;
class QToolButton;

namespace norvane::app {

/// The content of a sheet. It closes through `dismissRequested`; while it works it can turn off
/// the interactive ways out (Escape, the window's close button), and the dialog that hosts it
/// follows.
class Sheet : public QWidget {
    Q_OBJECT

public:
    explicit Sheet(const QString& title, QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    bool isInteractiveDismissDisabled() const { return interactiveDismissDisabled_; }

signals:
    void dismissRequested();
    void interactiveDismissDisabledChanged(bool disabled);

protected:
    void setInteractiveDismissDisabled(bool disabled);
    /// The title row: the title in the headline style and the close symbol, which dismisses.
    QWidget* makeHeader(QToolButton** closeButton = nullptr, const QColor& background = {});
    /// "Cancel" at the leading end of the footer; it dismisses, as Escape does.
    QPushButton* makeCancelButton();

    /// One segment per case, labelled with its raw value, holding the case.
    template <platform::RawValueEnum E>
    static QList<OceanSegmentedPicker::Option> rawValueOptions() {
        QList<OceanSegmentedPicker::Option> options;
        for (const auto value : platform::allCases<E>()) {
            const auto text = platform::rawValue(value);
            options.append({QVariant::fromValue(int(value)), QString::fromUtf8(text.data(), qsizetype(text.size()))});
        }
        return options;
    }

private:
    QString title_;
    bool interactiveDismissDisabled_ = false;
};

} // namespace norvane::app
