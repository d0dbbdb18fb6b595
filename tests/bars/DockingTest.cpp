#include "BarsTestSupport.h"

namespace bars::test {
namespace {

class DockingTest : public BarsTest {
protected:
    TdxBarControl* search() { return form->SearchBar->Control(); }
    TdxBarControl* menu() { return form->MainMenu->Control(); }
    // Presses on a bar's grip (or a floating bar's caption), moves so that the
    // bar's corner would land on `corner` (screen), and releases.
    void drag(TdxBarControl* bar, TPoint corner, bool release = true) {
        const TRect handle = bar->Docked() ? bar->GripRect() : bar->CaptionRect();
        const TPoint grab{handle.Left + 1, handle.Top + 5};
        host.advance(ws().double_click_time() + 1);  // not a double click with the last press
        host.mouse_down(ui::MouseButton::left, screen(*bar, grab));
        host.mouse_move(TPoint{corner.X + grab.X, corner.Y + grab.Y});
        if (release) host.mouse_up(ui::MouseButton::left, TPoint{corner.X + grab.X, corner.Y + grab.Y});
    }
    TPoint dockPoint(int x, int y) { return screen(topDock(), TPoint{x, y}); }
    void resizeForm(int width) {
        form->SetWidth(width);
        host.pump();
    }
    std::vector<std::vector<TdxBar*>> rows() {
        std::vector<std::vector<TdxBar*>> out;
        for (int r = 0; r < topDock().RowCount(); ++r) {
            out.emplace_back();
            for (const auto& cell : topDock().Rows(r)) out.back().push_back(&cell.bar->Bar());
        }
        return out;
    }
    TdxBar* addToolbar(int row, int left) {
        TdxBar* bar = manager().Bars().Add();
        bar->SetCaption("Tools");
        bar->SetRow(row);
        bar->SetDockedLeft(left);
        bar->SetDockingStyle(dsTop);
        bar->ItemLinks().Add(form->CloseButton);
        bar->SetVisible(true);
        return bar;
    }
};

TEST_F(DockingTest, ANarrowWindowShortensTheSearchBarWithItsMark) {
    const int natural = search()->NaturalLength();
    EXPECT_EQ(search()->Width(), natural);
    EXPECT_FALSE(search()->Truncated());
    EXPECT_FALSE(search()->MarkRect().IsEmpty());  // the flat style always shows it
    resizeForm(400);
    EXPECT_TRUE(search()->Truncated());
    EXPECT_EQ(search()->Width(), 400);
    EXPECT_GE(search()->Width(), search()->MinLength());
    EXPECT_TRUE(form->CityEdit->Links(0)->ItemRect().IsEmpty());  // hidden behind the mark
    EXPECT_FALSE(form->PhoneEdit->Links(0)->ItemRect().IsEmpty());
    resizeForm(50);
    // Never shorter than its widest box and its borders.
    EXPECT_EQ(search()->Width(), search()->MinLength());
    resizeForm(1000);
    EXPECT_FALSE(search()->Truncated());
    EXPECT_FALSE(form->CityEdit->Links(0)->ItemRect().IsEmpty());
    checkAll();
}

TEST_F(DockingTest, ANarrowWindowWrapsTheMenuTitlesAndTheDockGrows) {
    const int oneLine = menu()->Height();
    resizeForm(menu()->NaturalLength() - 20);
    EXPECT_EQ(menu()->Height(), oneLine + manager().ButtonSize());
    EXPECT_FALSE(menu()->Truncated());
    EXPECT_EQ(topDock().Height(), menu()->Height() + search()->Height());
    EXPECT_EQ(form->Grid->Top(), topDock().Height());
    const TRect first = form->FileMenu->Links(0)->ItemRect();
    const TRect second = form->N1->Links(0)->ItemRect();
    EXPECT_EQ(second.Left, first.Left);
    EXPECT_EQ(second.Top, first.Bottom);
    resizeForm(1000);
    EXPECT_EQ(topDock().Height(), 50);
    checkAll();
}

TEST_F(DockingTest, DraggingIntoTheBandAfterARowMakesANewRowThere) {
    TdxBar* tools = addToolbar(1, 800);
    ASSERT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {form->SearchBar, tools}}));
    drag(search(), dockPoint(0, 11));
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {form->SearchBar}, {tools}}));
    EXPECT_EQ(form->SearchBar->Row(), 1);
    EXPECT_EQ(tools->Row(), 2);
    EXPECT_EQ(topDock().Height(), 27 + 23 + tools->Control()->Height());
    // Into the tools' row, to its right: the two share the row, in order of position.
    drag(search(), dockPoint(900, topDock().RowStart(2) + 2));

    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {tools, form->SearchBar}}));
    // The menu's whole row takes nobody: the bar gets a row after it.
    drag(tools->Control(), dockPoint(100, 2));
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {tools}, {form->SearchBar}}));
    // Above the first row: a new first row.
    drag(search(), dockPoint(0, -10));
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->SearchBar}, {form->MainMenu}, {tools}}));
    checkAll();
}

TEST_F(DockingTest, DraggedAwayTheBarFloatsAndADoubleClickDocksItAgain) {
    drag(search(), TPoint{300, 400});
    ASSERT_TRUE(search());
    EXPECT_FALSE(search()->Docked());
    EXPECT_EQ(form->SearchBar->DockingStyle(), dsNone);
    EXPECT_EQ(ws().get_parent(search()->Handle()), ui::kNoWindow);
    EXPECT_TRUE(ws().is_visible(search()->Handle()));
    EXPECT_EQ(form->SearchBar->FloatLeft(), 300);
    EXPECT_EQ(form->SearchBar->FloatTop(), 400);
    EXPECT_EQ(topDock().Height(), 27);
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}}));
    // Its boxes still work while it floats.
    host.click(boxCenter(form->LastNameEdit));
    host.type_chars("Ив"_a);
    host.press_key(ui::VK_RETURN);
    EXPECT_EQ(form->LastNameEdit->Text(), AnsiString("Ив"_a));
    checkAll();

    host.double_click(screen(*search(), TPoint{search()->CaptionRect().Left + 20, search()->CaptionRect().Top + 4}));
    ASSERT_TRUE(search()->Docked());
    EXPECT_EQ(form->SearchBar->DockingStyle(), dsTop);
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {form->SearchBar}}));
    EXPECT_EQ(topDock().Height(), 50);

    // A double click on the grip floats it at its float position.
    const TRect grip = search()->GripRect();
    host.double_click(screen(*search(), TPoint{grip.Left + 1, grip.Top + 5}));
    EXPECT_FALSE(search()->Docked());
    EXPECT_EQ(search()->Left(), 300);
    EXPECT_EQ(search()->Top(), 400);
    checkAll();
}

TEST_F(DockingTest, FloatingBarsHideWithTheMinimisedFormAndComeBack) {
    drag(search(), TPoint{300, 400});
    ASSERT_FALSE(search()->Docked());
    const ui::HWND h = search()->Handle();
    ws().send_message(form->Handle(), ui::WM_SYSCOMMAND, ui::SC_MINIMIZE, 0);
    host.pump();
    EXPECT_FALSE(ws().is_visible(h));
    ws().send_message(form->Handle(), ui::WM_SYSCOMMAND, ui::SC_RESTORE, 0);
    host.pump();
    EXPECT_TRUE(ws().is_visible(h));
}

TEST_F(DockingTest, AFloatingBarDocksOnlyAfterTheDockingDelay) {
    drag(search(), TPoint{300, 400});
    ASSERT_FALSE(search()->Docked());
    drag(search(), dockPoint(100, 40), false);
    EXPECT_FALSE(search()->Docked());
    host.advance(manager().WaitForDockingTime());
    EXPECT_TRUE(search()->Docked());
    host.mouse_up(ui::MouseButton::left, ws().get_cursor_pos());
    EXPECT_EQ(rows(), (std::vector<std::vector<TdxBar*>>{{form->MainMenu}, {form->SearchBar}}));
    // Ctrl held keeps a floating bar from docking.
    drag(search(), TPoint{300, 400});
    host.key_down(ui::VK_CONTROL);
    drag(search(), dockPoint(100, 40));
    host.advance(100);
    host.key_up(ui::VK_CONTROL);
    EXPECT_FALSE(search()->Docked());
    checkAll();
}

TEST_F(DockingTest, DockedAtTheLeftEdgeEditItemsBecomeButtons) {
    drag(search(), screen(*form, TPoint{2, 200}));
    ASSERT_TRUE(search()->Docked());
    EXPECT_EQ(form->SearchBar->DockingStyle(), dsLeft);
    EXPECT_TRUE(search()->Vertical());
    EXPECT_EQ(dynamic_cast<TdxBarEditControl*>(form->PhoneEdit->Links(0)->Control()), nullptr);
    EXPECT_NE(dynamic_cast<TdxBarButtonControl*>(form->PhoneEdit->Links(0)->Control()), nullptr);
    const int width = manager().Bars().DockControl(dsLeft)->Width();
    EXPECT_EQ(width, search()->Width());
    EXPECT_EQ(form->Grid->Left(), width);
    EXPECT_EQ(topDock().Height(), 27);
    checkAll();
}

TEST_F(DockingTest, EmptyDockControlsTakeNoRoom) {
    form->dxBarDockControl1->SetHeight(30);
    EXPECT_EQ(form->dxBarDockControl1->Height(), 0);
    EXPECT_EQ(manager().Bars().DockControl(dsBottom)->Height(), 0);
    EXPECT_EQ(form->Grid->BoundsRect(), Bounds(0, 50, form->ClientWidth(), form->ClientHeight() - 50));
}

TEST_F(DockingTest, SettingDockingStyleAndVisibleFromCode) {
    form->SearchBar->SetDockingStyle(dsBottom);
    TdxDockControl* bottom = manager().Bars().DockControl(dsBottom);
    EXPECT_EQ(bottom->Height(), search()->Height());
    EXPECT_EQ(bottom->Top() + bottom->Height(), form->ClientHeight());
    // A second row of the bottom site goes above the first: rows stack from the window's edge.
    TdxBar* tools = manager().Bars().Add();
    tools->SetDockingStyle(dsBottom);
    tools->SetRow(1);
    tools->SetOneOnRow(true);
    tools->ItemLinks().Add(form->CloseButton);
    tools->SetVisible(true);
    EXPECT_EQ(bottom->RowOf(tools->Control()), 1);
    EXPECT_EQ(search()->Top() + search()->Height(), bottom->Height());
    EXPECT_EQ(tools->Control()->Top(), 0);
    EXPECT_EQ(bottom->Top() + bottom->Height(), form->ClientHeight());
    tools->SetVisible(false);
    form->SearchBar->SetVisible(false);
    EXPECT_EQ(search(), nullptr);
    EXPECT_EQ(bottom->Height(), 0);
    form->SearchBar->SetVisible(true);
    EXPECT_EQ(bottom->Height(), search()->Height());
    checkAll();
}

}  // namespace
}  // namespace bars::test
