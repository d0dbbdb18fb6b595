// A form that carries a bar manager configured like the directory's main
// window: a main menu with two submenus and a search toolbar of six edit
// boxes in the top dock, four empty dock controls, and an edit box standing
// in for the grid, all created from the program's own tables as it creates them.
#pragma once

#include "app/PhonesBuild.h"
#include "app/PhonesLayout.h"
#include "bars/dxBar.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TEdit.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/HeadlessHost.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace bars::test {

// The bar manager's items and bars are the fields of phones::Bars.
class PhonesLikeForm : public TForm, public phones::Bars {
public:
    using TForm::TForm;

    TdxBarDockControl* dxBarDockControl1 = nullptr;
    TEdit* Grid = nullptr;
    TImageList* ImageList1 = nullptr;

    int width = 800;
    int height = 500;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetName("Phones");
        SetBounds(0, 0, width, height);
        SetColor(clBtnFace);
        dxBarDockControl1 = phones::read_docks(reader, this)[0];
        Grid = reader.create<TEdit>("PhoneGrid");
        Grid->SetParent(this);
        Grid->SetBoundsRect(phones::kGridBounds);
        Grid->SetAlign(alClient);
        Grid->SetTabOrder(8);

        static_cast<phones::Bars&>(*this) = phones::read_bar_manager(reader);
        ImageList1 = phones::read_image_list(reader, *PhoneBarManager);
    }
};

// A headless screen, an application and the form, shown.
class BarsTest : public ::testing::Test {
protected:
    explicit BarsTest(int screenWidth = 1024, int formWidth = 1000) : host(screenWidth, 768), app(std::make_unique<TApplication>()) {
        m_formWidth = formWidth;
    }
    ~BarsTest() override { app.reset(); }

    void SetUp() override {
        form = app->CreateForm<Configured>();
        form->SetWidth(m_formWidth);
        form->Show();
        host.pump();
    }

    struct Configured : PhonesLikeForm {
        using PhonesLikeForm::PhonesLikeForm;
    };

    ui::WindowSystem& ws() { return host.windows(); }
    TdxBarManager& manager() { return *form->PhoneBarManager; }
    TdxDockControl& topDock() { return *manager().Bars().DockControl(dsTop); }

    // The screen point of a point in a bar window.
    TPoint screen(TWinControl& c, TPoint p) { return ws().client_to_screen(c.Handle(), p); }
    // The centre of a link's box, on the screen.
    TPoint boxCenter(TdxBarItem* item) {
        TdxBarItemLink* link = item->Links(0);
        auto* ec = dynamic_cast<TdxBarEditControl*>(link->Control());
        const TRect t = ec->TextRect();
        return screen(*form->SearchBar->Control(), TPoint{(t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2});
    }
    TdxBarEditControl* editControl(TdxBarItem* item) {
        return dynamic_cast<TdxBarEditControl*>(item->Links(0)->Control());
    }
    void checkAll() { manager().check_invariants(); }

    // The layout file goes to a folder of the test's own.
    TempDir dir;
    CurrentDir cwd{dir.path()};
    ui::HeadlessHost host;
    std::unique_ptr<TApplication> app;
    PhonesLikeForm* form = nullptr;

private:
    int m_formWidth;
};

}  // namespace bars::test
