#include "BarsTestSupport.h"

#include "platform/classes/Exception.h"
#include "platform/forms/EditWindow.h"
#include "platform/forms/MessageBox.h"
#include "platform/gfx/FontFace.h"
#include "platform/gfx/ScreenScale.h"

namespace bars::test {
namespace {

// Counts the change events of the search boxes.
class EditItemTest : public BarsTest {
protected:
    void SetUp() override {
        BarsTest::SetUp();
        for (TdxBarEdit* e : boxes()) {
            e->OnChange = [this](TObject* s) { changes.push_back(name(s) + "=" + static_cast<TdxBarEdit*>(s)->Text()); };
            e->OnCurChange = [this](TObject* s) { curChanges.push_back(name(s)); };
        }
        form->Grid->SetFocus();
    }
    std::vector<TdxBarEdit*> boxes() {
        return {form->PhoneEdit, form->LastNameEdit, form->FirstNameEdit, form->MiddleNameEdit, form->StreetEdit, form->CityEdit};
    }
    static std::string name(TObject* s) { return static_cast<TComponent*>(s)->Name(); }
    void clickBox(TdxBarEdit* e) { host.click(boxCenter(e)); }
    ui::HWND editWindow(TdxBarEdit* e) { return editControl(e)->WindowHandle(); }

    std::vector<std::string> changes;
    std::vector<std::string> curChanges;
};

TEST_F(EditItemTest, TheSearchBarShowsSixCaptionedBoxesInOrderWithTheirWidths) {
    struct Expected {
        TdxBarEdit* item;
        AnsiString caption;
        int box;
    };
    const Expected expected[] = {{form->PhoneEdit, "Телефон"_a, 71},   {form->LastNameEdit, "Фамилия"_a, 105},
                                 {form->FirstNameEdit, "Имя"_a, 89},   {form->MiddleNameEdit, "Отчество"_a, 67},
                                 {form->StreetEdit, "Улица"_a, 100},   {form->CityEdit, "Город"_a, 100}};
    TdxBarControl* bar = form->SearchBar->Control();
    const auto& shown = form->SearchBar->ItemLinks().ShownLinks();
    ASSERT_EQ(shown.size(), 6u);
    int x = bar->ItemsArea().Left;
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const Expected& e = expected[i];
        EXPECT_EQ(shown[i]->Item(), e.item);
        auto* c = dynamic_cast<TdxBarEditControl*>(shown[i]->Control());
        ASSERT_TRUE(c);
        EXPECT_EQ(c->BoxWidth(), e.box);
        EXPECT_EQ(c->CaptionWidth(), bar->TextWidth(e.caption) + 11);
        const TRect r = shown[i]->ItemRect();
        EXPECT_EQ(r.Left, x);
        EXPECT_EQ(r.Width(), c->CaptionWidth() + e.box);
        x = r.Right;
        // The edit window exists while the link is shown, hidden until its box is active.
        ASSERT_NE(c->WindowHandle(), ui::kNoWindow);
        EXPECT_FALSE(ws().is_visible(c->WindowHandle()));
    }
}

TEST_F(EditItemTest, TypingFiresCurChangeOnlyAndEnterCommitsOnce) {
    clickBox(form->LastNameEdit);
    EXPECT_TRUE(editControl(form->LastNameEdit)->Active());
    EXPECT_EQ(ws().get_focus(), editWindow(form->LastNameEdit));
    EXPECT_TRUE(curChanges.empty());  // writing Text into the window is not typing
    host.type_chars("Ив"_a);
    EXPECT_EQ(curChanges, (std::vector<std::string>{"LastNameEdit", "LastNameEdit"}));
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(form->LastNameEdit->Text(), "");
    EXPECT_EQ(form->LastNameEdit->CurText(), AnsiString("Ив"_a));
    checkAll();

    host.press_key(ui::VK_RETURN);
    EXPECT_EQ(changes, (std::vector<std::string>{"LastNameEdit=" + AnsiString("Ив"_a)}));
    EXPECT_FALSE(editControl(form->LastNameEdit)->Active());
    EXPECT_FALSE(ws().is_visible(editWindow(form->LastNameEdit)));
    // The focus is back where it was, and the Enter was not typed there.
    EXPECT_EQ(ws().get_focus(), form->Grid->Handle());
    EXPECT_EQ(form->Grid->Text(), "");
    checkAll();

    host.press_key(ui::VK_RETURN);
    clickBox(form->LastNameEdit);
    host.press_key(ui::VK_RETURN);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(EditItemTest, EscAndAClickElsewhereDiscardTheTyping) {
    form->LastNameEdit->SetText("Ив"_a);
    changes.clear();
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way);
        clickBox(form->LastNameEdit);
        host.type_chars("Петров"_a);
        if (way == 0) host.press_key(ui::VK_ESCAPE);
        else host.click(screen(*form->Grid, TPoint{20, 20}));
        EXPECT_FALSE(editControl(form->LastNameEdit)->Active());
        EXPECT_EQ(form->LastNameEdit->Text(), AnsiString("Ив"_a));
        EXPECT_EQ(form->LastNameEdit->CurText(), AnsiString("Ив"_a));
        EXPECT_EQ(ws().get_focus(), form->Grid->Handle());
        checkAll();
    }
    EXPECT_TRUE(changes.empty());
}

TEST_F(EditItemTest, AMessageBoxOverTheEditedBoxLeavesTheKeyboardWithTheGridWhenItCloses) {
    struct Case {
        const char* what;
        std::function<void(TdxBarEdit*)> arm;  // makes a message box come up while the box is edited
        const char* committed;                 // the box's Text afterwards
    };
    const Case cases[] = {
        // The search on Enter fails: the failure is shown, and Enter goes on as usual.
        {"a failing search",
         [](TdxBarEdit* e) { e->OnChange = [](TObject*) { throw Exception("CityT: Cannot perform this operation on a closed dataset"); }; },
         "12"},
        // Another window takes the focus from the box: the typing is dropped.
        {"a message box while typing",
         [](TdxBarEdit* e) {
             e->OnCurChange = [e](TObject*) {
                 if (e->CurText() == "12") forms::message_box("Text", "Caption", forms::MB_OK);
             };
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TdxBarEdit* box = form->PhoneEdit;
        box->SetText("");
        c.arm(box);
        int boxes = 0;
        host.set_idle_handler([&] {
            if (boxes++) throw std::runtime_error("the message box did not close");
            EXPECT_FALSE(ws().is_enabled(form->Handle()));
            host.press_key(ui::VK_RETURN);
        });
        clickBox(box);
        host.type_chars("12");
        if (editControl(box)->Active()) host.press_key(ui::VK_RETURN);
        host.set_idle_handler({});
        EXPECT_EQ(boxes, 1);
        EXPECT_EQ(box->Text(), c.committed);
        EXPECT_FALSE(editControl(box)->Active());
        EXPECT_FALSE(form->SearchBar->Control()->KeyboardMode());
        EXPECT_EQ(ws().get_focus(), form->Grid->Handle());
        checkAll();
        box->OnChange = {};
        box->OnCurChange = {};
    }
}

TEST_F(EditItemTest, ClickingFromBoxToBoxKeepsTheWayBackToTheGrid) {
    clickBox(form->PhoneEdit);
    host.type_chars("12");
    clickBox(form->CityEdit);
    EXPECT_FALSE(editControl(form->PhoneEdit)->Active());
    EXPECT_EQ(form->PhoneEdit->Text(), "");  // a click elsewhere drops the typing
    ASSERT_TRUE(editControl(form->CityEdit)->Active());
    host.press_key(ui::VK_ESCAPE);
    EXPECT_EQ(ws().get_focus(), form->Grid->Handle());
    checkAll();
}

TEST_F(EditItemTest, ClearingTheBoxAndEnterCommitsTheEmptyText) {
    form->FirstNameEdit->SetText("Анна"_a);
    EXPECT_EQ(changes, (std::vector<std::string>{"FirstNameEdit=" + AnsiString("Анна"_a)}));  // from code too
    clickBox(form->FirstNameEdit);
    host.press_key(ui::VK_BACK);  // the whole text is selected on activation
    host.press_key(ui::VK_RETURN);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1], "FirstNameEdit=");
}

TEST_F(EditItemTest, TabFromTheLastBoxCommitsAndActivatesTheFirstWithItsTextSelected) {
    form->PhoneEdit->SetText("2001");
    changes.clear();
    clickBox(form->CityEdit);
    host.type_chars("Ол"_a);
    host.press_key(ui::VK_TAB);
    EXPECT_EQ(changes, (std::vector<std::string>{"CityEdit=" + AnsiString("Ол"_a)}));
    EXPECT_FALSE(editControl(form->CityEdit)->Active());
    ASSERT_TRUE(editControl(form->PhoneEdit)->Active());
    EXPECT_EQ(ws().get_focus(), editWindow(form->PhoneEdit));
    const auto sel = static_cast<std::uintptr_t>(ws().send_message(editWindow(form->PhoneEdit), forms::EM_GETSEL));
    EXPECT_EQ(ui::loword(sel), 0);
    EXPECT_EQ(ui::hiword(sel), 4);
    // Shift+Tab goes back to the last box.
    host.press_key(ui::VK_TAB, {ui::VK_SHIFT});
    EXPECT_TRUE(editControl(form->CityEdit)->Active());
    checkAll();
}

TEST_F(EditItemTest, CtrlXInsideABoxCutsTheTextAndRunsNoCommand) {
    int exits = 0;
    form->CloseButton->OnClick = [&](TObject*) { ++exits; };
    clickBox(form->StreetEdit);
    host.type_chars("Ленина"_a);
    host.press_key('A', {ui::VK_CONTROL});
    ASSERT_EQ(TdxBarManagerList::ActiveEditControl(), editControl(form->StreetEdit));  // shortcuts wait
    host.press_key('X', {ui::VK_CONTROL});
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(form->StreetEdit->CurText(), "");
    EXPECT_EQ(forms::clipboard_text(), AnsiString("Ленина"_a));
    host.press_key(ui::VK_ESCAPE);
    EXPECT_EQ(TdxBarManagerList::ActiveEditControl(), nullptr);
}

TEST_F(EditItemTest, EnterAndExitFollowTheFocusAndLimitsApply) {
    std::vector<std::string> log;
    form->PhoneEdit->OnEnter = [&](TObject*) { log.push_back("enter"); };
    form->PhoneEdit->OnExit = [&](TObject*) { log.push_back("exit"); };
    form->PhoneEdit->SetMaxLength(6);
    clickBox(form->PhoneEdit);
    host.type_chars("12345678");
    EXPECT_EQ(form->PhoneEdit->CurText(), "123456");
    host.press_key(ui::VK_RETURN);
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
    EXPECT_EQ(form->PhoneEdit->Text(), "123456");
    form->PhoneEdit->SetReadOnly(true);
    clickBox(form->PhoneEdit);
    host.type_chars("9");
    EXPECT_EQ(form->PhoneEdit->CurText(), "123456");
}

TEST_F(EditItemTest, CommittedTextIsCutTo254Characters) {
    clickBox(form->MiddleNameEdit);
    host.type_chars(std::string(300, 'z'));
    host.press_key(ui::VK_RETURN);
    EXPECT_EQ(form->MiddleNameEdit->Text(), std::string(254, 'z'));
}

TEST_F(EditItemTest, KeyHandlersSeeKeysFirstAndCanSwallowThem) {
    form->PhoneEdit->OnKeyPress = [](TObject*, char& c) {
        if (c == 'x') c = 0;
    };
    int downs = 0;
    form->PhoneEdit->OnKeyDown = [&](TObject*, int& key, TShiftState) {
        ++downs;
        if (key == ui::VK_RETURN) key = 0;
    };
    clickBox(form->PhoneEdit);
    host.type_chars("1x2");
    host.press_key(ui::VK_RETURN);  // swallowed: nothing commits
    EXPECT_GE(downs, 1);
    EXPECT_TRUE(editControl(form->PhoneEdit)->Active());
    EXPECT_EQ(form->PhoneEdit->CurText(), "12");
    EXPECT_EQ(form->PhoneEdit->Text(), "");
}

TEST(EditItemValues, WidthsAndLimitsAreClamped) {
    ui::HeadlessHost host;
    TApplication app;
    auto* f = TComponent::Own<TForm>(&app);
    auto* m = TComponent::Own<TdxBarManager>(f);
    auto* e = TComponent::Own<TdxBarEdit>(f);
    EXPECT_EQ(e->BarManager(), m);
    EXPECT_EQ(e->Width(), 100);
    struct Case {
        int set, width;
    };
    for (const Case c : {Case{5, 20}, Case{1000, 600}, Case{250, 250}}) {
        e->SetWidth(c.set);
        EXPECT_EQ(e->Width(), c.width);
    }
    e->SetMaxLength(-3);
    EXPECT_EQ(e->MaxLength(), 0);
    TdxBar* bar = m->Bars().Add();
    TdxBarItemLink* link = bar->ItemLinks().Add(e);
    for (const Case c : {Case{5, 20}, Case{1000, 600}}) {
        link->SetUserWidth(c.set);
        EXPECT_EQ(link->UserWidth(), c.width);
        EXPECT_TRUE(link->UserDefine().Contains(udWidth));
    }
    link->SetUserDefine({});
    EXPECT_EQ(link->UserWidth(), 0);
}

// The search bar on a screen of scale 2: the boxes twice their 96-dpi widths,
// the captions measured in the text rendered at twice the height.
class ScaledEditItemTest : public BarsTest {
protected:
    ScaledEditItemTest() : BarsTest(2560, 2400) { gfx::set_screen_scale(2); }
    ~ScaledEditItemTest() override {
        app.reset();
        gfx::set_screen_scale(1);
    }
};

TEST_F(ScaledEditItemTest, TheSearchBoxesAreTwiceAsWide) {
    TdxBarEdit* const boxes[] = {form->PhoneEdit,      form->LastNameEdit, form->FirstNameEdit,
                                 form->MiddleNameEdit, form->StreetEdit,   form->CityEdit};
    const int widths[] = {142, 210, 178, 134, 200, 200};
    TdxBarControl* bar = form->SearchBar->Control();
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        auto* c = dynamic_cast<TdxBarEditControl*>(editControl(boxes[i]));
        ASSERT_TRUE(c);
        EXPECT_EQ(c->BoxWidth(), widths[i]);
        EXPECT_EQ(c->CaptionWidth(), bar->TextWidth(boxes[i]->Caption()) + 22);
        EXPECT_EQ(c->Link()->UserDefine().Contains(udWidth) ? c->Link()->UserWidth() : boxes[i]->Width(), widths[i] / 2);
    }
    EXPECT_EQ(bar->TextWidth("Фамилия"_a), gfx::font_face(bar->ItemsFont(), 2).text_width("Фамилия"_a));
}

}  // namespace
}  // namespace bars::test
