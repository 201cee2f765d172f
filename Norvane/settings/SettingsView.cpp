#include "Norvane/settings/SettingsView.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/controls/WindowHeightFit.h"
#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/settings/CocomoTab.h"
#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/DataTab.h"
#include "Norvane/settings/GeneralTab.h"
#include "Norvane/settings/GroupedForm.h"
#include "Norvane/settings/IndexTab.h"

namespace norvane::app {
namespace {

constexpr int defaultCollectionHour = 2;
constexpr int tabSymbolSize = 16;

QIcon tabSymbolIcon(const QString& name) { return SymbolRegistry::icon(name, tabSymbolSize, Palette::textPrimary()); }

/// What the tabs' keys do: 1 for the next tab (Ctrl+Tab, Ctrl+Page Down), -1 for the one before
/// (with Shift, or Ctrl+Page Up), 0 for any other key.
int tabStep(const QKeyEvent& event) {
    if (!(event.modifiers() & Qt::ControlModifier)) return 0;
    const bool shifted = event.modifiers() & Qt::ShiftModifier;
    switch (event.key()) {
    case Qt::Key_Tab: return shifted ? -1 : 1;
    case Qt::Key_Backtab:
    case Qt::Key_PageUp: return -1;
    case Qt::Key_PageDown: return 1;
    default: return 0;
    }
}

GeneralTab::InitialState readInitialState(const SettingsServices& services) {
    const auto schedule = services.agent->installedSchedule();
    return {services.agent->isInstalled(), schedule ? schedule->hour : defaultCollectionHour};
}

} // namespace

SettingsView::SettingsView(SettingsServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), costSettings_(services.costSettings), tabs_(new QTabWidget),
      general_(new GeneralTab(services, readInitialState(services))), cocomo_(new CocomoTab(*services.preferences)),
      index_(new IndexTab(services)), data_(new DataTab(services)) {
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(windowWidth, windowHeight);
    tabs_->setDocumentMode(true);
    tabs_->addTab(general_, tabSymbolIcon(QStringLiteral("gear")), QStringLiteral("General"));
    tabs_->addTab(cocomo_, tabSymbolIcon(QStringLiteral("function")), QStringLiteral("COCOMO"));
    tabs_->addTab(index_, tabSymbolIcon(QStringLiteral("chart.bar.doc.horizontal")), QStringLiteral("Norvane Index"));
    tabs_->addTab(data_, tabSymbolIcon(QStringLiteral("internaldrive")), QStringLiteral("Data"));
    auto* layout = makeColumn(0);
    layout->addWidget(tabs_);
    setLayout(layout);
    connect(general_, &GeneralTab::setupWizardRequested, this, &SettingsView::setupWizardRequested);
    connect(costSettings_.get(), &CostSettingsSync::written, cocomo_, &CocomoTab::showStoreWrite);
    cocomo_->showStoreWrite(costSettings_->lastFailure());
    auto* close = new QShortcut(this);
    close->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(close, &QShortcut::activated, this, &QWidget::close);
    // The tabs' keys are read before the control with the focus, which may take them: a combo box
    // takes Ctrl+Tab for a search and Ctrl+Page Down for its next item.
    QCoreApplication::instance()->installEventFilter(this);
    FocusRing::restFocus(*this);
    layout->activate();
    auto* heightFit = new WindowHeightFit(*this, {windowWidth, windowHeight}, general_->form().scrollArea());
    heightFit->fit();
    // Where the window manager would put it, it may hang over the screen's edge.
    if (const QScreen* display = screen()) move(display->availableGeometry().center() - rect().center());
}

SettingsView::~SettingsView() = default;

void SettingsView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FocusRing::restFocus(*this);
}

bool SettingsView::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::KeyPress || widget == nullptr || widget->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    const int step = tabStep(*static_cast<QKeyEvent*>(event));
    if (step == 0) return false;
    tabs_->setCurrentIndex((tabs_->currentIndex() + step + tabs_->count()) % tabs_->count());
    return true;
}

} // namespace norvane::app
