// A form that carries a bar manager configured like the directory's main
// window: a main menu with two submenus and a search toolbar of six edit
// boxes in the top dock, four empty dock controls, and an edit box standing
// in for the grid, all created from a layout as the program creates them.
#pragma once

#include "bars/dxBar.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TEdit.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/HeadlessHost.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace bars::test {

class PhonesLikeForm : public TForm {
public:
    using TForm::TForm;

    TdxBarDockControl* dxBarDockControl1 = nullptr;
    TEdit* Grid = nullptr;
    TdxBarManager* PhoneBarManager = nullptr;
    TdxBarSubItem* FileMenu = nullptr;
    TdxBarSubItem* N1 = nullptr;
    TdxBarButton* AboutMenu = nullptr;
    TdxBarButton* WebPageMenu = nullptr;
    TdxBarButton* CloseButton = nullptr;
    TdxBarEdit* PhoneEdit = nullptr;
    TdxBarEdit* LastNameEdit = nullptr;
    TdxBarEdit* FirstNameEdit = nullptr;
    TdxBarEdit* MiddleNameEdit = nullptr;
    TdxBarEdit* StreetEdit = nullptr;
    TdxBarEdit* CityEdit = nullptr;
    TImageList* ImageList1 = nullptr;
    TdxBar* MainMenu = nullptr;
    TdxBar* SearchBar = nullptr;

    int width = 800;
    int height = 500;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetName("Phones");
        SetBounds(0, 0, width, height);
        SetColor(clBtnFace);
        struct DockSpec {
            const char* name;
            TdxDockControlAlign align;
            TRect bounds;
        };
        const DockSpec docks[] = {{"dxBarDockControl1", dalTop, Bounds(0, 50, 627, 3)},
                                  {"dxBarDockControl2", dalBottom, Bounds(0, 420, 627, 3)},
                                  {"dxBarDockControl3", dalLeft, Bounds(0, 53, 3, 367)},
                                  {"dxBarDockControl4", dalRight, Bounds(624, 53, 3, 367)}};
        for (const DockSpec& d : docks) {
            auto* dc = reader.create<TdxBarDockControl>(d.name);
            dc->SetParent(this);
            dc->SetDockAlign(d.align);
            dc->SetBoundsRect(d.bounds);
            if (!dxBarDockControl1) dxBarDockControl1 = dc;
        }
        Grid = reader.create<TEdit>("PhoneGrid");
        Grid->SetParent(this);
        Grid->SetBounds(3, 53, 621, 367);
        Grid->SetAlign(alClient);
        Grid->SetTabOrder(8);

        PhoneBarManager = reader.create<TdxBarManager>("PhoneBarManager");
        TdxBarManager& m = *PhoneBarManager;
        m.Font().SetCharset(ANSI_CHARSET);
        m.Font().SetHeight(-11);
        m.Font().SetName("MS Sans Serif");
        m.SetUseSystemFont(true);
        m.SetStyle(bmsFlat);
        m.SetMenuAnimations(maRandom);
        m.Categories().Clear();
        for (const AnsiString& c : std::vector<AnsiString>{"Меню"_a, "?", "Файл"_a, "Поиск"_a}) m.Categories().Add(c);
        m.Categories().ReadItemsVisibles({2, 2, 2, 2});
        m.Categories().ReadVisibles({true, true, true, true});
        m.SetShowHelpButton(true);
        m.SetShowShortCutInHint(true);
        m.SetStoreInIniFile(true);
        m.SetIniFileName("abonix.ini");
        m.SetDockControlHeights({0, 0, 50, 0});

        auto sub = [&](const char* name, const AnsiString& caption, int image) {
            auto* s = reader.create<TdxBarSubItem>(name);
            s->SetCaption(caption);
            s->SetCategory(0);
            s->SetImageIndex(image);
            return s;
        };
        auto button = [&](const char* name, const AnsiString& caption, const AnsiString& hint, int category, int image,
                          int shortcut) {
            auto* b = reader.create<TdxBarButton>(name);
            b->SetCaption(caption);
            b->SetCategory(category);
            b->SetHint(hint);
            b->SetImageIndex(image);
            b->SetShortCut(shortcut);
            return b;
        };
        auto edit = [&](const char* name, const AnsiString& caption) {
            auto* e = reader.create<TdxBarEdit>(name);
            e->SetCaption(caption);
            e->SetCategory(3);
            e->SetHint(caption);
            e->SetShowCaption(true);
            e->SetWidth(100);
            return e;
        };
        FileMenu = sub("FileMenu", "Файл"_a, 4);
        N1 = sub("N1", "?", 5);
        AboutMenu = button("AboutMenu", "О программе..."_a, "О программе"_a, 1, 3, 112);
        WebPageMenu = button("WebPageMenu", "Мы в интернете"_a, "Мы в интернете"_a, 1, 2, 16471);
        CloseButton = button("CloseButton", "Выход"_a, "Выход"_a, 2, 0, 16472);
        LastNameEdit = edit("LastNameEdit", "Фамилия"_a);
        FirstNameEdit = edit("FirstNameEdit", "Имя"_a);
        MiddleNameEdit = edit("MiddleNameEdit", "Отчество"_a);
        PhoneEdit = edit("PhoneEdit", "Телефон"_a);
        CityEdit = edit("CityEdit", "Город"_a);
        StreetEdit = edit("StreetEdit", "Улица"_a);
        FileMenu->ItemLinks().Add(CloseButton);
        N1->ItemLinks().Add(AboutMenu);
        N1->ItemLinks().Add(WebPageMenu)->SetBeginGroup(true);

        MainMenu = m.Bars().Add();
        MainMenu->SetName("Main Menu");
        MainMenu->SetCaption("Main Menu");
        MainMenu->SetDockedDockingStyle(dsTop);
        MainMenu->SetDockingStyle(dsTop);
        MainMenu->SetIsMainMenu(true);
        MainMenu->SetOneOnRow(true);
        MainMenu->SetRow(0);
        MainMenu->SetVisible(true);
        MainMenu->ItemLinks().Add(FileMenu);
        MainMenu->ItemLinks().Add(N1);

        SearchBar = m.Bars().Add();
        SearchBar->SetName("SearchBar");
        SearchBar->SetCaption("SearchBar");
        SearchBar->SetDockedDockingStyle(dsTop);
        SearchBar->SetDockedTop(26);
        SearchBar->SetDockingStyle(dsTop);
        SearchBar->SetFloatLeft(276);
        SearchBar->SetFloatTop(216);
        SearchBar->SetFloatClientWidth(23);
        SearchBar->SetFloatClientHeight(22);
        SearchBar->SetOneOnRow(true);
        SearchBar->SetRow(1);
        SearchBar->SetVisible(true);
        SearchBar->ItemLinks().Add(PhoneEdit)->SetUserWidth(71);
        SearchBar->ItemLinks().Add(LastNameEdit)->SetUserWidth(105);
        SearchBar->ItemLinks().Add(FirstNameEdit)->SetUserWidth(89);
        SearchBar->ItemLinks().Add(MiddleNameEdit)->SetUserWidth(67);
        SearchBar->ItemLinks().Add(StreetEdit);
        SearchBar->ItemLinks().Add(CityEdit);

        ImageList1 = reader.create<TImageList>("ImageList1");
        gfx::load_image_list1(*ImageList1);
        m.SetImages(ImageList1);
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

    ui::HeadlessHost host;
    std::unique_ptr<TApplication> app;
    PhonesLikeForm* form = nullptr;

private:
    int m_formWidth;
};

}  // namespace bars::test
