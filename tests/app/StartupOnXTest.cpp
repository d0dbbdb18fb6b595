// The program's start as a user sees it on a private X server, watched from
// outside the way a screen recorder would: its main window is created and
// mapped once, at its final (maximised) size, and the first frame reaches the
// screen in one update of the whole window, with nothing repainted after it,
// even when the window appears under the pointer.
#include "tests/app/ProgramOnX.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Watched {
    int created = 0;
    int mapped = 0;
    XRectangle created_as{};
    std::vector<XRectangle> updates;
};

// Watches the top-level windows made on the display from now on, until their
// drawing has been quiet for `quiet_ms` after the first update (or the time is up).
class StartWatcher {
public:
    explicit StartWatcher(const e2e::Xvfb& x) : m_display(XOpenDisplay(x.display().c_str())) {
        if (!m_display) return;
        int error_base = 0;
        m_ok = XDamageQueryExtension(m_display, &m_damage_event, &error_base);
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        XSync(m_display, False);
    }
    ~StartWatcher() {
        if (m_display) XCloseDisplay(m_display);
    }
    bool ok() const { return m_display && m_ok; }

    Watched watch(int quiet_ms, int timeout_ms) {
        Watched w;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
        std::optional<Clock::time_point> last_update;
        for (;;) {
            const auto now = Clock::now();
            if (now >= deadline) break;
            if (last_update && now - *last_update >= std::chrono::milliseconds(quiet_ms)) break;
            if (XPending(m_display) == 0) {
                pollfd p{ConnectionNumber(m_display), POLLIN, 0};
                ::poll(&p, 1, 20);
                continue;
            }
            XEvent e;
            XNextEvent(m_display, &e);
            if (e.type == CreateNotify && e.xcreatewindow.parent == DefaultRootWindow(m_display) &&
                !e.xcreatewindow.override_redirect) {
                ++w.created;
                w.created_as = XRectangle{static_cast<short>(e.xcreatewindow.x), static_cast<short>(e.xcreatewindow.y),
                                          static_cast<unsigned short>(e.xcreatewindow.width),
                                          static_cast<unsigned short>(e.xcreatewindow.height)};
                XDamageCreate(m_display, e.xcreatewindow.window, XDamageReportRawRectangles);
            } else if (e.type == MapNotify && e.xmap.event == DefaultRootWindow(m_display) && !e.xmap.override_redirect) {
                ++w.mapped;
            } else if (e.type == m_damage_event + XDamageNotify) {
                w.updates.push_back(reinterpret_cast<const XDamageNotifyEvent&>(e).area);
                last_update = Clock::now();
            }
        }
        return w;
    }

private:
    Display* m_display;
    bool m_ok = false;
    int m_damage_event = 0;
};

TEST(StartupOnX, TheWindowComesAtItsFinalSizeAndItsFirstFrameInOneUpdateEvenUnderThePointer) {
    const TempDir dir;
    apptest::generate_directory(dir.path());

    e2e::Xvfb x(1024, 768);
    // Over the grid, where the row under the pointer is tracked.
    ASSERT_EQ(e2e::xdotool(x, {"mousemove", "500", "400"}), 0);
    StartWatcher watcher(x);
    ASSERT_TRUE(watcher.ok()) << "the X server has no DAMAGE extension";

    const std::unique_ptr<e2e::Child> app = apptest::start_program(x, dir.path());
    const Watched w = watcher.watch(1500, 60000);

    EXPECT_EQ(w.created, 1);
    EXPECT_EQ(w.mapped, 1);
    EXPECT_EQ(w.created_as.width, 1024);
    EXPECT_EQ(w.created_as.height, 768);
    std::string seen;
    for (const XRectangle& r : w.updates)
        seen += " " + std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                std::to_string(r.y);
    ASSERT_EQ(w.updates.size(), 1u) << "updates:" << seen << "\n" << app->output();
    EXPECT_EQ(w.updates[0].x, 0);
    EXPECT_EQ(w.updates[0].y, 0);
    EXPECT_EQ(w.updates[0].width, 1024);
    EXPECT_EQ(w.updates[0].height, 768);

    e2e::XClient client(x);
    const unsigned long window = client.wait_for_window("Ольмарск 2001", 10000);
    ASSERT_NE(window, 0u) << app->output();
    client.close_window(window);
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
}

}  // namespace
