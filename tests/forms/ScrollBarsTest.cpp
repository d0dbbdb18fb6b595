#include "FormsTestSupport.h"

#include "platform/forms/TCustomControl.h"

#include <string>
#include <vector>

using forms::test::HeadlessApp;
using namespace forms;

namespace {

// A control that records the scroll commands it receives and follows them
// the way the grid does for its vertical bar.
class Scrolled : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> log;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) {
            const int code = ui::loword(m.WParam);
            const TScrollBarKind kind = m.Msg == WM_VSCROLL ? sbVertical : sbHorizontal;
            std::string entry = (kind == sbVertical ? "v" : "h") + std::to_string(code);
            if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) entry += "@" + std::to_string(GetScrollTrackPos(kind));
            log.push_back(entry);
            ScrollValues v = GetScrollInfo(kind);
            if (code == SB_LINEDOWN) v.pos += 1;
            if (code == SB_LINEUP) v.pos -= 1;
            if (code == SB_PAGEDOWN) v.pos += v.page;
            if (code == SB_THUMBPOSITION) v.pos = GetScrollTrackPos(kind);
            SetScrollInfo(kind, v);
            return;
        }
        if (m.Msg == ui::WM_LBUTTONDOWN) log.push_back("click");
        TCustomControl::WndProc(m);
    }
    void Paint() override {
        Canvas()->Brush().SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
};

class ScrollBarsTest : public HeadlessApp {
protected:
    void SetUp() override {
        form = TComponent::Own<TForm>(app.get());
        form->SetBounds(0, 0, 400, 300);
        control = TComponent::Own<Scrolled>(form);
        control->SetParent(form);
        control->SetBounds(0, 0, 200, 150);
        control->SetScrollInfo(sbVertical, {0, 99, 25, 0});
        control->SetScrollInfo(sbHorizontal, {0, 999, 100, 0});
        control->ShowScrollBar(sbVertical, true);
        control->ShowScrollBar(sbHorizontal, true);
        form->Show();
        host.pump();
    }
    TPoint at(int x, int y) { return screen(*control, {x, y}); }

    TForm* form = nullptr;
    Scrolled* control = nullptr;
};

}  // namespace

TEST_F(ScrollBarsTest, BarsTakeTheirStripsFromTheClientArea) {
    EXPECT_EQ(control->ClientRect(), (TRect{0, 0, 184, 134}));
    control->ShowScrollBar(sbHorizontal, false);
    EXPECT_EQ(control->ClientRect(), (TRect{0, 0, 184, 150}));
    EXPECT_FALSE(control->ScrollBarVisible(sbHorizontal));
}

TEST_F(ScrollBarsTest, APositionThatLeavesTheThumbOnItsPixelsRepaintsNothing) {
    const ScrollValues v = control->GetScrollInfo(sbHorizontal);  // 1000 positions on a shaft of 152 pixels
    control->SetScrollInfo(sbHorizontal, {v.min, v.max, v.page, v.pos + 1});
    EXPECT_EQ(control->GetScrollInfo(sbHorizontal).pos, v.pos + 1);
    EXPECT_TRUE(ws().get_update_region(control->Handle()).empty());
    control->SetScrollInfo(sbHorizontal, {v.min, v.max, v.page, 500});
    EXPECT_FALSE(ws().get_update_region(control->Handle()).empty());
    host.pump();
    control->SetScrollInfo(sbHorizontal, {v.min, v.max, 1000, 0});  // nothing left to scroll: the arrows grey
    EXPECT_FALSE(ws().get_update_region(control->Handle()).empty());
}

TEST_F(ScrollBarsTest, PressesInTheBarsBecomeCommandsToTheControl) {
    // The vertical bar is the strip x 184..200, y 0..134: arrows 16 high.
    host.click(at(190, 5));          // line up (at the top already: the owner decides)
    host.click(at(190, 130));        // line down
    host.click(at(190, 100));        // page down (below the thumb)
    host.mouse_down(ui::MouseButton::left, at(190, 50));  // on the thumb (42..68); 10 pixels of 76 free ones later
    host.mouse_move(at(190, 60));
    host.mouse_up(ui::MouseButton::left, at(190, 60));
    host.click(at(5, 142));          // horizontal: line left
    host.click(at(100, 100));        // the client area: the control's own
    EXPECT_EQ(control->log, (std::vector<std::string>{"v0", "v8", "v1", "v8", "v3", "v8", "v5@36", "v4@36", "v8",
                                                      "h0", "h8", "click"}));
    EXPECT_EQ(control->GetScrollInfo(sbVertical).pos, 36);
}

TEST_F(ScrollBarsTest, HeldArrowRepeatsOnTheTimer) {
    host.mouse_down(ui::MouseButton::left, at(190, 130));
    host.advance(WindowScrollBar::kRepeatDelay + 2 * WindowScrollBar::kRepeatInterval);
    host.mouse_up(ui::MouseButton::left, at(190, 130));
    host.advance(1000);
    EXPECT_EQ(control->log, (std::vector<std::string>{"v1", "v1", "v1", "v1", "v8"}));
    EXPECT_EQ(control->GetScrollInfo(sbVertical).pos, 4);
}

TEST_F(ScrollBarsTest, ArrowsAndThumbAreDrawnInBothModes) {
    for (bool flat : {false, true}) {
        SCOPED_TRACE(flat ? "flat" : "regular");
        control->SetFlatScrollBars(flat);
        host.pump();
        auto px = [&](int x, int y) { return host.pixel(form->Handle(), x, y); };
        // The up arrow's glyph and the thumb's face; the corner between the bars is plain face.
        bool glyph = false;
        for (int y = 0; y < 16; ++y) glyph = glyph || px(192, y) == ColorToRGB(clBtnText);
        EXPECT_TRUE(glyph);
        EXPECT_EQ(px(192, 30), ColorToRGB(clBtnFace));
        EXPECT_EQ(px(190, 140), ColorToRGB(clBtnFace));
        EXPECT_EQ(px(100, 100), clWhite);
        // The flat look frames the thumb in the shadow colour, the regular one in the 3D colours.
        EXPECT_EQ(px(192, 16) == ColorToRGB(clBtnShadow), flat);
    }
}
