#include "FakeMenuLevel.h"
#include "MenuTestWindows.h"

#include "bars/MenuSystem.h"

#include "platform/forms/TApplication.h"
#include "platform/ui/HeadlessHost.h"

#include <gtest/gtest.h>

#include <map>

using namespace ui;
using namespace dxbar::test;
using dxbar::MenuItemKind;

namespace {

// The directory's manager as the hooks see it: a main menu and three shortcuts.
class FakeClient : public dxbar::MenuClient {
public:
    FakeClient(FakeLevel& bar, Log& log) : bar(bar), log(log) {}
    bool customizing() const override { return false; }
    bool use_f10_for_menu() const override { return true; }
    dxbar::MenuLevel* main_menu() override { return &bar; }
    std::function<void()> shortcut_click(TShortCut value) override {
        static const std::map<TShortCut, std::string> items{{112, "О программе..."}, {16471, "Мы в интернете"},
                                                             {16472, "Выход"}};
        const auto it = items.find(value);
        if (it == items.end()) return {};
        return [this, name = it->second] { log.push_back("click " + name); };
    }
    std::vector<dxbar::MenuLevel*> bars_for_mnemonics() override { return {&bar}; }
    bool edit_box_has_focus() const override { return edit_focused; }

    FakeLevel& bar;
    Log& log;
    bool edit_focused = false;
};

struct MenuSystemTest : ::testing::Test {
    HeadlessHost host{800, 600};
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    WindowSystem& ws = host.windows();
    Log log;      // what the bars did
    Log grid_keys;  // what reached the grid
    std::vector<std::unique_ptr<FakeLevel>> menus;
    HWND form = kNoWindow, grid = kNoWindow, bar_window = kNoWindow;
    std::unique_ptr<FakeLevel> bar;
    std::unique_ptr<FakeClient> client;
    dxbar::MenuSystem* system = nullptr;

    void SetUp() override {
        const MenuWindows windows = create_menu_windows(ws, [this](HWND h, UINT m, WPARAM w, LPARAM l) {
            if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) grid_keys.push_back("down " + std::to_string(w));
            if (m == WM_KEYUP || m == WM_SYSKEYUP) grid_keys.push_back("up " + std::to_string(w));
            if (m == WM_LBUTTONDOWN) grid_keys.push_back("press");
            return ws.def_window_proc(h, m, w, l);
        });
        form = windows.form;
        grid = windows.grid;
        bar_window = windows.bar;
        bar = std::make_unique<FakeLevel>(
            "Main Menu",
            std::vector<Item>{{"Файл", MenuItemKind::submenu, {{"Выход"}}},
                              {"?", MenuItemKind::submenu, {{"О программе..."}, {"Мы в интернете"}}}},
            true, bar_window, log, menus);
        client = std::make_unique<FakeClient>(*bar, log);
        system = &dxbar::MenuSystem::acquire(ws);
        system->active_client = [this] { return client.get(); };
    }
    void TearDown() override {
        dxbar::MenuSystem::release();
        app.reset();
    }
    dxbar::MenuChain& chain() { return system->chain(); }
    FakeLevel* head() { return static_cast<FakeLevel*>(chain().head()); }
};

TEST_F(MenuSystemTest, F10DownEnterRunsExitAndTheGridSeesNoneOfIt) {
    host.press_key(VK_F10);
    ASSERT_TRUE(chain().active());
    EXPECT_EQ(bar->selected_caption(), "Файл");
    host.press_key(VK_DOWN);
    EXPECT_EQ(head()->selected_caption(), "Выход");
    host.press_key(VK_RETURN);
    EXPECT_FALSE(chain().active());
    EXPECT_EQ(log, (Log{"open Файл", "close Файл", "click Выход"}));
    // F10's own key-down went on (it starts nothing); everything after was the menu's.
    EXPECT_EQ(grid_keys, (Log{"down 121"}));
    EXPECT_EQ(ws.get_focus(), grid);
}

TEST_F(MenuSystemTest, AltAloneSelectsTheFirstTitleAltWithALetterDoesNothing) {
    host.press_key('F', {VK_MENU});
    EXPECT_FALSE(chain().active());
    host.press_key(VK_MENU);
    ASSERT_TRUE(chain().active());
    EXPECT_EQ(bar->selected_caption(), "Файл");
    EXPECT_TRUE(log.empty());
    // Alt again leaves; its key-up does not start the menu again.
    host.press_key(VK_MENU);
    EXPECT_FALSE(chain().active());
}

TEST_F(MenuSystemTest, RightThenEscTwiceGivesTheFocusBack) {
    host.press_key(VK_F10);
    host.press_key(VK_DOWN);
    host.press_key(VK_RIGHT);
    EXPECT_EQ(head()->name, "?");
    EXPECT_EQ(head()->selected_caption(), "О программе...");
    host.press_key(VK_ESCAPE);
    EXPECT_TRUE(chain().active());
    EXPECT_EQ(bar->selected_caption(), "?");
    host.press_key(VK_ESCAPE);
    EXPECT_FALSE(chain().active());
    EXPECT_EQ(ws.get_focus(), grid);
}

TEST_F(MenuSystemTest, ShortcutsRunFromTheGridButNotWhileASearchBoxIsEdited) {
    host.press_key(VK_F1);
    host.press_key('W', {VK_CONTROL});
    host.press_key('X', {VK_CONTROL});
    EXPECT_EQ(log, (Log{"click О программе...", "click Мы в интернете", "click Выход"}));
    // The grid saw the key-ups (and Ctrl), never the key-downs that ran items.
    EXPECT_EQ(grid_keys, (Log{"up 112", "down 17", "up 87", "up 17", "down 17", "up 88", "up 17"}));
    // A search box being edited: its bar is in keyboard mode and the keys go to it.
    log.clear();
    grid_keys.clear();
    chain().enter(bar.get());
    client->edit_focused = true;
    host.press_key('X', {VK_CONTROL});
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(grid_keys, (Log{"down 17", "down 88", "up 88", "up 17"}));
    // Nor while a menu is open: the keys belong to the menu.
    client->edit_focused = false;
    host.press_key(VK_DOWN);
    grid_keys.clear();
    host.press_key(VK_F1);
    EXPECT_TRUE(chain().active());
    EXPECT_EQ(log, (Log{"open Файл"}));
    EXPECT_TRUE(grid_keys.empty());
}

TEST_F(MenuSystemTest, APressOutsideTheChainClosesItAndStillArrives) {
    host.press_key(VK_F10);
    host.press_key(VK_DOWN);
    ASSERT_EQ(chain().levels().size(), 2u);
    host.click(Point(100, 200));
    EXPECT_FALSE(chain().active());
    EXPECT_EQ(log, (Log{"open Файл", "close Файл"}));
    EXPECT_EQ(grid_keys.back(), "press");
    // A press on the bar itself keeps it.
    host.press_key(VK_F10);
    host.mouse_down(MouseButton::left, Point(10, 10));
    EXPECT_TRUE(chain().active());
    host.mouse_up(MouseButton::left, Point(10, 10));
}

TEST_F(MenuSystemTest, APressOnAWindowsFrameClosesTheChainToo) {
    CreateParams p;
    p.bounds = Bounds(300, 420, 200, 120);
    p.style = WS_VISIBLE;
    p.ex_style = WS_EX_NOACTIVATE;  // so that only the press itself can close the chain
    p.proc = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_NCCALCSIZE) {
            auto* r = reinterpret_cast<TRect*>(l);
            *r = TRect{r->Left + 4, r->Top + 20, r->Right - 4, r->Bottom - 4};
            return 0;
        }
        return ws.def_window_proc(h, m, w, l);
    };
    const HWND framed = ws.create_window(p);
    ASSERT_EQ(ws.client_to_screen(framed, Point(0, 0)), Point(304, 440));
    host.press_key(VK_F10);
    host.press_key(VK_DOWN);
    ASSERT_TRUE(chain().active());
    host.click(Point(400, 430));  // on the caption strip
    EXPECT_FALSE(chain().active());
}

TEST_F(MenuSystemTest, LosingTheActivationClosesTheChain) {
    host.press_key(VK_F10);
    host.press_key(VK_DOWN);
    ws.host_activate_app(false);
    host.pump();
    EXPECT_FALSE(chain().active());
}

TEST_F(MenuSystemTest, AltWithAMnemonicLetterOpensItsMenu) {
    bar->items[1].caption = "&Справка";
    chain().key_for_char = [](unsigned char c) -> std::optional<dxbar::KeyForChar> {
        if (c == static_cast<unsigned char>(text::utf8_to_cp1251("с")[0])) return dxbar::KeyForChar{'C', false, false};
        return std::nullopt;
    };
    host.press_key('C', {VK_MENU});
    ASSERT_TRUE(chain().active());
    EXPECT_EQ(head()->name, "&Справка");
    EXPECT_EQ(head()->selected_caption(), "О программе...");
}

}  // namespace
