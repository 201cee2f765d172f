#include "Norvane/pages/screenshots/AppScreenshots.h"

#include <QAbstractAnimation>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStringList>
#include <QTabWidget>

#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/OnboardingScreenshots.h"
#include "Norvane/pages/screenshots/PortfolioScreenshots.h"
#include "Norvane/pages/screenshots/ProjectPageScreenshots.h"
#include "Norvane/pages/screenshots/SheetScreenshots.h"
#include "Norvane/pages/screenshots/UnreachableSystemctl.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/DataTab.h"
#include "Norvane/settings/GeneralTab.h"
#include "Norvane/settings/IndexTab.h"
#include "Norvane/settings/PrivacyDetailsView.h"
#include "Norvane/settings/SettingsView.h"
#include "core/community/NorvaneIndexService.h"
#include "core/facade/NorvaneKit.h"

namespace norvane::app::AppScreenshots {
namespace {

// Only a state that never comes ends the wait: a loaded machine may take long for a collection.
constexpr int readyTimeoutMilliseconds = 180'000;

DashboardView* mainWindow() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<DashboardView*>(widget); window && window->isVisible()) return window;
    }
    return nullptr;
}

SettingsView* settingsWindow() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<SettingsView*>(widget); window && window->isVisible()) return window;
    }
    return nullptr;
}

void scrollTo(QWidget& tab, bool end) {
    for (auto* scroll : tab.findChildren<QScrollArea*>()) {
        auto* bar = scroll->verticalScrollBar();
        bar->setValue(end ? bar->maximum() : bar->minimum());
    }
}

using Take = std::function<void(const QString& name, QWidget& widget)>;

/// The general tab after the background collection could not be turned on: systemctl answers
/// that no user session is there.
void stageAgentFailure(ApplicationController& controller, const Take& take) {
    static UnreachableSystemctl systemctl;
    auto services =
        SettingsServices::standard(controller.appState().preferences(), controller.store(), controller.costSettings());
    services.agent = std::make_shared<LaunchdManager>(LaunchdManager::Locations::standard(), systemctl);
    SettingsView settings(std::move(services));
    settings.show();
    auto& general = settings.generalTab();
    general.backgroundToggle().click();
    settle([&] { return !general.isBusy(); });
    take(QStringLiteral("settings-general-agent-failed.png"), settings);
}

/// Each tab as it opens; the benchmark tab while sharing, with its details open, at its top and
/// at its end, and with an id that the client forgot; and the data tab after an export.
void stageSettings(ApplicationController& controller, const Take& take) {
    controller.showSettingsWindow();
    auto* settings = settingsWindow();
    if (!settings) return;
    auto& tabs = settings->tabs();
    const QString names[] = {QStringLiteral("general"), QStringLiteral("cocomo"), QStringLiteral("index"),
                             QStringLiteral("data")};
    for (int index = 0; index < tabs.count(); ++index) {
        tabs.setCurrentIndex(index);
        settle([] { return true; });
        take(QStringLiteral("settings-%1.png").arg(names[index]), *settings);
    }

    auto& index = settings->indexTab();
    controller.appState().preferences().setCachedContributorCount(240);
    index.shareToggle().click();
    index.privacyDetails().disclosureButton().click();
    tabs.setCurrentWidget(&index);
    settle([] { return true; });
    take(QStringLiteral("settings-index-sharing.png"), *settings);
    scrollTo(index, true);
    settle([] { return true; });
    take(QStringLiteral("settings-index-sharing-end.png"), *settings);

    // The id that a reset which ended before the settings were saved left in them.
    NorvaneIndexService::shared()
        .forgetDevice(controller.appState().preferences().anonymousDeviceId().toStdString())
        .get();
    tabs.setCurrentWidget(&settings->dataTab());
    tabs.setCurrentWidget(&index);
    scrollTo(index, false);
    settle([&] { return !index.forgottenMessage().text().isEmpty(); });
    take(QStringLiteral("settings-index-forgotten-id.png"), *settings);

    auto& data = settings->dataTab();
    tabs.setCurrentWidget(&data);
    data.exportTo(QDir::home().filePath(QStringLiteral("norvane-export.json")));
    settle([&] { return !data.exportMessage().text().isEmpty(); });
    take(QStringLiteral("settings-data-exported.png"), *settings);
    settings->close();
    stageAgentFailure(controller, take);
}

/// Where every widget of the windows on screen stands, and whether it shows.
QList<std::pair<QRect, bool>> placesOnScreen() {
    QList<std::pair<QRect, bool>> places;
    for (auto* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        places.emplace_back(window->geometry(), true);
        for (const auto* widget : window->findChildren<QWidget*>()) {
            places.emplace_back(widget->geometry(), widget->isVisible());
        }
    }
    return places;
}

/// Whether a window on screen runs an animation that ends (a hover, a chevron turning).
bool isAnimating() {
    for (auto* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        for (const auto* animation : window->findChildren<QAbstractAnimation*>()) {
            if (animation->state() == QAbstractAnimation::Running && animation->loopCount() != -1) return true;
        }
    }
    return false;
}

} // namespace

void settle(const std::function<bool()>& ready) {
    QElapsedTimer clock;
    clock.start();
    // Handling what is pending may undo what was awaited (a page that reloads after a store change):
    // wait again until it holds once everything has settled.
    do {
        while (!ready() && clock.elapsed() < readyTimeoutMilliseconds) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        // Then until the animations have ended and handling what is pending moves nothing.
        auto before = placesOnScreen();
        while (true) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QApplication::processEvents(isAnimating() ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
            auto after = placesOnScreen();
            if (after == before && !isAnimating()) break;
            before = std::move(after);
        }
    } while (!ready() && clock.elapsed() < readyTimeoutMilliseconds);
}

void choose(OceanSegmentedPicker& picker, const QString& label) {
    const int index = int(picker.segmentLabels().indexOf(label));
    const QPointF at = picker.segmentRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, picker.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, picker.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&picker, &press);
    QApplication::sendEvent(&picker, &release);
}

void pressKey(int key) {
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(QApplication::focusWidget(), &release);
}

QString bannerMessage() {
    QStringList failed;
    for (const char* name :
         {"atlas-api-gateway-and-billing", "harbor-web-customer-dashboard", "pylon-deployment-and-data-scripts",
          "billing-reports-exporter-nightly", "customer-notifications-service", "warehouse-inventory-sync-worker"}) {
        failed << QString::fromLatin1(name);
    }
    return QStringLiteral("Failed to collect: ") + failed.join(QStringLiteral(", ")) +
           QStringLiteral(": The store /home/user/.local/share/Norvane/norvane.store is read-only (the file is not "
                          "writable); nothing was changed");
}

void stage(ApplicationController& controller, const Take& take) {
    settle([&] { return controller.appState().metricsLoaded(); });
    auto* window = mainWindow();
    if (!window) return;
    take(QStringLiteral("main-window.png"), *window);
    PortfolioScreenshots::stage(*window, take);

    const auto projects = NorvaneKit::shared().listProjects();
    if (!projects.empty()) window->sidebar().setSelection(SidebarSelection::project(projects.front()->id));
    controller.appState().setLastCollectionError(bannerMessage());
    settle([] { return true; });
    take(QStringLiteral("main-window-error-banner.png"), *window);
    controller.appState().setLastCollectionError(std::nullopt);
    ProjectPageScreenshots::stage(controller, *window, take);

    auto& panel = controller.panel();
    panel.adjustSize();
    panel.move(window->geometry().topRight() - QPoint(panel.width(), 0));
    panel.show();
    settle([] { return true; });
    take(QStringLiteral("menu-bar-panel.png"), panel);
    panel.hide();
    stageSettings(controller, take);
    SheetScreenshots::stage(controller, *window, take);
    OnboardingScreenshots::stage(controller.appState(), *window, take);
}

} // namespace norvane::app::AppScreenshots
