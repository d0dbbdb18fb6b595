#include "BarsTestSupport.h"

#include <stdexcept>

namespace bars::test {
namespace {

class BarManagerTest : public BarsTest {};

TEST_F(BarManagerTest, ConfiguredLikeTheMainWindowTwoBarsInTheTopDockFiftyPixelsHigh) {
    checkAll();
    EXPECT_EQ(topDock().RowCount(), 2);
    EXPECT_EQ(topDock().Height(), 50);
    ASSERT_TRUE(form->MainMenu->Control());
    ASSERT_TRUE(form->SearchBar->Control());
    EXPECT_EQ(topDock().RowOf(form->MainMenu->Control()), 0);
    EXPECT_EQ(topDock().RowOf(form->SearchBar->Control()), 1);
    // The menu row: 23-pixel title buttons and the bar's borders; the search
    // bar's row: the edit boxes (the height of "0" plus 7) and the borders.
    EXPECT_EQ(form->MainMenu->Control()->BoundsRect(), Bounds(0, 0, topDock().Width(), 27));
    EXPECT_EQ(form->SearchBar->Control()->Height(), form->SearchBar->Control()->EditHeight() + 4);
    EXPECT_EQ(form->SearchBar->Control()->Top(), 27);
    EXPECT_EQ(form->SearchBar->DockedTop(), 27);
    EXPECT_EQ(form->SearchBar->Control()->Left(), 0);
    EXPECT_EQ(form->SearchBar->Row(), 1);
    // The other sites take no room: the grid starts right below the top dock.
    EXPECT_EQ(form->Grid->Top(), 50);
    EXPECT_EQ(form->Grid->Left(), 0);
    EXPECT_EQ(form->dxBarDockControl1->Height(), 0);
}

}  // namespace
}  // namespace bars::test

namespace bars::test {
namespace {

class BarModelTest : public ::testing::Test {
protected:
    BarModelTest() : app(std::make_unique<TApplication>()) {
        form = TComponent::Own<TForm>(app.get());
        form->SetBounds(0, 0, 600, 300);
        manager = TComponent::Own<TdxBarManager>(form);
        bar = manager->Bars().Add();
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
        form->Show();
    }
    ~BarModelTest() override { app.reset(); }

    TdxBarButton* button(const char* caption) {
        auto* b = TComponent::Own<TdxBarButton>(form);
        b->SetCaption(caption);
        return b;
    }

    ui::HeadlessHost host;
    std::unique_ptr<TApplication> app;
    TForm* form = nullptr;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
};

TEST_F(BarModelTest, OneManagerPerFormAndOnlyOnForms) {
    try {
        TComponent::Own<TdxBarManager>(form);
        FAIL() << "a second manager was made";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), bars::texts::sOneManagerPerForm);
    }
    TComponent notAForm;
    try {
        TComponent::Own<TdxBarManager>(&notAForm);
        FAIL() << "a manager without a form was made";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), bars::texts::sOwnerMustBeForm);
    }
    EXPECT_EQ(TdxBarManager::FindForForm(form), manager);
    EXPECT_EQ(TdxBarManagerList::Count(), 1);
    manager->check_invariants();
}

TEST_F(BarModelTest, DefaultsAndDerivedMetrics) {
    EXPECT_EQ(manager->Categories().Count(), 1);
    EXPECT_EQ(manager->Categories().Strings(0), bars::texts::sDefaultCategory);
    EXPECT_EQ(manager->Style(), bmsEnhanced);
    EXPECT_TRUE(manager->UseSystemFont());
    EXPECT_EQ(manager->WaitForDockingTime(), 21);
    EXPECT_EQ(manager->ButtonSize(), 23);
    EXPECT_EQ(manager->ArrowWidth(), 9);
    manager->SetStyle(bmsFlat);
    EXPECT_EQ(manager->ArrowWidth(), 8);
    manager->SetLargeIcons(true);
    EXPECT_EQ(manager->ButtonSize(), 39);
    EXPECT_EQ(manager->ArrowWidth(), 18);  // 18 made odd, less one in the flat style
    struct Case {
        int percents, threshold;
    };
    for (const Case c : {Case{95, 20}, Case{100, 0}, Case{50, 2}, Case{0, 1}, Case{99, 100}}) {
        manager->SetMostRecentItemsPercents(c.percents);
        EXPECT_EQ(manager->RecentItemsThreshold(), c.threshold) << c.percents;
    }
    manager->SetMostRecentItemsPercents(150);
    EXPECT_EQ(manager->MostRecentItemsPercents(), 100);
    auto* b = button("B");
    EXPECT_EQ(b->Category(), -1);
    EXPECT_EQ(b->Visible(), ivAlways);
    EXPECT_EQ(b->BarManager(), manager);
}

TEST_F(BarModelTest, MainMenuIsUniqueAndWholeRowMultiLine) {
    TdxBar* other = manager->Bars().Add();
    bar->SetIsMainMenu(true);
    EXPECT_TRUE(bar->WholeRow());
    EXPECT_TRUE(bar->MultiLine());
    other->SetIsMainMenu(true);
    EXPECT_FALSE(bar->IsMainMenu());
    EXPECT_FALSE(bar->WholeRow());
    EXPECT_FALSE(bar->MultiLine());
    EXPECT_EQ(manager->MainMenuBar(), other);
    manager->check_invariants();
}

TEST_F(BarModelTest, ItemsVisibleInCustomizingOnlyAreShownWhileCustomizing) {
    auto* a = button("A");
    auto* b = button("B");
    b->SetVisible(ivInCustomizing);
    bar->ItemLinks().Add(a);
    bar->ItemLinks().Add(b);
    EXPECT_EQ(bar->ItemLinks().ShownLinks().size(), 1u);
    EXPECT_EQ(b->Links(0)->Control(), nullptr);
    manager->SetCustomizing(true);
    EXPECT_EQ(bar->ItemLinks().ShownLinks().size(), 2u);
    EXPECT_NE(b->Links(0)->Control(), nullptr);
    manager->SetCustomizing(false);
    EXPECT_EQ(b->Links(0)->Control(), nullptr);
    bar->ItemLinks()[0]->SetVisible(false);
    EXPECT_TRUE(bar->ItemLinks().ShownLinks().empty());
    EXPECT_EQ(bar->ItemLinks().AvailableLinks().size(), 1u);
    manager->check_invariants();
}

TEST_F(BarModelTest, HintFollowsTheCaptionWhileMadeFromIt) {
    struct Case {
        const char* hint;
        const char* newCaption;
        const char* expected;
    };
    const Case cases[] = {{"", "&Open...", "Open"},
                          {"Save", "&Store", "Store"},
                          {"Save|Writes the file", "Keep", "Keep|Writes the file"},
                          {"Something else", "Keep", "Something else"}};
    for (const Case& c : cases) {
        auto* b = button("&Save...");
        b->SetHint(c.hint);
        b->SetCaption(c.newCaption);
        EXPECT_EQ(b->Hint(), c.expected) << c.hint;
    }
}

TEST_F(BarModelTest, ClickReachesTheHandlerAndAFailingHandlerLeavesTheBarsUsable) {
    auto* b = button("Go");
    bar->ItemLinks().Add(b);
    std::vector<std::string> log;
    manager->OnClickItem = [&](TObject* s, TdxBarItem* item) {
        EXPECT_EQ(s, manager);
        log.push_back("item " + item->Caption());
    };
    int clicks = 0;
    b->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, b);
        EXPECT_EQ(b->ClickedLink(), b->Links(0));
        log.push_back("click");
        if (++clicks == 1) throw Exception("handler failed");
    };
    std::vector<std::string> shown;
    app->OnException = [&](TObject*, const std::exception& e) { shown.push_back(e.what()); };
    const TRect r = b->Links(0)->ItemRect();
    const TPoint p = host.windows().client_to_screen(bar->Control()->Handle(), TPoint{r.Left + 3, r.Top + 3});
    host.click(p);
    EXPECT_EQ(shown, (std::vector<std::string>{"handler failed"}));
    EXPECT_EQ(b->ClickedLink(), nullptr);
    host.click(p);
    EXPECT_EQ(log, (std::vector<std::string>{"item Go", "click", "item Go", "click"}));
    // A disabled item runs nothing; pressing and leaving before release neither.
    b->SetEnabled(false);
    host.click(p);
    b->SetEnabled(true);
    host.mouse_down(ui::MouseButton::left, p);
    host.mouse_up(ui::MouseButton::left, TPoint{p.X, p.Y + 200});
    EXPECT_EQ(clicks, 2);
}

TEST_F(BarModelTest, CheckedButtonsToggleWhenClicked) {
    auto* b = button("Bold");
    b->SetButtonStyle(bsChecked);
    bar->ItemLinks().Add(b);
    const TRect r = b->Links(0)->ItemRect();
    const TPoint p = host.windows().client_to_screen(bar->Control()->Handle(), TPoint{r.Left + 3, r.Top + 3});
    host.click(p);
    EXPECT_TRUE(b->Down());
    host.click(p);
    EXPECT_FALSE(b->Down());
}

TEST_F(BarModelTest, ASubmenuCannotContainItself) {
    auto* outer = TComponent::Own<TdxBarSubItem>(form);
    auto* inner = TComponent::Own<TdxBarSubItem>(form);
    outer->ItemLinks().Add(inner);
    try {
        inner->ItemLinks().Add(outer);
        FAIL() << "a recursive submenu was made";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), bars::texts::sRecursiveSubMenu);
    }
    EXPECT_EQ(outer->LinkCount(), 0);
    EXPECT_THROW(outer->ItemLinks().Add(outer), EComponentError);
}

TEST_F(BarModelTest, FreeingAnItemRemovesItsLinksAndFreeingTheManagerItsItems) {
    auto* a = button("A");
    auto* b = button("B");
    bar->ItemLinks().Add(a);
    bar->ItemLinks().Add(b);
    TComponent::Free(a);
    EXPECT_EQ(bar->ItemLinks().Count(), 1);
    EXPECT_EQ(bar->ItemLinks()[0]->Item(), b);
    manager->check_invariants();
    const int before = form->ComponentCount();
    TComponent::Free(manager);
    EXPECT_EQ(form->ComponentCount(), before - 2);  // the manager and its item
    EXPECT_EQ(TdxBarManagerList::Count(), 0);
}

TEST_F(BarModelTest, DeactivatingTheFormEndsKeyboardMode) {
    auto* e = TComponent::Own<TdxBarEdit>(form);
    bar->ItemLinks().Add(e);
    auto* ec = dynamic_cast<TdxBarEditControl*>(e->Links(0)->Control());
    ASSERT_TRUE(ec);
    ec->Activate();
    EXPECT_TRUE(bar->Control()->KeyboardMode());
    host.windows().host_activate_app(false);
    host.pump();
    EXPECT_FALSE(ec->Active());
    EXPECT_FALSE(bar->Control()->KeyboardMode());
}

}  // namespace
}  // namespace bars::test
