#include "bars/ShortCut.h"
#include "bars/ShortCutSearch.h"

#include "platform/ui/HeadlessHost.h"
#include "platform/ui/ScopedHook.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using text::utf8_to_cp1251;

#include <map>
#include <string>

using namespace ui;

TEST(ShortCut, ValuesAndNames) {
    struct Case {
        int key;
        TShiftState shift;
        TShortCut value;
        const char* text;
    };
    const Case cases[] = {
        {VK_F1, {}, 112, "F1"},
        {'W', {ssCtrl}, 16471, "Ctrl+W"},
        {'X', {ssCtrl}, 16472, "Ctrl+X"},
        {VK_F10, {ssShift}, 0x2000 + VK_F10, "Shift+F10"},
        {'A', {ssAlt, ssCtrl, ssShift}, 0xE000 + 'A', "Shift+Ctrl+Alt+A"},
        {VK_DELETE, {ssCtrl}, 0x4000 + VK_DELETE, "Ctrl+Del"},
        {VK_RETURN, {}, VK_RETURN, "Enter"},
        {'5', {ssAlt}, 0x8000 + '5', "Alt+5"},
        {0, {}, 0, ""},
        {VK_SHIFT, {ssShift}, 0x2000 + VK_SHIFT, ""},  // a modifier alone has no name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ShortCut(c.key, c.shift), c.value);
        EXPECT_EQ(ShortCutToText(c.value), c.text);
    }
}

// The shortcut is the physical key: under a Russian layout the key W types
// "ц", and Ctrl+that key is still Ctrl+W.
TEST(ShortCut, KeyDownSeenByAHookIsThePhysicalKeyWithItsModifiers) {
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    CreateParams p;
    p.bounds = Bounds(0, 0, 100, 100);
    p.style = WS_POPUP | WS_VISIBLE;
    const HWND form = ws.create_window(p);
    ws.set_focus(form);
    std::vector<TShortCut> seen;
    ScopedHook hook(ws, HookKind::keyboard, [&](int code, WPARAM w, LPARAM l) {
        const int vk = static_cast<int>(w);
        const bool modifier = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
        if (!(l & KF_UP) && !modifier) seen.push_back(dxbar::shortcut_of_key_down(static_cast<int>(w)));
        return hook.call_next(code, w, l);
    });
    host.key_down(VK_CONTROL);
    host.key_down('W');
    host.type_chars(utf8_to_cp1251("ц"));
    host.key_up('W');
    host.key_up(VK_CONTROL);
    host.press_key(VK_F1);
    host.press_key('X', {VK_SHIFT, VK_MENU});
    EXPECT_EQ(seen, (std::vector<TShortCut>{16471, 112, 0xA000 + 'X'}));
}

namespace {

// Bars described by plain data: lists of links naming items.
struct FakeItem {
    dxbar::ShortCutItemKind kind = dxbar::ShortCutItemKind::button;
    TShortCut shortcut = 0;
    bool visible = true;
    bool enabled = true;
    int sub = -1;        // index of the submenu's links
    int drop_down = -1;  // index of a drop-down menu's links
};

struct FakeBars {
    using Item = FakeItem;
    using Links = std::vector<FakeItem*>;
    std::vector<Links> lists;

    template <class F>
    void links(const Links& list, F f) const {
        for (FakeItem* item : list)
            if (f(item)) return;
    }
    dxbar::ShortCutItemKind kind(const Item* i) const { return i->kind; }
    bool visible(const Item* i) const { return i->visible; }
    bool enabled(const Item* i) const { return i->enabled; }
    TShortCut shortcut(const Item* i) const { return i->shortcut; }
    const Links* sub_links(const Item* i) const { return i->sub >= 0 ? &lists[i->sub] : nullptr; }
    const Links* drop_down_links(const Item* i) const { return i->drop_down >= 0 ? &lists[i->drop_down] : nullptr; }
};

}  // namespace

TEST(ShortCutSearch, OrderAndSkippingRules) {
    using K = dxbar::ShortCutItemKind;
    // The directory's main menu: "Файл" (Выход), "?" (О программе..., Мы в интернете).
    FakeItem exit{K::button, 16472}, about{K::button, 112}, web{K::button, 16471};
    FakeItem file{K::submenu, 16472, true, true, 1}, help{K::submenu, 0, true, true, 2};
    FakeItem edit{K::window, 16472};
    FakeItem second_exit{K::button, 16472};
    FakeItem drop{K::button, 0, true, true, -1, 4}, in_drop{K::button, 'D' + scCtrl};
    FakeBars bars;
    bars.lists = {{&file, &help}, {&exit}, {&about, &web}, {&edit, &second_exit, &drop}, {&in_drop, &drop}};
    const FakeBars::Links* main = &bars.lists[0];
    const std::vector<const FakeBars::Links*> others{&bars.lists[3]};

    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 112), &about);
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 16471), &web);
    // A submenu item's own shortcut is never compared; the menu bar comes first.
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 16472), &exit);
    // Disabled: the search goes on to the toolbar's button (past the edit box).
    exit.enabled = false;
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 16472), &second_exit);
    // An invisible item never runs; so does nothing in a hidden bar.
    exit.enabled = true;
    exit.visible = false;
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, {}, 16472), nullptr);
    exit.visible = true;
    // A hidden main menu bar is still searched; a disabled submenu hides its links.
    help.enabled = false;
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 112), nullptr);
    help.enabled = true;
    // Through a drop-down button's menu, which lists the button itself again.
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 'D' + scCtrl), &in_drop);
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, 'Q' + scCtrl), nullptr);
    EXPECT_EQ(dxbar::find_shortcut_item(bars, main, others, scNone), nullptr);
}
