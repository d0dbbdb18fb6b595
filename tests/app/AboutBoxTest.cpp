#include "AppTestSupport.h"

#include "grid/dxDBGrid.h"
#include "platform/gfx/Png.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

using apptest::AppTest;

namespace {

class AboutBoxTest : public AppTest {
protected:
    void SetUp() override {
        start();
        Phones->Show();
    }

    // Shows the box as the About command does; `look` runs while it is up.
    TModalResult show(const std::function<void()>& look) {
        TModalResult result = -1;
        bool looked = false;
        host.set_idle_handler([&] {
            if (looked) throw std::runtime_error("the box did not close");
            looked = true;
            look();
        });
        result = AboutBox->ShowModal();
        host.set_idle_handler({});
        EXPECT_TRUE(looked);
        return result;
    }

    TColor pixel(int x, int y) { return host.pixel(AboutBox->Handle(), x, y); }

    // The leftmost and rightmost columns, inside the panels' bevels, of the
    // pixels of a band of rows that match.
    template <typename Match>
    std::pair<int, int> extent(int top, int bottom, int from, int to, Match match) {
        int left = 1 << 30, right = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = from; x < to; ++x)
                if (match(pixel(x, y))) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return {left, right};
    }
};

}  // namespace

TEST_F(AboutBoxTest, LayoutAsStored) {
    EXPECT_EQ(AboutBox->Caption(), AnsiString("О программе..."_a));
    EXPECT_EQ(AboutBox->BorderStyle(), bsToolWindow);
    EXPECT_EQ(AboutBox->ClientWidth(), 270);
    EXPECT_EQ(AboutBox->ClientHeight(), 141);
    EXPECT_FALSE(AboutBox->Visible());
    ASSERT_NE(AboutBox->Icon(), nullptr);
    EXPECT_EQ(AboutBox->Icon()->image->Width(), 32);
    EXPECT_EQ(AboutBox->Panel2->BoundsRect(), Bounds(0, 0, 270, 100));
    EXPECT_EQ(AboutBox->Panel1->BoundsRect(), Bounds(0, 100, 270, 41));
    EXPECT_EQ(AboutBox->BitBtn1->BoundsRect(), Bounds(96, 8, 75, 25));
    EXPECT_EQ(AboutBox->BitBtn1->Caption(), "OK");
    EXPECT_EQ(AboutBox->BitBtn1->ModalResult(), mrOk);
    EXPECT_TRUE(AboutBox->BitBtn1->Default());
    const struct {
        TLabel* label;
        int top;
        AnsiString caption;
        TColor color;
    } labels[] = {
        {AboutBox->Label2, 1, "Abonix", clWindowText},
        {AboutBox->Label3, 22, "г. Ольмарск"_a, clWindowText},
        {AboutBox->Label4, 43, "2001 г."_a, clWindowText},
        {AboutBox->Label1, 64, AboutBox->Label1->Caption(), clAqua},
    };
    for (const auto& l : labels) {
        SCOPED_TRACE(l.label->Name());
        EXPECT_EQ(l.label->BoundsRect(), Bounds(1, l.top, 268, 21));
        EXPECT_EQ(l.label->Caption(), l.caption);
        EXPECT_EQ(l.label->Alignment(), taCenter);
        EXPECT_FALSE(l.label->ParentFont());
        EXPECT_EQ(l.label->Font().Name(), "Times New Roman");
        EXPECT_EQ(l.label->Font().Height(), -19);
        EXPECT_EQ(l.label->Font().Charset(), RUSSIAN_CHARSET);
        EXPECT_EQ(l.label->Font().Color(), l.color);
        EXPECT_TRUE(l.label->Font().Style().Empty());
    }
    EXPECT_FALSE(AboutBox->Label1->Caption().empty());
    EXPECT_EQ(AboutBox->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(AboutBox->Font().Height(), -11);
}

TEST_F(AboutBoxTest, PixelsOfTheShownBox) {
    const TColor white = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
    show([&] {
        // The panels' raised one-pixel bevels.
        EXPECT_EQ(pixel(0, 0), white);
        EXPECT_EQ(pixel(269, 99), shadow);
        EXPECT_EQ(pixel(0, 100), white);
        EXPECT_EQ(pixel(269, 140), shadow);
        EXPECT_EQ(pixel(135, 95), face);
        // Each label's text is centred in its row, in its colour (smoothed
        // edges aside), and nothing is drawn below the last one.
        auto ink = [face](TColor c) { return c != face; };
        auto dark = [](TColor c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; };
        auto cyan = [](TColor c) { return GetRValue(c) < 90 && GetGValue(c) > 200 && GetBValue(c) > 200; };
        for (int top : {1, 22, 43, 64}) {
            SCOPED_TRACE(top);
            const auto [left, right] = extent(top, top + 21, 1, 269, ink);
            ASSERT_GE(right, left);
            EXPECT_NEAR(left + right, 269, 3);
            EXPECT_EQ(extent(top, top + 21, 1, 269, top == 64 ? dark : cyan).second, -1);
            EXPECT_GE(extent(top, top + 21, 1, 269, top == 64 ? cyan : dark).second, 0);
        }
        EXPECT_EQ(extent(85, 99, 1, 269, ink).second, -1);
        // The default button: a dark frame, the green check mark and "OK" right of it.
        const TColor frame = ColorToRGB(cl3DDkShadow);
        EXPECT_EQ(pixel(96, 120), frame);
        EXPECT_EQ(pixel(170, 120), frame);
        EXPECT_EQ(pixel(130, 108), frame);
        // (inside the focus rectangle, which the focused button also shows)
        const auto [glyph_left, glyph_right] = extent(113, 128, 101, 166, [](TColor c) { return c == clGreen; });
        ASSERT_GE(glyph_right, glyph_left);
        const auto [text_left, text_right] = extent(113, 128, 101, 166, dark);
        EXPECT_GT(text_left, glyph_right);
        EXPECT_NEAR(glyph_left + text_right, 96 + 170, 4);  // the picture and caption centred together
        if (const char* png = std::getenv("ABONIX_ABOUT_PNG")) gfx::save_png(*ws().window_pixels(AboutBox->Handle()), png);
        host.press_key(ui::VK_RETURN);
    });
}

TEST_F(AboutBoxTest, EnterButtonAndCloseBoxEndItWithTheirResultsWhileTheMainWindowIsDisabled) {
    const int components = Application->ComponentCount();
    struct Case {
        const char* name;
        std::function<void(ui::HeadlessHost&)> act;
        TModalResult result;
    } cases[] = {
        {"Enter", [](ui::HeadlessHost& h) { h.press_key(ui::VK_RETURN); }, mrOk},
        {"button", [](ui::HeadlessHost& h) {
             h.click(h.windows().client_to_screen(AboutBox->BitBtn1->Handle(), {20, 10}));
         }, mrOk},
        {"close box", [](ui::HeadlessHost& h) { h.windows().host_close_request(AboutBox->Handle()); }, mrCancel},
        {"Esc does nothing, then Enter", [](ui::HeadlessHost& h) {
             h.press_key(ui::VK_ESCAPE);
             EXPECT_TRUE(AboutBox->Visible());
             h.press_key(ui::VK_RETURN);
         }, mrOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TModalResult result = show([&] {
            EXPECT_TRUE(AboutBox->Visible());
            EXPECT_FALSE(ws().is_enabled(Phones->Handle()));
            EXPECT_EQ(active_form(), AboutBox);
            // Centred over the main window.
            const TRect main = ws().get_window_rect(Phones->Handle());
            const TRect box = ws().get_window_rect(AboutBox->Handle());
            EXPECT_NEAR(box.Left + box.Right, main.Left + main.Right, 1);
            EXPECT_NEAR(box.Top + box.Bottom, main.Top + main.Bottom, 1);
            c.act(host);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_FALSE(AboutBox->Visible());
        EXPECT_TRUE(ws().is_enabled(Phones->Handle()));
    }
    // The same box every time: nothing was made anew.
    EXPECT_EQ(Application->ComponentCount(), components);
}

TEST_F(AboutBoxTest, TheAboutCommandShowsTheSameBoxEachTime) {
    int shown = 0;
    TAboutBox* const box = AboutBox;
    host.set_idle_handler([&] {
        EXPECT_EQ(active_form(), box);
        ++shown;
        host.press_key(ui::VK_RETURN);
    });
    Phones->AboutMenuClick(Phones);
    Phones->AboutMenuClick(Phones);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(AboutBox, box);
}

TEST_F(AboutBoxTest, ClosingTheBoxGivesTheKeyboardBackToTheGrid) {
    Phones->PhoneGrid->SetFocus();
    ASSERT_EQ(ws().get_focus(), Phones->PhoneGrid->Handle());
    show([&] { host.press_key(ui::VK_RETURN); });
    EXPECT_EQ(ws().get_focus(), Phones->PhoneGrid->Handle());
}
