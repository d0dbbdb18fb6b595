#include "FormsTestSupport.h"

#include "platform/forms/TButton.h"
#include "platform/forms/TEdit.h"
#include "platform/forms/TLabel.h"
#include "platform/forms/TPanel.h"

#include <string>
#include <vector>

using forms::test::HeadlessApp;

namespace {

class TestForm : public TForm {
public:
    using TForm::TForm;
    std::function<void(forms::LayoutReader&)> layout;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        if (layout) layout(reader);
    }
};

}  // namespace

using ControlsTest = HeadlessApp;

TEST_F(ControlsTest, AlignmentStacksByStoredPositionAndFillsTheRest) {
    TestForm form(nullptr);
    struct Case {
        const char* name;
        TAlign align;
        TRect stored;
        TRect expected;
    } cases[] = {
        // Tops are stacked by their stored tops, not by creation order.
        {"top2", alTop, Bounds(0, 50, 10, 20), Bounds(0, 10, 300, 20)},
        {"top1", alTop, Bounds(0, 0, 10, 10), Bounds(0, 0, 300, 10)},
        {"bottom1", alBottom, Bounds(0, 180, 10, 30), Bounds(0, 170, 300, 30)},
        {"left1", alLeft, Bounds(0, 0, 40, 5), Bounds(0, 30, 40, 140)},
        {"right1", alRight, Bounds(0, 0, 25, 5), Bounds(275, 30, 25, 140)},
        {"client", alClient, Bounds(1, 1, 1, 1), Bounds(40, 30, 235, 140)},
        {"none", alNone, Bounds(7, 8, 9, 10), Bounds(7, 8, 9, 10)},
    };
    std::vector<TPanel*> panels;
    form.layout = [&](forms::LayoutReader& r) {
        form.SetClientWidth(300);
        form.SetClientHeight(200);
        for (const Case& c : cases) {
            auto* p = r.create<TPanel>(c.name);
            p->SetBoundsRect(c.stored);
            p->SetAlign(c.align);
            p->SetParent(&form);
            panels.push_back(p);
        }
    };
    form.CreateFromLayout();
    for (std::size_t i = 0; i < panels.size(); ++i) EXPECT_EQ(panels[i]->BoundsRect(), cases[i].expected) << cases[i].name;
    // A hidden control gives its place to the others.
    panels[1]->Hide();
    EXPECT_EQ(panels[0]->BoundsRect(), Bounds(0, 0, 300, 20));
    EXPECT_EQ(panels[5]->BoundsRect(), Bounds(40, 20, 235, 150));
    // Resizing the parent realigns.
    form.SetClientWidth(400);
    EXPECT_EQ(panels[4]->BoundsRect(), Bounds(375, 20, 25, 150));
}

TEST_F(ControlsTest, LayoutSettersOnlyStoreUntilLoadedThenCreateHandlerRuns) {
    std::vector<std::string> log;
    auto* form = TComponent::Own<TestForm>(app.get());
    TPanel* panel = nullptr;
    TPanel* top = nullptr;
    form->layout = [&](forms::LayoutReader& r) {
        form->SetClientWidth(200);
        form->SetClientHeight(100);
        panel = r.create<TPanel>("Panel1");
        panel->SetParent(form);
        panel->SetAlign(alClient);
        panel->SetBevelWidth(2);
        top = r.create<TPanel>("Top");
        top->SetParent(panel);
        top->SetAlign(alTop);
        top->SetHeight(30);
        // Nothing is placed while the layout is read.
        log.push_back("read: panel width " + std::to_string(panel->Width()));
    };
    form->OnCreate = [&](TObject*) {
        log.push_back("create: panel " + std::to_string(panel->Width()) + "x" + std::to_string(panel->Height()) +
                      ", top at " + std::to_string(top->Left()) + "," + std::to_string(top->Top()) + " width " +
                      std::to_string(top->Width()));
    };
    form->CreateFromLayout();
    EXPECT_EQ(log, (std::vector<std::string>{"read: panel width 185",
                                             "create: panel 200x100, top at 2,2 width 196"}));
}

TEST_F(ControlsTest, ParentFontIsFollowedUntilTheControlSetsItsOwn) {
    TForm form(nullptr);
    auto* panel = TComponent::Own<TPanel>(&form);
    panel->SetParent(&form);
    auto* label = TComponent::Own<TLabel>(&form);
    label->SetParent(panel);
    form.Font().SetName("Arial");
    form.Font().SetHeight(-13);
    EXPECT_EQ(label->Font().Name(), "Arial");
    EXPECT_EQ(label->Font().Height(), -13);
    EXPECT_TRUE(label->ParentFont());
    label->Font().SetHeight(-19);
    EXPECT_FALSE(label->ParentFont());
    form.Font().SetName("Courier New");
    EXPECT_EQ(label->Font().Name(), "Arial");
    EXPECT_EQ(panel->Font().Name(), "Courier New");
    label->SetParentFont(true);
    EXPECT_EQ(label->Font().Name(), "Courier New");
    EXPECT_EQ(label->Font().Height(), -13);
    // A label's colour follows its parent's unless it is given one.
    panel->SetColor(clRed);
    EXPECT_EQ(label->Color(), clRed);
    label->SetColor(clAqua);
    panel->SetColor(clBlue);
    EXPECT_EQ(label->Color(), clAqua);
}

TEST_F(ControlsTest, TabAndShiftTabMoveThroughTabStopsInTabOrder) {
    auto* form = TComponent::Own<TForm>(app.get());
    form->SetBounds(10, 10, 300, 200);
    auto make_edit = [&](TWinControl* parent, const char* name, int top) {
        auto* e = TComponent::Own<TEdit>(form);
        e->SetName(name);
        e->SetParent(parent);
        e->SetTop(top);
        return e;
    };
    make_edit(form, "A", 0);
    auto* panel = TComponent::Own<TPanel>(form);
    panel->SetParent(form);
    panel->SetTop(30);
    make_edit(panel, "B", 0);
    auto* c = make_edit(form, "C", 80);
    auto* off = make_edit(form, "Off", 110);
    off->SetTabStop(false);
    auto* hidden = make_edit(form, "Hidden", 140);
    hidden->Hide();
    c->SetTabOrder(0);  // C first, then A, the panel (B inside it), Off, Hidden
    auto* late = TComponent::Own<TEdit>(form);
    late->SetName("Late");
    late->SetTabOrder(1);  // given before its parent: applied when it gets one
    late->SetParent(form);
    late->SetTop(170);
    form->Show();
    EXPECT_EQ(form->ActiveControl(), c);

    auto focused = [&] { return form->ActiveControl() ? form->ActiveControl()->Name() : std::string("-"); };
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        host.press_key(ui::VK_TAB);
        seen.push_back(focused());
    }
    host.press_key(ui::VK_TAB, {ui::VK_SHIFT});
    seen.push_back(focused());
    EXPECT_EQ(seen, (std::vector<std::string>{"Late", "A", "B", "C", "B"}));
}

TEST_F(ControlsTest, AnExceptionLeavingAHandlerGoesToTheApplicationAndTheLoopGoesOn) {
    std::vector<std::string> shown;
    app->OnException = [&](TObject*, const std::exception& e) { shown.push_back(e.what()); };
    auto* form = TComponent::Own<TForm>(app.get());
    auto* button = TComponent::Own<TButton>(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 75, 25);
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw Exception("PhoneT: Table does not exist");
    };
    form->Show();
    host.click(screen(*button, {5, 5}));
    host.click(screen(*button, {5, 5}));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"PhoneT: Table does not exist", "PhoneT: Table does not exist"}));
}

TEST_F(ControlsTest, WithoutAHandlerTheExceptionIsShownInAMessageBox) {
    auto* form = TComponent::Own<TForm>(app.get());
    auto* button = TComponent::Own<TButton>(form);
    button->SetParent(form);
    form->Show();
    button->OnClick = [](TObject*) { throw Exception("Failure"); };
    std::vector<std::string> captions;
    // The box waits for the user; the user reads it and presses Enter.
    host.set_idle_handler([&] {
        const ui::HWND active = ws().get_active_window();
        captions.push_back(ws().get_window_text(active));
        host.press_key(ui::VK_RETURN);
    });
    app->SetTitle("Abonix");
    host.click(screen(*button, {5, 5}));
    EXPECT_EQ(captions, (std::vector<std::string>{"Abonix"}));
}

TEST_F(ControlsTest, MovingAControlToAnotherParentKeepsItsWindowFocusAndCapture) {
    auto* form = TComponent::Own<TForm>(app.get());
    form->SetBounds(0, 0, 400, 300);
    auto* dock1 = TComponent::Own<TPanel>(form);
    dock1->SetBounds(0, 0, 400, 40);
    dock1->SetParent(form);
    auto* dock2 = TComponent::Own<TPanel>(form);
    dock2->SetBounds(0, 200, 400, 40);
    dock2->SetParent(form);
    auto* bar = TComponent::Own<TPanel>(form);
    bar->SetBounds(5, 5, 200, 30);
    bar->SetParent(dock1);
    auto* edit = TComponent::Own<TEdit>(form);
    edit->SetBounds(10, 5, 100, 20);
    edit->SetParent(bar);
    form->Show();
    edit->SetFocus();
    const ui::HWND bar_window = bar->Handle();
    const ui::HWND edit_window = edit->Handle();
    ws().set_capture(bar_window);
    bar->SetParent(dock2);
    EXPECT_EQ(bar->Handle(), bar_window);
    EXPECT_EQ(edit->Handle(), edit_window);
    EXPECT_EQ(ws().get_parent(bar_window), dock2->Handle());
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(ws().get_capture(), bar_window);
    EXPECT_EQ(screen(*edit, {0, 0}), (TPoint{15, 210}));
    // Taken off every parent, a control has no window.
    ws().release_capture();
    bar->SetParent(nullptr);
    EXPECT_FALSE(bar->HandleAllocated());
}

TEST_F(ControlsTest, FormsShowTheirIconsDialogsAreFramedAsOnesAndOtherFormsStayAboveTheMainForm) {
    auto* main_form = app->CreateForm<TestForm>();
    main_form->SetBorderStyle(bsSizeable);
    main_form->SetIcon("MAINICON");  // the window is there already
    auto* dialog = app->CreateForm<TestForm>();
    dialog->SetBorderStyle(bsDialog);
    dialog->SetIcon("ABOUTICON");  // before the window is made
    auto* fixed_tool = app->CreateForm<TestForm>();
    fixed_tool->SetBorderStyle(bsToolWindow);
    auto* tool = app->CreateForm<TestForm>();
    tool->SetBorderStyle(bsSizeToolWin);
    const ui::NativeWindowInfo* main_info = host.native_info(main_form->Handle());
    const ui::NativeWindowInfo* dialog_info = host.native_info(dialog->Handle());
    const ui::NativeWindowInfo* tool_info = host.native_info(tool->Handle());
    ASSERT_TRUE(main_info && dialog_info && tool_info);
    // Each window shows its form's icon.
    EXPECT_EQ(main_info->icon.get(), main_form->Icon());
    EXPECT_EQ(dialog_info->icon.get(), dialog->Icon());
    EXPECT_NE(main_form->Icon(), nullptr);
    EXPECT_EQ(tool_info->icon, nullptr);
    EXPECT_FALSE(main_info->dialog);
    EXPECT_EQ(main_info->owner, ui::kNoWindow);
    EXPECT_TRUE(dialog_info->dialog);
    EXPECT_EQ(dialog_info->owner, main_form->Handle());
    EXPECT_TRUE(host.native_info(fixed_tool->Handle())->dialog);
    EXPECT_FALSE(tool_info->dialog);
    EXPECT_EQ(tool_info->owner, main_form->Handle());
}

TEST_F(ControlsTest, AnAlignmentThatFailsHalfWayLeavesTheParentFreeToAlignAgain) {
    app->OnException = [](TObject*, const std::exception&) {};
    auto* form = TComponent::Own<TForm>(app.get());
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    auto* panel = TComponent::Own<TPanel>(form);
    panel->SetAlign(alTop);
    panel->SetParent(form);
    bool fail = true;
    panel->OnResize = [&](TObject*) {
        if (fail) throw Exception("resize failed");
    };
    try {
        form->SetClientWidth(400);
    } catch (const Exception&) {
        // Whether it reaches here or the application, the alignment has ended.
    }
    EXPECT_FALSE(form->Aligning());
    fail = false;
    form->SetClientWidth(350);
    EXPECT_EQ(panel->Width(), 350);
}
