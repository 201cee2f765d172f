#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "tests/Norvane/state/TestApplication.h"

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QWidget>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace norvane::testing {
namespace {

constexpr int startMilliseconds = 60'000;
constexpr int waitMilliseconds = 30'000;

/// Starts Xvfb on the first free display and returns the display's number, which the server
/// writes to `fd` once it takes connections. The kernel ends the server when this thread ends.
pid_t startServer(int fd) {
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);
    const std::string displayFd = std::to_string(fd);
    const std::string screen =
        std::to_string(PrivateDisplay::width) + "x" + std::to_string(PrivateDisplay::height) + "x24";
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    ::execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
             "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
}

std::string readDisplayNumber(int fd) {
    std::string number;
    pollfd ready{fd, POLLIN, 0};
    while (::poll(&ready, 1, startMilliseconds) > 0) {
        char c = 0;
        if (::read(fd, &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    return number;
}

bool isShownAndTitled(xcb_connection_t* connection, xcb_window_t window, const std::string& title) {
    auto* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!shown) return false;
    auto* name = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr);
    const bool titled = name && std::string(static_cast<const char*>(xcb_get_property_value(name)),
                                            xcb_get_property_value_length(name)) == title;
    std::free(name);
    return titled;
}

} // namespace

PrivateDisplay::PrivateDisplay() {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw std::runtime_error("no pipe for the X server");
    startServer(pipeEnds[1]);
    ::close(pipeEnds[1]);
    const std::string number = readDisplayNumber(pipeEnds[0]);
    ::close(pipeEnds[0]);
    if (number.empty()) throw std::runtime_error("the X server did not start");
    name_ = QStringLiteral(":") + QString::fromStdString(number);
    ::setenv("DISPLAY", name_.toUtf8().constData(), 1);
}

bool PrivateDisplay::showsWindow(const std::string& title) const {
    xcb_connection_t* connection = xcb_connect(name_.toUtf8().constData(), nullptr);
    bool shows = false;
    if (xcb_connection_has_error(connection) == 0) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        // No window manager reparents them: a program's windows are the root's children.
        auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        const xcb_window_t* windows = tree ? xcb_query_tree_children(tree) : nullptr;
        for (int index = 0; tree && index < xcb_query_tree_children_length(tree) && !shows; ++index) {
            shows = isShownAndTitled(connection, windows[index], title);
        }
        std::free(tree);
    }
    xcb_disconnect(connection);
    return shows;
}

const PrivateDisplay& PrivateDisplay::instance() {
    static const PrivateDisplay display;
    return display;
}

QApplication& pointerApplication() {
    static const bool made = [] {
        PrivateDisplay::instance();
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        app::DarkTheme::apply(testApplication());
        return true;
    }();
    (void)made;
    app::Tween::setAnimationsEnabled(false);
    return testApplication();
}

void showOnScreen(QWidget& window, QSize size) {
    window.setGeometry(QRect(QPoint(0, 0), size));
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowExposed(&window, waitMilliseconds)) throw std::runtime_error("window not shown");
    if (!QTest::qWaitForWindowActive(&window, waitMilliseconds)) throw std::runtime_error("window not active");
}

namespace {

/// Whether the window system has told `widget`, or a widget in it, of the pointer since it was made.
class PointerArrival : public QObject {
public:
    explicit PointerArrival(QWidget& widget) : widget_(widget) { QApplication::instance()->installEventFilter(this); }

    bool arrived() const { return arrived_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            auto* receiver = qobject_cast<QWidget*>(watched);
            if (receiver && (receiver == &widget_ || widget_.isAncestorOf(receiver))) arrived_ = true;
        }
        return false;
    }

private:
    QWidget& widget_;
    bool arrived_ = false;
};

} // namespace

void placePointer(QWidget& widget, const std::function<QPoint()>& at, const std::function<void()>& bringIntoSight) {
    const auto point = [&] { return at ? at() : widget.rect().center(); };
    // A page still laying itself out may move the widget away before the pointer gets there.
    const bool arrived = runEventsUntil([&] {
        if (bringIntoSight) bringIntoSight();
        const QPoint target = widget.mapToGlobal(point());
        QWidget* there = QApplication::widgetAt(target);
        if (there != &widget && !widget.isAncestorOf(there)) return false;
        // The window system reports a move only to where the pointer does not stand already (a
        // widget that appeared under a resting pointer learns of it only when the pointer moves),
        // and it folds quick moves into the last one: step aside by a pixel where needed.
        PointerArrival arrival(widget);
        const QPoint first = QCursor::pos() == target ? target + QPoint(1, 1) : target;
        QCursor::setPos(first);
        runEventsUntil([&] { return arrival.arrived() || widget.mapToGlobal(point()) != target; });
        if (arrival.arrived() && first != target) QCursor::setPos(target);
        return arrival.arrived();
    });
    if (!arrived)
        throw std::runtime_error("the pointer never came to " + std::string(widget.metaObject()->className()));
}

bool runEventsUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, waitMilliseconds); }

} // namespace norvane::testing
