#pragma once

#include <QWidget>

class QLabel;

namespace norvane::app {

/// The last collection's failure, over the bottom of the main window, with a button that closes it.
class ErrorBanner : public QWidget {
    Q_OBJECT

public:
    explicit ErrorBanner(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const;

signals:
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* message_;
};

} // namespace norvane::app
