#include "FakeMenuLevel.h"
#include "MenuTestWindows.h"

#include "bars/MenuChain.h"

#include "platform/ui/HeadlessHost.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ui;
using dxbar::MenuItemKind;
using dxbar::MenuLevel;
using dxbar::OpenedBy;
using text::utf8_to_cp1251;
using namespace dxbar::test;

namespace {

struct MenuChainTest : ::testing::Test {
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    Log log;
    std::vector<std::unique_ptr<FakeLevel>> menus;
    HWND form = kNoWindow, grid = kNoWindow, bar_window = kNoWindow;
    std::unique_ptr<FakeLevel> bar;
    dxbar::MenuChain chain{ws};

    void SetUp() override {
        const MenuWindows w = create_menu_windows(ws);
        form = w.form;
        grid = w.grid;
        bar_window = w.bar;
        bar = std::make_unique<FakeLevel>(
            "Main Menu",
            std::vector<Item>{{"Файл", MenuItemKind::submenu, {{"Выход"}}},
                              {"?", MenuItemKind::submenu, {{"О программе..."}, {"Мы в интернете"}}}},
            true, bar_window, log, menus);
    }
    FakeLevel* head() { return static_cast<FakeLevel*>(chain.head()); }
    void key(int vk, TShiftState shift = {}) {
        chain.key_down(vk, shift);
        chain.check_invariants();
    }
};

TEST_F(MenuChainTest, F10DownEnterRunsExit) {
    chain.enter(bar.get());
    EXPECT_EQ(bar->selected_caption(), "Файл");
    EXPECT_EQ(chain.levels().size(), 1u);
    EXPECT_FALSE(chain.menu_dropped());
    key(VK_DOWN);
    ASSERT_EQ(chain.levels().size(), 2u);
    EXPECT_EQ(head()->selected_caption(), "Выход");
    key(VK_RETURN);
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(log, (Log{"open Файл", "close Файл", "click Выход"}));
    EXPECT_EQ(bar->selected(), -1);
    EXPECT_EQ(ws.get_focus(), grid);
}

TEST_F(MenuChainTest, RightOpensTheNextTitleAndEscStepsBack) {
    chain.enter(bar.get());
    key(VK_RETURN);
    key(VK_RIGHT);
    ASSERT_EQ(chain.levels().size(), 2u);
    EXPECT_EQ(head()->name, "?");
    EXPECT_EQ(head()->selected_caption(), "О программе...");
    // Down wraps inside the menu.
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(head()->selected_caption(), "О программе...");
    ws.set_focus(bar_window);  // keyboard mode may have moved the focus; Esc twice gives it back
    key(VK_ESCAPE);
    EXPECT_EQ(chain.levels().size(), 1u);
    EXPECT_EQ(bar->selected_caption(), "?");
    EXPECT_FALSE(chain.menu_dropped());
    // Nothing dropped: Left only moves the selection.
    key(VK_LEFT);
    EXPECT_EQ(bar->selected_caption(), "Файл");
    EXPECT_EQ(chain.levels().size(), 1u);
    key(VK_ESCAPE);
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(ws.get_focus(), grid);
    EXPECT_EQ(log, (Log{"open Файл", "close Файл", "open ?", "close ?"}));
}

TEST_F(MenuChainTest, LeftFromAFirstLevelMenuOpensThePreviousTitleWithWrapping) {
    chain.enter(bar.get());
    key(VK_DOWN);
    key(VK_LEFT);
    EXPECT_EQ(head()->name, "?");
    key(VK_LEFT);
    EXPECT_EQ(head()->name, "Файл");
    key(VK_TAB, {ssShift});  // in a menu Shift+Tab moves up, wrapping on one item
    EXPECT_EQ(head()->selected_caption(), "Выход");
}

TEST_F(MenuChainTest, MouseOpensAnimatedClosesOnTheSameTitleAndHoverSwitches) {
    chain.press_item(bar.get(), 1);
    EXPECT_TRUE(chain.active());
    EXPECT_EQ(head()->selected(), -1) << "a menu opened by the mouse selects nothing";
    chain.hover_item(bar.get(), 0);
    EXPECT_EQ(head()->name, "Файл");
    chain.hover_item(head(), 0);
    EXPECT_EQ(head()->selected_caption(), "Выход");
    chain.press_item(bar.get(), 0);
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(log, (Log{"open ? by mouse", "close ?", "open Файл by hover", "close Файл"}));
    // Twice on "?": opens and closes.
    log.clear();
    chain.press_item(bar.get(), 1);
    chain.press_item(bar.get(), 1);
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(log, (Log{"open ? by mouse", "close ?"}));
    // A button in a menu runs on release.
    chain.press_item(bar.get(), 1);
    chain.press_item(head(), 1);
    EXPECT_TRUE(chain.active());
    chain.release_item(head(), 1);
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(log.back(), "click Мы в интернете");
}

TEST_F(MenuChainTest, MnemonicsOnlyWhereCaptionsHaveThem) {
    // The directory's captions have no "&": a letter does nothing.
    chain.key_for_char = [](unsigned char c) -> std::optional<dxbar::KeyForChar> {
        if (c == static_cast<unsigned char>(utf8_to_cp1251("ф")[0])) return dxbar::KeyForChar{'A', false, false};
        if (c == static_cast<unsigned char>(utf8_to_cp1251("в")[0])) return dxbar::KeyForChar{'D', false, false};
        return std::nullopt;
    };
    chain.enter(bar.get());
    key('A');
    EXPECT_EQ(chain.levels().size(), 1u);
    EXPECT_EQ(bar->selected_caption(), "Файл");
    chain.leave();
    // With "&Файл" and "&Выход" the keys of "ф" and "в" under the layout work.
    bar->items[0].caption = "&Файл";
    bar->items[0].items[0].caption = "&Выход";
    chain.enter(bar.get(), 1);
    key('A');
    ASSERT_EQ(chain.levels().size(), 2u);
    EXPECT_EQ(head()->selected_caption(), "&Выход");
    key('D');
    EXPECT_FALSE(chain.active());
    EXPECT_EQ(log.back(), "click &Выход");
}

TEST_F(MenuChainTest, DownOnTheLastItemOrCtrlDownExpands) {
    chain.enter(bar.get());
    key(VK_RIGHT);
    key(VK_DOWN);
    head()->hides_items = true;
    key(VK_DOWN, {ssCtrl});
    EXPECT_EQ(log.back(), "expand ?");
    head()->hides_items = true;
    key(VK_DOWN);
    EXPECT_EQ(head()->selected_caption(), "Мы в интернете");
    key(VK_DOWN);
    EXPECT_EQ(log.back(), "expand ?");
    EXPECT_EQ(head()->selected_caption(), "Мы в интернете");
}

TEST_F(MenuChainTest, EnteringAnotherBarLeavesTheFirst) {
    FakeLevel other("SearchBar", {{"Фамилия", MenuItemKind::edit}}, true, bar_window, log, menus);
    chain.enter(bar.get());
    key(VK_DOWN);
    chain.enter(&other, 0);
    EXPECT_EQ(chain.root(), &other);
    EXPECT_EQ(bar->selected(), -1);
    // Choosing an edit box keeps its bar in keyboard mode.
    key(VK_RETURN);
    EXPECT_TRUE(chain.active());
    EXPECT_EQ(log, (Log{"open Файл", "close Файл", "click Фамилия"}));
}

}  // namespace
