#pragma once

#include <QWidget>

namespace norvane::app {

class ElidedLabel;

/// The last collection's failure, over the bottom of the main window, with a button that closes it.
/// The message shows whole, over as many lines as it takes: a long path breaks anywhere, and the
/// reason that follows it stays in sight.
class ErrorBanner : public QWidget {
    Q_OBJECT

public:
    explicit ErrorBanner(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;
    /// The message's lines as shown at the banner's present width.
    QStringList shownLines() const;

signals:
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ElidedLabel* label_;
};

} // namespace norvane::app
