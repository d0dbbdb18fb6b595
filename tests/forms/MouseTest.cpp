#include "FormsTestSupport.h"

#include "platform/classes/ComponentLink.h"
#include "platform/forms/TLabel.h"
#include "platform/forms/TPanel.h"
#include "platform/forms/TScreen.h"
#include "platform/gfx/TBitmap.h"

#include <stdexcept>
#include <string>
#include <vector>

using forms::test::HeadlessApp;

namespace {

std::string shift_text(TShiftState s) {
    std::string out;
    const std::pair<TShiftFlag, const char*> names[] = {{ssShift, "S"}, {ssAlt, "A"}, {ssCtrl, "C"}, {ssLeft, "L"},
                                                        {ssRight, "R"}, {ssMiddle, "M"}, {ssDouble, "D"}};
    for (auto [f, n] : names)
        if (s.Contains(f)) out += n;
    return out;
}

const char* button_text(TMouseButton b) { return b == mbLeft ? "left" : b == mbRight ? "right" : "middle"; }

// Records every mouse event of a control as "name:event(details)".
void record(TControl& c, const std::string& name, std::vector<std::string>& log) {
    c.OnMouseDown = [&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back(name + ":down " + button_text(b) + " " + shift_text(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    c.OnMouseUp = [&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back(name + ":up " + button_text(b) + " " + shift_text(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    c.OnMouseMove = [&log, name](TObject*, TShiftState s, int x, int y) {
        log.push_back(name + ":move " + shift_text(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    c.OnDblClick = [&log, name](TObject*) { log.push_back(name + ":dblclick"); };
}

class MouseTest : public HeadlessApp {
protected:
    MouseTest() {
        form = TComponent::Own<TForm>(app.get());
        form->SetBounds(100, 100, 300, 200);
        panel = TComponent::Own<TPanel>(form);
        panel->SetBounds(10, 10, 200, 150);
        panel->SetParent(form);
        form->Show();
    }
    TForm* form = nullptr;
    TPanel* panel = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(MouseTest, PressesMovesReleasesAndDoubleClicksCarryButtonShiftAndClientPoint) {
    record(*panel, "panel", log);
    const TPoint p = screen(*panel, {30, 40});
    host.mouse_move(p);
    host.key_down(ui::VK_SHIFT);
    host.mouse_down(ui::MouseButton::left, p);
    host.mouse_move(screen(*panel, {31, 41}));
    host.mouse_up(ui::MouseButton::left, screen(*panel, {31, 41}));
    host.key_up(ui::VK_SHIFT);
    host.key_down(ui::VK_CONTROL);
    host.click(p, ui::MouseButton::right);
    host.key_up(ui::VK_CONTROL);
    host.advance(1000);
    host.double_click(p);
    const std::vector<std::string> expected{
        "panel:move  30,40",
        "panel:down left SL 30,40",
        "panel:move SL 31,41",
        "panel:up left S 31,41",
        "panel:move C 30,40",
        "panel:down right CR 30,40",
        "panel:up right C 30,40",
        "panel:move  30,40",
        "panel:down left L 30,40",
        "panel:up left  30,40",
        "panel:dblclick",
        "panel:down left LD 30,40",
        "panel:up left  30,40",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(MouseTest, AWindowlessChildGetsTheMouseInItsCoordinatesUntilTheLastButtonIsUp) {
    auto* label = TComponent::Own<TLabel>(form);
    label->SetBounds(50, 50, 40, 20);
    label->SetParent(panel);
    record(*panel, "panel", log);
    record(*label, "label", log);
    host.mouse_down(ui::MouseButton::left, screen(*panel, {55, 52}));
    // Dragged out of the label, the mouse still belongs to it.
    host.mouse_move(screen(*panel, {5, 5}));
    host.mouse_up(ui::MouseButton::left, screen(*panel, {5, 5}));
    host.mouse_move(screen(*panel, {6, 6}));
    const std::vector<std::string> expected{"label:down left L 5,2", "label:move L -45,-45",
                                            "label:up left  -45,-45", "panel:move  6,6"};
    EXPECT_EQ(log, expected);
}

TEST_F(MouseTest, TheWheelGoesToOnMouseWheelThenItsDirectionThenTheParent) {
    std::vector<std::string> got;
    struct Case {
        bool wheel_handles, down_handles;
        int delta;
        std::vector<std::string> expected;
    } cases[] = {
        {true, true, -120, {"wheel -120"}},
        {false, true, -120, {"wheel -120", "down"}},
        {false, false, -240, {"wheel -240", "down", "form wheel -240"}},
        {false, false, 120, {"wheel 120", "up", "form wheel 120"}},
    };
    form->OnMouseWheel = [&](TObject*, TShiftState, int d, TPoint, bool&) { got.push_back("form wheel " + std::to_string(d)); };
    panel->SetTabStop(true);
    panel->SetFocus();
    for (const Case& c : cases) {
        got.clear();
        panel->OnMouseWheel = [&](TObject*, TShiftState, int d, TPoint pos, bool& handled) {
            EXPECT_EQ(pos, screen(*panel, {20, 20}));
            got.push_back("wheel " + std::to_string(d));
            handled = c.wheel_handles;
        };
        panel->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
            got.push_back("down");
            handled = c.down_handles;
        };
        panel->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { got.push_back("up"); };
        host.wheel(c.delta, screen(*panel, {20, 20}));
        EXPECT_EQ(got, c.expected) << c.delta;
    }
}

TEST_F(MouseTest, CursorsComeFromTheScreenTableByNumber) {
    auto image = std::make_shared<gfx::MaskedImage>();
    image->image = std::make_unique<TBitmap>(4, 4);
    const ui::Cursor own{ui::StandardCursor::arrow, image};
    Screen().SetCursors(-1131, own);
    auto* label = TComponent::Own<TLabel>(form);
    label->SetBounds(100, 10, 40, 20);
    label->SetParent(panel);
    label->SetCursor(-1131);
    struct Case {
        TCursor panel_cursor;
        TPoint at;
        ui::Cursor expected;
    } cases[] = {
        {crDefault, {5, 5}, ui::Cursor{}},
        {crHSplit, {5, 5}, ui::Cursor{ui::StandardCursor::hsplit, nullptr}},
        {crDrag, {5, 5}, ui::Cursor{ui::StandardCursor::drag, nullptr}},
        {crNoDrop, {5, 5}, ui::Cursor{ui::StandardCursor::no_drop, nullptr}},
        {crHSplit, {105, 15}, own},  // the windowless child's own
        {-5000, {5, 5}, ui::Cursor{}},  // never registered: the arrow
    };
    for (const Case& c : cases) {
        host.mouse_move(screen(*panel, {1, 1}));
        panel->SetCursor(c.panel_cursor);
        host.mouse_move(screen(*panel, c.at));
        EXPECT_EQ(host.cursor(), c.expected) << c.panel_cursor;
    }
    // Set while the pointer rests over the control, it shows at once.
    host.mouse_move(screen(*panel, {5, 5}));
    panel->SetCursor(crVSplit);
    EXPECT_EQ(host.cursor().shape, ui::StandardCursor::vsplit);
    // The screen's cursor overrides every control's until it is reset.
    Screen().SetCursor(crHourGlass);
    host.mouse_move(screen(*panel, {6, 6}));
    EXPECT_EQ(host.cursor().shape, ui::StandardCursor::wait);
    Screen().SetCursor(crDefault);
    EXPECT_EQ(host.cursor().shape, ui::StandardCursor::vsplit);
}

TEST_F(MouseTest, AHandlerMayFreeItsOwnSender) {
    auto* doomed = TComponent::Own<TPanel>(form);
    doomed->SetBounds(0, 0, 50, 50);
    doomed->SetParent(panel);
    doomed->OnDblClick = [&](TObject* sender) { TComponent::Free(static_cast<TComponent*>(sender)); };
    host.double_click(screen(*panel, {10, 10}));
    auto* label = TComponent::Own<TLabel>(form);
    label->SetBounds(60, 60, 40, 20);
    label->SetParent(panel);
    label->OnMouseDown = [&](TObject* sender, TMouseButton, TShiftState, int, int) {
        TComponent::Free(static_cast<TComponent*>(sender));
    };
    host.click(screen(*panel, {65, 65}));
    EXPECT_EQ(panel->ControlCount(), 0);
}

TEST_F(MouseTest, AHandlerMayFreeTheFormItStandsOn) {
    ComponentLink<TForm> link;
    link = form;
    int destroyed = 0;
    form->OnDestroy = [&](TObject*) { ++destroyed; };
    panel->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { TComponent::Free(form); };
    host.click(screen(*panel, {20, 20}));
    EXPECT_EQ(link.get(), nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(app->ComponentCount(), 0);
    app->check_invariants();
}

TEST_F(MouseTest, AModalLoopLeftByAnExceptionLeavesTheFormHiddenAndNotModal) {
    auto* dialog = TComponent::Own<TForm>(app.get());
    dialog->SetBounds(50, 50, 200, 100);
    host.set_idle_handler([] { throw std::runtime_error("the loop broke"); });
    EXPECT_THROW(dialog->ShowModal(), std::runtime_error);
    EXPECT_FALSE(dialog->Visible());
    host.set_idle_handler([&] { dialog->SetModalResult(mrOk); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    host.set_idle_handler({});
}
