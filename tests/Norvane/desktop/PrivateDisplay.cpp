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

/// The frontmost window shown and titled `title`, or none. No window manager reparents them: a
/// program's windows are the root's children, the frontmost last.
xcb_window_t frontWindow(xcb_connection_t* connection, const std::string& title) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    const xcb_window_t* windows = tree ? xcb_query_tree_children(tree) : nullptr;
    xcb_window_t front = XCB_NONE;
    for (int index = tree ? xcb_query_tree_children_length(tree) - 1 : -1; index >= 0 && front == XCB_NONE; --index) {
        if (isShownAndTitled(connection, windows[index], title)) front = windows[index];
    }
    std::free(tree);
    return front;
}

/// The key that the display's keyboard gives `key` on, or 0.
xcb_keycode_t keycodeOf(xcb_connection_t* connection, std::uint32_t key) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* map = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    xcb_keycode_t keycode = 0;
    const int perKey = map ? map->keysyms_per_keycode : 0;
    const xcb_keysym_t* symbols = map ? xcb_get_keyboard_mapping_keysyms(map) : nullptr;
    for (int index = 0; index < count * perKey && keycode == 0; ++index) {
        if (symbols[index] == key) keycode = static_cast<xcb_keycode_t>(setup->min_keycode + index / perKey);
    }
    std::free(map);
    return keycode;
}

/// Sends `window` a press or a release of `keycode`, as the keyboard would with the window focused.
void sendKey(xcb_connection_t* connection, xcb_window_t window, xcb_keycode_t keycode, bool press) {
    xcb_key_press_event_t event{};
    event.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
    event.detail = keycode;
    event.time = XCB_CURRENT_TIME;
    event.root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    event.event = window;
    event.child = XCB_NONE;
    event.same_screen = 1;
    xcb_send_event(connection, 0, window, press ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                   reinterpret_cast<const char*>(&event));
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
    const bool shows = xcb_connection_has_error(connection) == 0 && frontWindow(connection, title) != XCB_NONE;
    xcb_disconnect(connection);
    return shows;
}

bool PrivateDisplay::pressKey(const std::string& title, std::uint32_t key) const {
    xcb_connection_t* connection = xcb_connect(name_.toUtf8().constData(), nullptr);
    const xcb_window_t window = xcb_connection_has_error(connection) == 0 ? frontWindow(connection, title) : XCB_NONE;
    const xcb_keycode_t keycode = window != XCB_NONE ? keycodeOf(connection, key) : 0;
    if (keycode != 0) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        sendKey(connection, window, keycode, true);
        sendKey(connection, window, keycode, false);
        // A reply comes once the server has handled all that went before it.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
    return keycode != 0;
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
