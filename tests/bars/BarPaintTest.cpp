#include "BarsTestSupport.h"

#include "bars/TdxBarPainter.h"

namespace bars::test {
namespace {

class BarPaintTest : public BarsTest {
protected:
    void TearDown() override { gfx::SystemColors::reset_defaults(); }
    // The colour of a bar window's client pixel, as the screen shows it.
    TColor at(TWinControl& c, int x, int y) {
        const ui::HWND top = ws().get_top_level(c.Handle());
        const TPoint p = ws().client_to_screen(c.Handle(), TPoint{x, y});
        const TPoint origin = ws().client_to_screen(top, TPoint{0, 0});
        host.pump();
        return host.pixel(top, p.X - origin.X, p.Y - origin.Y);
    }
    TdxBarControl* search() { return form->SearchBar->Control(); }
    TdxBarControl* menu() { return form->MainMenu->Control(); }
};

TColor rgb(TColor c) { return ColorToRGB(c); }

TEST_F(BarPaintTest, DockBarFrameGripAndBoxesInTheFlatStyle) {
    // The dock right of the search bar, the bars' faces.
    EXPECT_EQ(at(topDock(), topDock().Width() - 3, 40), rgb(clBtnFace));
    EXPECT_EQ(at(*menu(), 200, 10), rgb(clBtnFace));
    const TRect cap = form->PhoneEdit->Links(0)->ItemRect();
    EXPECT_EQ(at(*search(), cap.Left + 1, cap.Top + 1), rgb(light_face()));
    // A one-pixel frame of button face with its inner corners set.
    EXPECT_EQ(at(*search(), 0, 0), rgb(clBtnFace));
    EXPECT_EQ(at(*search(), 1, 1), rgb(clBtnFace));
    EXPECT_EQ(at(*search(), 2, 1), rgb(light_face()));
    // The grip: lines of button shadow and background across three pixels, inset 3.
    const TRect g = search()->GripRect();
    EXPECT_EQ(g, TRect(TRect{3, 3, 6, search()->Height() - 3}));
    for (int x = 3; x < 6; ++x) {
        EXPECT_EQ(at(*search(), x, 3), rgb(clBtnShadow)) << x;
        EXPECT_EQ(at(*search(), x, 4), rgb(light_face())) << x;
    }
    EXPECT_EQ(at(*search(), 3, 2), rgb(light_face()));
    // An inactive box: frame in the bar's background, text area in the window colour.
    auto* ec = editControl(form->PhoneEdit);
    const TRect t = ec->TextRect();
    EXPECT_EQ(at(*search(), t.Left - 1, t.Top - 1), rgb(light_face()));
    EXPECT_EQ(at(*search(), t.Left + 1, t.Top + 1), rgb(clWindow));
}

TEST_F(BarPaintTest, HotItemsTakeTheHotFaceAndAHighlightFrame) {
    const TRect file = form->FileMenu->Links(0)->ItemRect();
    host.mouse_move(screen(*menu(), TPoint{file.Left + 3, file.Top + 3}));
    EXPECT_EQ(at(*menu(), file.Left, file.Top), rgb(clHighlight));
    EXPECT_EQ(at(*menu(), file.Left + 1, file.Top + 1), rgb(hot_face()));
    const TRect t = editControl(form->CityEdit)->TextRect();
    host.mouse_move(screen(*search(), TPoint{t.Left + 5, t.Top + 5}));
    EXPECT_EQ(at(*menu(), file.Left + 1, file.Top + 1), rgb(clBtnFace));
    EXPECT_EQ(at(*search(), t.Left - 1, t.Top - 1), rgb(clHighlight));
    // Disabled boxes: shadow frame, background text area.
    form->CityEdit->SetEnabled(false);
    host.mouse_move(screen(*form->Grid, TPoint{50, 50}));
    EXPECT_EQ(at(*search(), t.Left - 1, t.Top - 1), rgb(clBtnShadow));
    EXPECT_EQ(at(*search(), t.Left + 1, t.Top + 1), rgb(light_face()));
}

TEST_F(BarPaintTest, GlyphsComeFromTheImageListAndDisabledOnesAreEmbossed) {
    const TRect file = form->FileMenu->Links(0)->ItemRect();
    TImageList& images = *form->ImageList1;
    const int gx = file.Left + (manager().ButtonSize() - 16) / 2;
    const int gy = file.Top + (file.Height() - 16) / 2;
    TBitmap bitmap;
    images.GetBitmap(4, bitmap);
    int checked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (!images.opaque(4, x, y)) continue;
            EXPECT_EQ(at(*menu(), gx + x, gy + y), bitmap.Canvas().Pixel(x, y)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 20);
    form->FileMenu->SetEnabled(false);
    int shadow = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (images.opaque(4, x, y) && at(*menu(), gx + x, gy + y) == rgb(clBtnShadow)) ++shadow;
    EXPECT_GT(shadow, checked / 2);
    // Without images the titles show their captions only, half a font height from the edge.
    manager().SetImages(nullptr);
    EXPECT_LT(form->FileMenu->Links(0)->ItemRect().Width(), file.Width() - 10);
}

TEST_F(BarPaintTest, SystemColourChangesShowAtOnce) {
    const TRect file = form->FileMenu->Links(0)->ItemRect();
    host.mouse_move(screen(*menu(), TPoint{file.Left + 3, file.Top + 3}));
    gfx::SystemColors::set(gfx::system_color_index(clHighlight), RGB(0, 128, 0));
    gfx::SystemColors::set(gfx::system_color_index(clBtnFace), RGB(200, 180, 160));
    EXPECT_EQ(at(*menu(), file.Left, file.Top), RGB(0, 128, 0));
    EXPECT_EQ(at(*menu(), file.Left + 1, file.Top + 1), RGB(172, 255, 104));
    EXPECT_EQ(at(topDock(), topDock().Width() - 3, 40), RGB(200, 180, 160));
    const TRect cap = form->PhoneEdit->Links(0)->ItemRect();
    EXPECT_EQ(at(*search(), cap.Left + 1, cap.Top + 1), RGB(210, 190, 170));
}

TEST_F(BarPaintTest, GroupSeparatorsAreAShadowLineAndABackgroundLine) {
    TdxBar* tools = manager().Bars().Add();
    tools->SetDockingStyle(dsTop);
    tools->SetRow(2);
    tools->ItemLinks().Add(form->AboutMenu);
    tools->ItemLinks().Add(form->WebPageMenu)->SetBeginGroup(true);
    tools->SetVisible(true);
    TdxBarControl* c = tools->Control();
    const TRect second = tools->ItemLinks()[1]->ItemRect();
    const TRect first = tools->ItemLinks()[0]->ItemRect();
    EXPECT_EQ(second.Left - first.Right, 6);
    const int x = first.Right + 2;
    EXPECT_EQ(at(*c, x, second.Top + 5), rgb(clBtnShadow));
    EXPECT_EQ(at(*c, x + 1, second.Top + 5), rgb(light_face()));
    EXPECT_EQ(at(*c, x - 1, second.Top + 5), rgb(light_face()));
}

}  // namespace
}  // namespace bars::test
