#include "MenuTestWindows.h"

#include "bars/MenuSystem.h"
#include "bars/TdxBarSubMenuControl.h"

#include "platform/forms/TApplication.h"
#include "platform/gfx/TFont.h"
#include "platform/ui/HeadlessHost.h"
#include "platform/ui/SystemSettings.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace ui;
using dxbar::MenuItemKind;
using dxbar::OpenedBy;
using text::utf8_to_cp1251;

namespace {

using Log = std::vector<std::string>;

// Rows of plain data; choosing one logs its caption.
class FakeSource : public dxbar::SubMenuSource {
public:
    FakeSource(std::vector<dxbar::MenuRow> rows, Log& log) : m_rows(std::move(rows)), m_log(log) {
        assign_system_font(menu_font(), m_font);
    }
    std::vector<dxbar::MenuRow> rows() const override { return m_rows; }
    dxbar::SubMenuSource* submenu(int row) override {
        return m_rows[static_cast<std::size_t>(row)].kind == MenuItemKind::submenu ? nested : nullptr;
    }
    std::function<void()> prepare_click(int row) override {
        const std::string caption = text::cp1251_to_utf8(m_rows[static_cast<std::size_t>(row)].caption);
        return [this, caption] { m_log.push_back("click " + caption); };
    }
    void popup() override { ++popups; }
    void close_up() override { ++close_ups; }
    const TFont& font() const override { return m_font; }
    dxbar::MenuAnimationSetting animations() const override { return animation; }
    bool show_full_menus_after_delay() const override { return full_after_delay; }

    std::vector<dxbar::MenuRow> m_rows;
    Log& m_log;
    TFont m_font;
    dxbar::MenuAnimationSetting animation = dxbar::MenuAnimationSetting::none;
    int popups = 0;
    int close_ups = 0;
    bool full_after_delay = true;
    FakeSource* nested = nullptr;
};

dxbar::MenuRow row(const char* caption, TShortCut sc = 0, bool begin_group = false, bool recent = true) {
    dxbar::MenuRow r;
    r.caption = utf8_to_cp1251(caption);
    r.shortcut = sc;
    r.begin_group = begin_group;
    r.recent = recent;
    return r;
}

// A main menu bar whose titles open real menu windows below their rectangles.
class TitleBar : public dxbar::MenuLevel {
public:
    TitleBar(HWND window, dxbar::MenuChain& chain, std::vector<FakeSource*> menus, std::vector<TRect> titles)
        : m_window(window), m_chain(chain), m_menus(std::move(menus)), m_titles(std::move(titles)) {}
    int item_count() const override { return static_cast<int>(m_menus.size()); }
    bool item_selectable(int) const override { return true; }
    MenuItemKind item_kind(int) const override { return MenuItemKind::submenu; }
    AnsiString item_caption(int) const override { return {}; }
    int selected() const override { return m_selected; }
    void set_selected(int i) override { m_selected = i; }
    bool is_bar() const override { return true; }
    HWND window() const override { return m_window; }
    MenuLevel* open_submenu(int i, OpenedBy by) override {
        open.reset();
        open = std::make_unique<TdxBarSubMenuControl>(*m_menus[static_cast<std::size_t>(i)], m_chain,
                                                      WindowSystem::current().get_top_level(m_window));
        const TRect t = m_titles[static_cast<std::size_t>(i)];
        const TPoint tl = WindowSystem::current().client_to_screen(m_window, Point(t.Left, t.Top));
        open->Popup(Bounds(tl.X, tl.Y, t.Width(), t.Height()), dxbar::SubMenuOwner::horizontal_bar, by);
        return open.get();
    }
    void close() override {}
    std::function<void()> prepare_click(int) override { return {}; }

    std::unique_ptr<TdxBarSubMenuControl> open;

private:
    HWND m_window;
    dxbar::MenuChain& m_chain;
    std::vector<FakeSource*> m_menus;
    std::vector<TRect> m_titles;
    int m_selected = -1;
};

struct SubMenuControlTest : ::testing::Test {
    HeadlessHost host{800, 600};
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    WindowSystem& ws = host.windows();
    dxbar::MenuSystem& system = dxbar::MenuSystem::acquire(ws);
    Log log;
    FakeSource file{{row("Выход", 16472)}, log};
    FakeSource help{{row("О программе...", 112), row("Мы в интернете", 16471, true)}, log};
    HWND form = kNoWindow, bar_window = kNoWindow;
    std::unique_ptr<TitleBar> bar;

    void SetUp() override {
        const dxbar::test::MenuWindows w = dxbar::test::create_menu_windows(ws);
        form = w.form;
        bar_window = w.bar;
        make_bar(Bounds(0, 0, 600, 24));
    }
    void make_bar(TRect bar_bounds) {
        ws.move_window(bar_window, bar_bounds);
        bar = std::make_unique<TitleBar>(bar_window, system.chain(), std::vector<FakeSource*>{&file, &help},
                                         std::vector<TRect>{Bounds(2, 2, 50, 20), Bounds(52, 2, 30, 20)});
    }
    void TearDown() override {
        system.chain().leave();
        bar.reset();
        dxbar::MenuSystem::release();
        app.reset();
    }
    TdxBarSubMenuControl* menu() { return bar->open && !bar->open->Closed() ? bar->open.get() : nullptr; }
};

TEST_F(SubMenuControlTest, OpensBelowItsTitleWithRowsSeparatorAndShortcuts) {
    system.chain().enter(bar.get(), 1);
    system.chain().key_down(VK_DOWN, {});
    TdxBarSubMenuControl* m = menu();
    ASSERT_TRUE(m);
    EXPECT_EQ(help.popups, 1);
    EXPECT_EQ(m->Placement().bounds.Left, 52);
    EXPECT_EQ(m->Placement().bounds.Top, 22);
    EXPECT_TRUE(ws.is_visible(m->Handle()));
    EXPECT_EQ(m->LastAnimation(), dxbar::MenuAnimationKind::none);
    ASSERT_EQ(m->item_count(), 2);
    // The separator sits between the two rows.
    EXPECT_GT(m->ItemRect(1).Top, m->ItemRect(0).Bottom);
    EXPECT_EQ(m->selected(), 0);
    host.pump();
    // The frame is the button text colour; the selected row the hot face.
    EXPECT_EQ(host.pixel(m->Handle(), 0, 5), ColorToRGB(clBtnText));
    const TRect r0 = m->ItemRect(0);
    EXPECT_EQ(host.pixel(m->Handle(), r0.Left, r0.Top), ColorToRGB(clHighlight));
    const TRect r1 = m->ItemRect(1);
    EXPECT_EQ(host.pixel(m->Handle(), r1.Right - 2, r1.Top + 2), ColorToRGB(clWindow));
    m->check_invariants();
    // Esc closes it; OnCloseUp ran.
    system.chain().key_down(VK_ESCAPE, {});
    EXPECT_TRUE(bar->open->Closed());
    EXPECT_EQ(help.close_ups, 1);
    EXPECT_FALSE(bar->open->HandleAllocated());
}

TEST_F(SubMenuControlTest, RandomAnimationShowsBothKindsByMouseAndNoneByKeyboard) {
    help.animation = dxbar::MenuAnimationSetting::random;
    std::set<dxbar::MenuAnimationKind> by_mouse;
    for (int i = 0; i < 24; ++i) {
        system.chain().press_item(bar.get(), 1);
        ASSERT_TRUE(menu());
        by_mouse.insert(menu()->LastAnimation());
        system.chain().press_item(bar.get(), 1);  // the same title closes it, stopping the animation
        ASSERT_FALSE(system.chain().active());
    }
    EXPECT_EQ(by_mouse, (std::set<dxbar::MenuAnimationKind>{dxbar::MenuAnimationKind::unfold,
                                                           dxbar::MenuAnimationKind::slide}));
    for (int i = 0; i < 5; ++i) {
        system.chain().enter(bar.get(), 1);
        system.chain().key_down(VK_DOWN, {});
        EXPECT_EQ(menu()->LastAnimation(), dxbar::MenuAnimationKind::none);
        system.chain().leave();
    }
}

TEST_F(SubMenuControlTest, AnAnimatedMenuEndsWholeAndTakesKeysAtOnce) {
    help.animation = dxbar::MenuAnimationSetting::slide;
    system.chain().press_item(bar.get(), 1);
    ASSERT_TRUE(menu());
    const TRect whole = menu()->Placement().bounds;
    // A key while it slides out: the animation stops and the menu is whole.
    ws.wait_dispatching([&] { return system.animator().steps_drawn() >= 1 || !system.animator().running(); });
    system.animator().abort_and_wait();
    system.chain().key_down(VK_DOWN, {});
    EXPECT_FALSE(system.animator().running());
    EXPECT_EQ(ws.get_window_rect(menu()->Handle()), whole);
    EXPECT_EQ(menu()->selected(), 0);
}

TEST_F(SubMenuControlTest, NearTheBottomTheMenuFlipsAboveItsTitle) {
    make_bar(Bounds(0, 560, 600, 24));
    system.chain().enter(bar.get(), 1);
    system.chain().key_down(VK_DOWN, {});
    ASSERT_TRUE(menu());
    EXPECT_TRUE(menu()->Placement().upwards);
    EXPECT_EQ(menu()->Placement().bounds.Bottom, 562);
}

TEST_F(SubMenuControlTest, MouseSelectsAndAReleaseOnAButtonRunsIt) {
    system.chain().press_item(bar.get(), 0);
    TdxBarSubMenuControl* m = menu();
    ASSERT_TRUE(m);
    const TRect r = m->ItemRect(0);
    const TPoint p = ws.client_to_screen(m->Handle(), Point(r.Left + 10, r.Top + 5));
    host.mouse_move(p);
    EXPECT_EQ(m->selected(), 0);
    host.click(p);
    EXPECT_FALSE(system.chain().active());
    EXPECT_EQ(log, (Log{"click Выход"}));
}

TEST_F(SubMenuControlTest, HiddenCommandsWaitBehindTheExpandButton) {
    help.m_rows[1].recent = false;
    system.chain().enter(bar.get(), 1);
    system.chain().key_down(VK_DOWN, {});
    TdxBarSubMenuControl* m = menu();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->item_count(), 1);
    EXPECT_TRUE(m->HasExpandButton());
    const int short_height = m->Placement().bounds.Height();
    // Down on the last item expands.
    system.chain().key_down(VK_DOWN, {});
    EXPECT_EQ(m->item_count(), 2);
    EXPECT_FALSE(m->HasExpandButton());
    EXPECT_GT(m->Placement().bounds.Height(), short_height);
    // The chain stays expanded: the next menu of this opening shows everything.
    system.chain().key_down(VK_RIGHT, {});
    system.chain().key_down(VK_RIGHT, {});
    EXPECT_EQ(menu()->item_count(), 2);
    system.chain().leave();
    // By time: four seconds after opening.
    system.chain().enter(bar.get(), 1);
    system.chain().key_down(VK_DOWN, {});
    EXPECT_EQ(menu()->item_count(), 1);
    host.advance(4000);
    EXPECT_EQ(menu()->item_count(), 2);
}

TEST_F(SubMenuControlTest, RestingOnASubmenuRowOpensItBesideAfterTheHoverDelay) {
    FakeSource more{{row("Первый"), row("Второй")}, log};
    dxbar::MenuRow sub = row("Ещё");
    sub.kind = MenuItemKind::submenu;
    help.m_rows.push_back(sub);
    help.nested = &more;
    system.chain().press_item(bar.get(), 1);
    TdxBarSubMenuControl* m = menu();
    ASSERT_TRUE(m);
    const TRect r = m->ItemRect(2);
    host.mouse_move(ws.client_to_screen(m->Handle(), Point(r.Left + 20, r.Top + 5)));
    EXPECT_EQ(m->selected(), 2);
    host.advance(399);
    EXPECT_FALSE(m->OpenChild());
    host.advance(1);
    TdxBarSubMenuControl* child = m->OpenChild();
    ASSERT_TRUE(child);
    EXPECT_EQ(child->item_count(), 2);
    // Beside its row, raised by 2 pixels in the flat style.
    const TRect row_screen = Bounds(ws.client_to_screen(m->Handle(), Point(r.Left, r.Top)).X,
                                    ws.client_to_screen(m->Handle(), Point(r.Left, r.Top)).Y, r.Width(), r.Height());
    EXPECT_EQ(child->Placement().bounds.Left, row_screen.Right);
    EXPECT_EQ(child->Placement().bounds.Top, row_screen.Top - 2);
    // Moving onto another row closes it after the same delay.
    const TRect r0 = m->ItemRect(0);
    host.mouse_move(ws.client_to_screen(m->Handle(), Point(r0.Left + 20, r0.Top + 5)));
    EXPECT_TRUE(m->OpenChild());
    host.advance(400);
    EXPECT_FALSE(m->OpenChild());
    // By keyboard: Enter opens it with its first row selected, Left closes it.
    system.chain().key_down(VK_END, {});
    system.chain().key_down(VK_RETURN, {});
    ASSERT_TRUE(m->OpenChild());
    EXPECT_EQ(m->OpenChild()->selected(), 0);
    system.chain().key_down(VK_LEFT, {});
    EXPECT_FALSE(m->OpenChild());
    EXPECT_EQ(system.chain().head(), m);
}

TEST_F(SubMenuControlTest, WithoutExpansionByTimeTheExpandButtonOffersAHint) {
    help.m_rows[1].recent = false;
    help.full_after_delay = false;
    system.chain().enter(bar.get(), 1);
    system.chain().key_down(VK_DOWN, {});
    TdxBarSubMenuControl* m = menu();
    ASSERT_TRUE(m && m->HasExpandButton());
    const TRect item = m->ItemRect(0);
    host.mouse_move(ws.client_to_screen(m->Handle(), Point(item.Left + 20, item.Bottom + 3)));
    host.advance(1000);
    EXPECT_TRUE(system.hints().window().HintShowing());
    EXPECT_EQ(system.hints().window().HintText(), utf8_to_cp1251("&Расширить (Ctrl-Down)"));
    host.advance(10000);
    EXPECT_TRUE(m->HasExpandButton()) << "no expansion by time";
    system.chain().key_down(VK_DOWN, {ssCtrl});
    EXPECT_FALSE(m->HasExpandButton());
}

}  // namespace
