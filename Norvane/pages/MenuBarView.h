#pragma once

#include <QTimer>
#include <QWidget>

#include "Norvane/pages/MenuBarModel.h"

class QLabel;
class QPushButton;

namespace norvane::app {

class AppState;
class BusyIndicator;
class ProjectListModel;
class StyledLabel;
class SymbolLabel;

/// The panel under the tray icon: the active projects' lines and count, the portfolio leverage,
/// the last collection, and the buttons to collect, open the main window and quit.
class MenuBarView : public QWidget {
    Q_OBJECT

public:
    MenuBarView(AppState& appState, ProjectListModel& projects, QWidget* parent = nullptr);

    QString totalLinesText() const;
    QString projectCountText() const;
    /// Empty while the line is hidden.
    QString leverageText() const;
    QString statusText() const;
    QPushButton& collectButton() const { return *collectButton_; }
    /// Runs while the panel is shown, to keep "Last collected" current.
    const QTimer& clock() const { return clock_; }

signals:
    void settingsRequested();
    void openDashboardRequested();
    void quitRequested();
    /// The panel was hidden, by its own buttons or by a click elsewhere.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* makeHeader();
    QWidget* makeFigures();
    QWidget* makeStatus();
    QWidget* makeButtons();
    void refresh();

    AppState& appState_;
    ProjectListModel& projects_;
    StyledLabel* totalLines_ = nullptr;
    StyledLabel* projectCount_ = nullptr;
    QWidget* leverageRow_ = nullptr;
    StyledLabel* leverage_ = nullptr;
    BusyIndicator* spinner_ = nullptr;
    SymbolLabel* statusSymbol_ = nullptr;
    StyledLabel* status_ = nullptr;
    QPushButton* collectButton_ = nullptr;
    QTimer clock_;
};

} // namespace norvane::app
