#include "BarsTestSupport.h"

#include "bars/HintPlacement.h"
#include "bars/MenuSystem.h"
#include "bars/TdxBarSubMenuControl.h"
#include "bars/dxBarMenus.h"
#include "platform/forms/EditWindow.h"

#include <set>

namespace bars::test {
namespace {

using namespace ui;
using Log = std::vector<std::string>;

class MainMenuTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        form->CloseButton->OnClick = [this](TObject*) { log.push_back("Exit"); };
        form->AboutMenu->OnClick = [this](TObject*) { log.push_back("About"); };
        form->WebPageMenu->OnClick = [this](TObject*) { log.push_back("Web"); };
        form->Grid->SetFocus();
        host.pump();
    }
    dxbar::MenuSystem& system() { return *dxbar::MenuSystem::instance(); }
    dxbar::MenuChain& chain() { return system().chain(); }
    TdxBarControl& menuBar() { return *form->MainMenu->Control(); }
    dxbar::BarMenuLevel& level() {
        return *dxbar::BarMenus::ClientOf(&manager())->LevelOf(&menuBar());
    }
    TdxBarSubMenuControl* openMenu() { return level().OpenMenu(); }
    // The centre of a title of the main menu on the screen.
    TPoint title(TdxBarItem* item) {
        const TRect r = item->Links(0)->Control()->ItemRect();
        return screen(menuBar(), Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
    TPoint row(TdxBarSubMenuControl* menu, int index) {
        const TRect r = menu->ItemRect(index);
        return ws().client_to_screen(menu->Handle(), Point(r.Left + 30, (r.Top + r.Bottom) / 2));
    }
    AnsiString selectedTitle() {
        TdxBarItemControl* c = menuBar().SelectedControl();
        return c ? c->Item()->Caption() : AnsiString("-");
    }
    AnsiString selectedRow() {
        TdxBarSubMenuControl* m = openMenu();
        return m && m->selected() >= 0 ? m->item_caption(m->selected()) : AnsiString("-");
    }
    // Lets an animation run to its end.
    void finishAnimation() {
        while (system().animator().running()) {
            // Each step waits for the tick to move on.
            const int drawn = system().animator().steps_drawn();
            host.advance(1);
            ws().wait_dispatching([&] { return !system().animator().running() || system().animator().steps_drawn() != drawn; });
        }
        host.pump();
    }

    Log log;
};

TEST_F(MainMenuTest, F10DownEnterRunsExit) {
    host.press_key(VK_F10);
    EXPECT_TRUE(chain().active());
    EXPECT_EQ(selectedTitle(), AnsiString("Файл"_a));
    EXPECT_FALSE(openMenu());
    host.press_key(VK_DOWN);
    ASSERT_TRUE(openMenu());
    EXPECT_EQ(selectedRow(), AnsiString("Выход"_a));
    EXPECT_EQ(openMenu()->LastAnimation(), dxbar::MenuAnimationKind::none);
    host.press_key(VK_RETURN);
    EXPECT_FALSE(chain().active());
    EXPECT_FALSE(openMenu());
    EXPECT_EQ(log, Log{"Exit"});
    EXPECT_TRUE(form->Grid->Focused());
    checkAll();
}

TEST_F(MainMenuTest, AltAloneSelectsFileAndAltWithALetterDoesNothing) {
    host.press_key('F', {VK_MENU});
    EXPECT_FALSE(chain().active());
    host.press_key(VK_MENU);
    EXPECT_TRUE(chain().active());
    EXPECT_EQ(selectedTitle(), AnsiString("Файл"_a));
    EXPECT_FALSE(openMenu());
    host.press_key(VK_ESCAPE);
    EXPECT_FALSE(chain().active());
    EXPECT_TRUE(log.empty());
}

TEST_F(MainMenuTest, RightFromFileOpensHelpAndEscTwiceGivesTheFocusBack) {
    host.press_key(VK_F10);
    host.press_key(VK_DOWN);
    host.press_key(VK_RIGHT);
    ASSERT_TRUE(openMenu());
    EXPECT_EQ(selectedTitle(), "?");
    EXPECT_EQ(selectedRow(), AnsiString("О программе..."_a));
    EXPECT_EQ(openMenu()->item_count(), 2);
    host.press_key(VK_ESCAPE);
    EXPECT_FALSE(openMenu());
    EXPECT_TRUE(chain().active());
    EXPECT_EQ(selectedTitle(), "?");
    host.press_key(VK_ESCAPE);
    EXPECT_FALSE(chain().active());
    EXPECT_EQ(selectedTitle(), "-");
    EXPECT_TRUE(form->Grid->Focused());
}

TEST_F(MainMenuTest, ClickingHelpTwiceOpensAndClosesAndMouseOpeningsAnimateBothWays) {
    std::set<dxbar::MenuAnimationKind> kinds;
    for (int i = 0; i < 16; ++i) {
        host.click(title(form->N1));
        ASSERT_TRUE(openMenu());
        kinds.insert(openMenu()->LastAnimation());
        finishAnimation();
        EXPECT_EQ(ws().get_window_rect(openMenu()->Handle()), openMenu()->Placement().bounds);
        host.click(title(form->N1));
        EXPECT_FALSE(openMenu());
        EXPECT_FALSE(chain().active());
    }
    EXPECT_EQ(kinds, (std::set<dxbar::MenuAnimationKind>{dxbar::MenuAnimationKind::unfold,
                                                        dxbar::MenuAnimationKind::slide}));
}

TEST_F(MainMenuTest, AClickOnACommandRunsItAndAClickElsewhereClosesTheMenu) {
    host.click(title(form->N1));
    finishAnimation();
    ASSERT_TRUE(openMenu());
    host.click(row(openMenu(), 1));
    EXPECT_EQ(log, Log{"Web"});
    EXPECT_FALSE(chain().active());
    // A press on the grid closes an open menu and still reaches the grid.
    host.click(title(form->FileMenu));
    finishAnimation();
    ASSERT_TRUE(openMenu());
    host.click(screen(*form->Grid, Point(100, 100)));
    EXPECT_FALSE(openMenu());
    EXPECT_FALSE(chain().active());
    EXPECT_EQ(log, Log{"Web"});
    // Pressed on a title and released outside the menus: closed; released on the title: open.
    host.mouse_down(MouseButton::left, title(form->N1));
    finishAnimation();
    host.mouse_up(MouseButton::left, title(form->N1));
    EXPECT_TRUE(openMenu());
    host.click(title(form->N1));
    ASSERT_FALSE(chain().active());
    host.mouse_down(MouseButton::left, title(form->N1));
    finishAnimation();
    host.mouse_up(MouseButton::left, screen(*form->Grid, Point(300, 200)));
    EXPECT_FALSE(chain().active());
    // Hovering over the other title with a menu dropped switches menus at once.
    host.click(title(form->FileMenu));
    finishAnimation();
    host.mouse_move(title(form->N1));
    ASSERT_TRUE(openMenu());
    EXPECT_EQ(openMenu()->item_count(), 2);
    EXPECT_EQ(openMenu()->LastAnimation(), dxbar::MenuAnimationKind::none);
}

TEST_F(MainMenuTest, AboutUsedTenTimesMoreHidesTheWebPageBehindTheExpandButton) {
    auto about_by_keyboard = [&] {
        host.press_key(VK_F10);
        host.press_key(VK_RIGHT);
        host.press_key(VK_DOWN);
        host.press_key(VK_RETURN);
    };
    for (int i = 0; i < 9; ++i) about_by_keyboard();
    EXPECT_EQ(form->AboutMenu->Links(0)->UseCount() - form->WebPageMenu->Links(0)->UseCount(), 9);
    host.press_key(VK_F10);
    host.press_key(VK_RIGHT);
    host.press_key(VK_DOWN);
    EXPECT_EQ(openMenu()->item_count(), 2) << "a spread of 9 hides nothing";
    host.press_key(VK_RETURN);
    ASSERT_EQ(log.size(), 10u);
    host.press_key(VK_F10);
    host.press_key(VK_RIGHT);
    host.press_key(VK_DOWN);
    ASSERT_TRUE(openMenu());
    EXPECT_EQ(openMenu()->item_count(), 1);
    EXPECT_TRUE(openMenu()->HasExpandButton());
    EXPECT_EQ(selectedRow(), AnsiString("О программе..."_a));
    // Down on the last item expands; the web page is there again.
    host.press_key(VK_DOWN);
    EXPECT_EQ(openMenu()->item_count(), 2);
    host.press_key(VK_DOWN);
    EXPECT_EQ(selectedRow(), AnsiString("Мы в интернете"_a));
    host.press_key(VK_RETURN);
    EXPECT_EQ(log.back(), "Web");
    // Used last, it shows again at the next opening.
    host.press_key(VK_F10);
    host.press_key(VK_RIGHT);
    host.press_key(VK_DOWN);
    EXPECT_EQ(openMenu()->item_count(), 2);
}

TEST_F(MainMenuTest, CtrlXCutsInsideASearchBoxAndShortcutsRunFromTheGrid) {
    // Typing in the last-name box: Ctrl+X cuts the selected text.
    host.click(boxCenter(form->LastNameEdit));
    ASSERT_TRUE(editControl(form->LastNameEdit)->Active());
    const HWND box = editControl(form->LastNameEdit)->WindowHandle();
    ASSERT_EQ(ws().get_focus(), box);
    host.type_chars("abc");
    ASSERT_EQ(editControl(form->LastNameEdit)->WindowText(), "abc");
    ws().send_message(box, forms::EM_SETSEL, 0, -1);
    host.press_key('X', {VK_CONTROL});
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(host.clipboard_utf8(), "abc");
    EXPECT_EQ(editControl(form->LastNameEdit)->WindowText(), "");
    // Back in the grid the three shortcuts run their commands.
    host.click(screen(*form->Grid, Point(100, 100)));
    ASSERT_FALSE(editControl(form->LastNameEdit)->Active());
    host.press_key(VK_F1);
    host.press_key('W', {VK_CONTROL});
    host.press_key('X', {VK_CONTROL});
    EXPECT_EQ(log, (Log{"About", "Web", "Exit"}));
    // A shortcut marks no link as used: it keeps the count a new link starts with.
    EXPECT_EQ(form->CloseButton->Links(0)->UseCount(), manager().RecentItemsThreshold());
}

TEST_F(MainMenuTest, HintsShowAfterTheDelayWithTheirShortcutAndSwitchAtOnce) {
    host.mouse_move(boxCenter(form->LastNameEdit));
    host.advance(999);
    TdxBarHintWindow& hint = system().hints().window();
    EXPECT_FALSE(hint.HintShowing());
    host.advance(1);
    ASSERT_TRUE(hint.HintShowing());
    EXPECT_EQ(hint.HintText(), AnsiString("Фамилия"_a));
    const TPoint cursor = boxCenter(form->LastNameEdit);
    EXPECT_EQ(ws().get_window_rect(hint.Handle()).Top, cursor.Y + 20);
    host.mouse_move(boxCenter(form->FirstNameEdit));
    EXPECT_TRUE(hint.HintShowing());
    EXPECT_EQ(hint.HintText(), AnsiString("Имя"_a));
    // Off the bars: hidden.
    host.mouse_move(screen(*form->Grid, Point(100, 100)));
    EXPECT_FALSE(hint.HintShowing());
    // The menu commands' hints carry their shortcuts.
    const AnsiString text = dxbar::hint_text(form->AboutMenu->Hint(), static_cast<TShortCut>(form->AboutMenu->ShortCut()), true);
    EXPECT_EQ(text, AnsiString("О программе (F1)"_a));
}

}  // namespace
}  // namespace bars::test
