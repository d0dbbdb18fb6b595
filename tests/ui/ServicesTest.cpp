#include "UiTestSupport.h"

#include "platform/gfx/TBitmap.h"
#include "platform/ui/Process.h"
#include "platform/ui/SdlKeys.h"
#include "platform/ui/SystemSettings.h"
#include "platform/classes/Exception.h"
#include "text/Cp1251.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <filesystem>

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
    // Without xdg-open the address goes to sensible-browser; other programs
    // that cannot be found are only reported.
    std::vector<std::vector<std::string>> tried;
    set_process_starter([&](const std::vector<std::string>& argv) {
        tried.push_back(argv);
        return argv[0] == "sensible-browser";
    });
    EXPECT_TRUE(win_exec("start http://www.olmarsk.ru/", 0));
    EXPECT_EQ(tried, (std::vector<std::vector<std::string>>{{"xdg-open", "http://www.olmarsk.ru/"},
                                                            {"sensible-browser", "http://www.olmarsk.ru/"}}));
    tried.clear();
    EXPECT_FALSE(win_exec("notepad readme.txt", 0));
    EXPECT_EQ(tried, (std::vector<std::vector<std::string>>{{"notepad", "readme.txt"}}));
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

TEST(Keys, PhysicalKeysGiveWindowsKeyCodes) {
    struct Case {
        int scancode;
        int vk;
    };
    // The key that types "ц" in a Russian layout is W wherever the layout is.
    const Case cases[] = {{SDL_SCANCODE_W, 87},          {SDL_SCANCODE_X, 88},       {SDL_SCANCODE_A, 'A'},
                          {SDL_SCANCODE_Z, 'Z'},         {SDL_SCANCODE_0, '0'},      {SDL_SCANCODE_9, '9'},
                          {SDL_SCANCODE_F1, 112},        {SDL_SCANCODE_F10, 121},    {SDL_SCANCODE_F12, 123},
                          {SDL_SCANCODE_RETURN, VK_RETURN}, {SDL_SCANCODE_KP_ENTER, VK_RETURN},
                          {SDL_SCANCODE_LALT, VK_MENU},  {SDL_SCANCODE_RCTRL, VK_CONTROL}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
                          {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1}, {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9},
                          {SDL_SCANCODE_INSERT, VK_INSERT}, {SDL_SCANCODE_MUTE, 0}};
    for (const Case& c : cases) EXPECT_EQ(vk_from_scancode(c.scancode), c.vk) << c.scancode;
}

TEST(Cursors, NamedCursorsAreLoadedOnceWithTheirHotSpot) {
    const Cursor a = named_cursor("DXTLDELETECURSOR");
    const Cursor b = named_cursor("dxtldeletecursor");
    ASSERT_TRUE(a.image);
    EXPECT_EQ(a.image, b.image);
    EXPECT_EQ(a.image->image->Width(), 32);
    EXPECT_THROW(named_cursor("NO_SUCH_CURSOR"), Exception);
}

TEST(SystemSettings, SystemFontFillsAFont) {
    TFont font;
    assign_system_font(SystemFont{"Tahoma", -11, 204, true}, font);
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Charset(), RUSSIAN_CHARSET);
    EXPECT_TRUE(font.Style().Contains(fsBold));
}

TEST(Headless, SavesWindowsAndTheScreenAsPng) {
    HeadlessHost host(64, 48);
    const HWND form = make_top(host.windows(), Bounds(0, 0, 32, 16));
    host.pump();
    const std::string dir = ::testing::TempDir();
    host.save_png(form, dir + "/abonix_ui_form.png");
    host.save_screenshot_png(dir + "/abonix_ui_screen.png");
    EXPECT_GT(std::filesystem::file_size(dir + "/abonix_ui_form.png"), 8u);
    EXPECT_GT(std::filesystem::file_size(dir + "/abonix_ui_screen.png"), 8u);
    std::filesystem::remove(dir + "/abonix_ui_form.png");
    std::filesystem::remove(dir + "/abonix_ui_screen.png");
    EXPECT_THROW(host.save_png(kNoWindow, dir + "/x.png"), Exception);
}

}  // namespace
}  // namespace ui::test
