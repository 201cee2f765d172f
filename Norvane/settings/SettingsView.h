#pragma once

#include <QWidget>

#include "Norvane/settings/SettingsServices.h"

class QTabWidget;

namespace norvane::app {

class CocomoTab;
class CostSettingsSync;
class DataTab;
class GeneralTab;
class IndexTab;

/// The settings window: four tabs of grouped forms at a fixed width, closed by Escape or Ctrl+W, its
/// tabs changed by Ctrl+Tab and Ctrl+Page Down (back with Shift, or Page Up) wherever the focus is. It
/// is as tall as the General tab needs, and at least its usual height, so that a message there never
/// hides the controls below it; the longer tabs scroll. The
/// agent's schedule is read from the disk once, when the window is made, and the command-line
/// tool's status each time the General tab shows it; the tabs keep their state while the window
/// lives, whichever is shown.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int windowWidth = 450;
    /// The least height; the General tab may ask for more.
    static constexpr int windowHeight = 380;

    explicit SettingsView(SettingsServices services, QWidget* parent = nullptr);
    ~SettingsView() override;

    QTabWidget& tabs() const { return *tabs_; }
    GeneralTab& generalTab() const { return *general_; }
    CocomoTab& cocomoTab() const { return *cocomo_; }
    IndexTab& indexTab() const { return *index_; }
    DataTab& dataTab() const { return *data_; }
    CostSettingsSync& costSettings() const { return *costSettings_; }

signals:
    /// "Run Setup Wizard Again" was pressed; the completion flag is already set back.
    void setupWizardRequested();

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<CostSettingsSync> costSettings_;
    QTabWidget* tabs_;
    GeneralTab* general_;
    CocomoTab* cocomo_;
    IndexTab* index_;
    DataTab* data_;
};

} // namespace norvane::app
