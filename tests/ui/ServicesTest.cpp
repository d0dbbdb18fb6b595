#include "UiTestSupport.h"

#include "platform/ui/Process.h"
#include "platform/ui/SystemSettings.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

TEST(Process, CommandLinesBecomeArgumentsWithoutAShell) {
    struct Case {
        AnsiString line;
        std::vector<std::string> argv;
    };
    const Case cases[] = {
        {"start http://www.olmarsk.ru/", {"xdg-open", "http://www.olmarsk.ru/"}},
        {"START http://a.ru/?q=1&x=$(rm -rf ~)", {"xdg-open", "http://a.ru/?q=1&x=$(rm", "-rf", "~)"}},
        {"start \"http://a.ru/ b\"", {"xdg-open", "http://a.ru/ b"}},
        {"  notepad   readme.txt ", {"notepad", "readme.txt"}},
        {"start", {"start"}},
        {"echo \"\"", {"echo", ""}},
        {"start http://ольмарск.рф/"_a, {"xdg-open", "http://ольмарск.рф/"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(command_arguments(c.line), c.argv) << c.line;
}

TEST(Process, WinExecStartsWhatTheLineNamesAndReportsFailure) {
    std::vector<std::string> started;
    const ProcessStarter real = set_process_starter([&](const std::vector<std::string>& argv) {
        started = argv;
        return true;
    });
    EXPECT_TRUE(win_exec("start http://www.olmarsk.ru/", 0));
    EXPECT_EQ(started, (std::vector<std::string>{"xdg-open", "http://www.olmarsk.ru/"}));
    EXPECT_FALSE(win_exec("   ", 0));
    set_process_starter(real);
    // The real starter: a program that exists starts, one that does not is reported.
    EXPECT_TRUE(win_exec("true", 0));
    EXPECT_FALSE(win_exec("abonix-no-such-program-here", 0));
}

TEST(SystemSettings, ClassicMetricsAndTheRunningScreen) {
    HeadlessHost host(1280, 1024);
    host.set_work_area(TRect{0, 0, 1280, 994});
    EXPECT_EQ(get_system_metrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(get_system_metrics(SM_CYHSCROLL), 16);
    EXPECT_EQ(get_system_metrics(SM_CXMENUSIZE), 18);
    EXPECT_EQ(get_system_metrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(work_area_at(TPoint{10, 10}), (TRect{0, 0, 1280, 994}));
    EXPECT_EQ(double_click_time(), 500);
    EXPECT_EQ(button_face_color(), RGB(212, 208, 200));
    EXPECT_LT(menu_font().height, 0);
}

TEST(SystemSettings, ColourChangesReachEveryWindowAndRepaintIt) {
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    std::vector<HWND> told;
    auto proc = [&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_SYSCOLORCHANGE) told.push_back(h);
        return ws.def_window_proc(h, m, w, l);
    };
    const HWND form = make_top(ws, Bounds(0, 0, 100, 100), proc);
    const HWND child = make_child(ws, form, Bounds(0, 0, 10, 10), proc);
    host.pump();
    const auto saved = gfx::SystemColors::table();
    gfx::SystemColors::set(gfx::system_color_index(clBtnFace), RGB(1, 2, 3));
    gfx::SystemColors::set_all(saved);
    EXPECT_EQ(told, (std::vector<HWND>{form, child, form, child}));
    TRect r;
    EXPECT_TRUE(ws.get_update_rect(child, r));
    told.clear();
}

}  // namespace
}  // namespace ui::test
