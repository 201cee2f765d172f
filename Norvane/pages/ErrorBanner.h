#pragma once

#include <QWidget>

class QLabel;

namespace norvane::app {

/// The last collection's failure, over the bottom of the main window, with a button that closes it.
/// The message shows in at most two whole lines: the first starts it and, when it is longer, the
/// second ends it after an ellipsis, which keeps the reason at its end in sight; the full text is its
/// tooltip.
class ErrorBanner : public QWidget {
    Q_OBJECT

public:
    explicit ErrorBanner(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    QString message() const { return message_; }
    /// The message as shown at the banner's present width.
    QString shownText() const;

    /// `text` wrapped at word boundaries into lines of at most `width` pixels, kept to `lines`
    /// lines; when it goes on beyond them, the last line is an ellipsis and the end of `text`.
    static QString elided(const QString& text, const QFont& font, int width, int lines);

signals:
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showMessage();

    QString message_;
    QLabel* label_;
};

} // namespace norvane::app
