// The grid on a screen of scale 2: every size twice that of 96 dpi, the text
// rendered at twice the height, the layout file the same as at scale 1.
#include "tests/grid/GridTestSupport.h"

#include "tests/support/ScreenScaleScope.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using gridtest::GridOnForm;

namespace {

constexpr const char* kShown[] = {"PhoneGridPhone",   "PhoneGridLastName", "PhoneGridFirstName", "PhoneGridMiddleName",
                                  "PhoneGridCityStr", "PhoneGridStreetStr", "PhoneGridHouse",     "PhoneGridFlat"};

class GridScaleTest : public GridOnForm {
protected:
    GridScaleTest() : GridOnForm(2560, 1600) {}

    // Opens the window at a scale with the grid's client area `client` pixels of 96 dpi wide.
    void open_at(int scale, int client) {
        gfx::set_screen_scale(scale);
        open(1000, (client + TWinControl::kScrollBarSize) * scale, 300 * scale);
    }
    ~GridScaleTest() override { gfx::set_screen_scale(1); }

    std::vector<int> header_widths() {
        std::vector<int> w;
        for (const char* name : kShown) w.push_back(grid->Layout().header_cell(form->column(name)->Index())->rect.Width());
        return w;
    }
    std::string layout_file() {
        std::ifstream in(work.path() / "Abonix.ini", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Drags a header cell's right edge by `dx` pixels of the screen.
    void size_column(const char* name, int dx) {
        const TRect r = grid->Layout().header_cell(form->column(name)->Index())->rect;
        const int y = r.Top + r.Height() / 2, x = r.Right - 1;
        host.mouse_move(at(x, y));
        host.mouse_down(ui::MouseButton::left, at(x, y));
        host.mouse_move(at(x + dx, y));
        host.mouse_up(ui::MouseButton::left, at(x + dx, y));
        host.pump();
    }
};

}  // namespace

TEST_F(GridScaleTest, AtScaleTwoEverySizeOfTheGridIsTwiceThatOfScaleOne) {
    struct Sizes {
        int client, header, pitch, first_row_top, scroll_bar;
        std::vector<int> widths;
    };
    Sizes at[3];
    for (int s : {1, 2}) {
        open_at(s, 677);
        grid->check_invariants();
        const dxgrid::GridLayout& l = grid->Layout();
        l.check_invariants();
        at[s] = Sizes{grid->ClientWidth(), l.header_panel().Height(), l.row_rect(1).Top - l.row_rect(0).Top,
                      l.row_rect(0).Top, grid->Width() - grid->ClientWidth(), header_widths()};
        close();
    }
    EXPECT_EQ(at[1].widths, (std::vector<int>{49, 130, 79, 87, 130, 130, 44, 28}));
    EXPECT_EQ(at[2].client, 1354);
    EXPECT_EQ(at[2].widths, (std::vector<int>{98, 260, 158, 174, 260, 260, 88, 56}));
    EXPECT_EQ(at[2].pitch, 2 * at[1].pitch);
    EXPECT_EQ(at[2].header, 2 * at[1].header);
    EXPECT_EQ(at[2].first_row_top, 2 * at[1].first_row_top);
    EXPECT_EQ(at[2].scroll_bar, 2 * at[1].scroll_bar);
}

TEST_F(GridScaleTest, TheSameUserActionsWriteTheSameLayoutFileAtBothScales) {
    std::string file[3];
    std::vector<int> widths[3];
    for (int s : {1, 2}) {
        std::filesystem::remove(work.path() / "Abonix.ini");
        open_at(s, 677);
        size_column("PhoneGridFirstName", 30 * s);
        EXPECT_EQ(form->column("PhoneGridFirstName")->Width(), 109) << s;
        EXPECT_EQ(grid->ColumnDisplayWidth(form->column("PhoneGridFirstName")), 109 * s);
        size_column("PhoneGridPhone", -9 * s);
        size_column("PhoneGridStreetStr", 17 * s);
        form->SetWidth(form->Width() - 100 * s);
        host.pump();
        for (int i = 0; i < grid->ColumnCount(); ++i) widths[s].push_back(grid->Columns(i)->Width());
        close();
        file[s] = layout_file();
    }
    EXPECT_EQ(widths[1], widths[2]);
    EXPECT_EQ(file[1], file[2]);

    // A file written at scale 2 reads back at scale 1 as written there, and the other way round.
    for (int s : {1, 2}) {
        open_at(s, 677);
        EXPECT_EQ(form->column("PhoneGridFirstName")->Width(), widths[1][3]) << s;
        close();
        EXPECT_EQ(layout_file(), file[1]) << s;
    }
}

TEST_F(GridScaleTest, GridLinesAndHeaderLinesAreTwoPixelsWide) {
    open_at(2, 677);
    const ui::HWND top = ws().get_top_level(grid->Handle());
    const auto px = [&](int x, int y) {
        const TPoint p = ws().client_to_screen(grid->Handle(), {x, y});
        const TPoint o = ws().client_to_screen(top, {0, 0});
        return host.pixel(top, p.X - o.X, p.Y - o.Y);
    };
    const dxgrid::HeaderCell& c = *grid->Layout().header_cell(form->column("PhoneGridLastName")->Index());
    const int mid = (c.rect.Top + c.rect.Bottom) / 2;
    const TColor shadow = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
    EXPECT_EQ(px(c.rect.Left + 4, c.rect.Top), shadow);
    EXPECT_EQ(px(c.rect.Left + 4, c.rect.Top + 1), shadow);
    EXPECT_EQ(px(c.rect.Left + 4, c.rect.Top + 2), face);
    EXPECT_EQ(px(c.rect.Left + 4, c.rect.Bottom - 2), shadow);
    EXPECT_EQ(px(c.rect.Left + 4, c.rect.Bottom - 3), face);
    EXPECT_EQ(px(c.rect.Right - 1, mid), shadow);
    EXPECT_EQ(px(c.rect.Right - 2, mid), shadow);
    EXPECT_EQ(px(c.rect.Right - 3, mid), face);
    // The row separator below the first row.
    const TRect row = grid->Layout().row_rect(0);
    const TColor line = px(c.rect.Left + 10, row.Bottom - 1);
    EXPECT_EQ(px(c.rect.Left + 10, row.Bottom - 2), line);
    EXPECT_NE(px(c.rect.Left + 10, row.Bottom - 3), line);
    close();
}
