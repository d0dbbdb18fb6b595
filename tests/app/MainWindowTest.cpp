// The composed main window on a headless 1024 x 768 screen: the bars above the
// grid, the search toolbar's boxes running the directory's searches, a header
// click ordering the list, and a picture of the whole window for review.
#include "AppTestSupport.h"

#include "bars/dxBar.h"
#include "grid/dxDBGrid.h"
#include "platform/db/TField.h"
#include "text/Cp1251.h"

#include <string>
#include <vector>

using apptest::AppTest;

namespace {

class MainWindowTest : public AppTest {
protected:
    MainWindowTest() : AppTest(1024, 768) {}

    void show() {
        start();
        Phones->Show();
        host.pump();
    }
    TPoint screen(TWinControl& control, TPoint p) { return ws().client_to_screen(control.Handle(), p); }
    AnsiString last_name() { return Phones->PhoneT->FieldByName("LastName")->AsString(); }
    int component_index(const char* name) {
        for (int i = 0; i < Phones->ComponentCount(); ++i)
            if (Phones->Components(i)->Name() == name) return i;
        return -1;
    }
    // Clicks into a search box, types and presses Enter, as a user does.
    void search(TdxBarEdit* box, const AnsiString& text) {
        auto* control = dynamic_cast<TdxBarEditControl*>(box->Links(0)->Control());
        ASSERT_NE(control, nullptr);
        const TRect r = control->TextRect();
        host.click(screen(*Phones->SearchBar->Control(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
        host.type_chars(text);
        host.press_key(ui::VK_RETURN);
        host.pump();
    }
};

TEST_F(MainWindowTest, ComponentsComeInStoredOrderAndTheGridFillsTheWindowBelowTheBars) {
    show();
    const std::vector<const char*> order = {"dxBarDockControl1", "dxBarDockControl4", "PhoneGrid", "PhoneGridFlat",
                                            "PhoneBarManager", "StreetEdit", "PhoneT", "StreetDS", "ImageList1"};
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_LT(component_index(order[i - 1]), component_index(order[i])) << order[i - 1] << " before " << order[i];

    // The extra dock controls take no room, the bar manager's top dock holds both bars.
    EXPECT_EQ(Phones->dxBarDockControl1->Height(), 0);
    EXPECT_EQ(Phones->MainMenuBar->Row(), 0);
    EXPECT_EQ(Phones->SearchBar->Row(), 1);
    EXPECT_EQ(Phones->PhoneGrid->Top(), 50);
    EXPECT_EQ(Phones->PhoneGrid->Left(), 0);
    EXPECT_EQ(Phones->PhoneGrid->Width(), Phones->ClientWidth());
    EXPECT_EQ(Phones->PhoneGrid->Height(), Phones->ClientHeight() - 50);

    // Eight visible columns fill the grid's width; the first subscriber is focused.
    EXPECT_EQ(Phones->PhoneGrid->VisibleColumnsOf(0, 0).size(), 8u);
    EXPECT_EQ(Phones->PhoneGrid->FocusedNumber(), 0);
    EXPECT_EQ(Phones->PhoneT->RecNo(), 1);

    host.save_png(Phones->Handle(), ABONIX_ARTIFACT_DIR "/main_window.png");
}

TEST_F(MainWindowTest, EachSearchBoxFindsItsSubscriberAndTheGridFocusesItsRow) {
    show();
    search(Phones->LastNameEdit, "Ив"_a);
    EXPECT_EQ(Phones->PhoneT->IndexFieldNames(), "LastName");
    EXPECT_EQ(last_name().substr(0, 2), AnsiString("Ив"_a));
    const int rows = Phones->PhoneGrid->Count();
    EXPECT_GT(rows, 10);
    EXPECT_EQ(Phones->PhoneGrid->FocusedNumber(), (rows - 1) / 2);

    const AnsiString phone = Phones->PhoneT->FieldByName("Phone")->AsString();
    search(Phones->PhoneEdit, phone);
    EXPECT_EQ(Phones->PhoneT->IndexFieldNames(), "Phone");
    EXPECT_EQ(Phones->PhoneT->FieldByName("Phone")->AsString(), phone);

    const AnsiString street = Phones->PhoneT->FieldByName("StreetStr")->AsString();
    search(Phones->StreetEdit, street);
    EXPECT_EQ(Phones->PhoneT->IndexFieldNames(), "Street");
    EXPECT_EQ(Phones->PhoneT->FieldByName("StreetStr")->AsString(), street);
}

TEST_F(MainWindowTest, AHeaderClickOrdersTheDirectoryByThatColumn) {
    show();
    // The first visible column is the phone number's.
    host.click(screen(*Phones->PhoneGrid, {10, 8}));
    host.pump();
    EXPECT_EQ(Phones->PhoneT->IndexFieldNames(), "Phone");
    Phones->PhoneT->First();
    const AnsiString first = Phones->PhoneT->FieldByName("Phone")->AsString();
    Phones->PhoneT->Next();
    EXPECT_LE(first, Phones->PhoneT->FieldByName("Phone")->AsString());
}

TEST_F(MainWindowTest, CtrlXInTheGridRunsTheExitItem) {
    show();
    Phones->PhoneGrid->SetFocus();
    host.pump();
    bool ran = false;
    Phones->CloseButton->OnClick = [&](TObject*) { ran = true; };
    host.press_key('X', {ui::VK_CONTROL});
    EXPECT_TRUE(ran);
}

TEST_F(MainWindowTest, MnemonicsAnswerToTheKeysOfTheirLettersInTheLayoutInForce) {
    // The directory's captions have none; with "&Файл" and "&Выход" the keys that
    // type "ф" and "в" (A and D on a Russian layout) open the menu and run Exit.
    start();
    Phones->FileMenu->SetCaption("&Файл"_a);
    Phones->CloseButton->SetCaption("&Выход"_a);
    Phones->Show();
    host.pump();
    int ran = 0;
    Phones->CloseButton->OnClick = [&](TObject*) { ++ran; };

    host.press_key('A', {ui::VK_MENU});
    host.press_key('D');
    host.press_key(ui::VK_ESCAPE);
    host.press_key(ui::VK_ESCAPE);
    host.pump();
    EXPECT_EQ(ran, 0) << "an English layout has no key for these letters";

    host.set_keyboard_layout(ui::KeyboardLayout::russian());
    host.press_key('A', {ui::VK_MENU});
    host.press_key('D');
    host.pump();
    EXPECT_EQ(ran, 1);
}

TEST_F(MainWindowTest, ALayoutThatCannotBeWrittenIsReportedAndTheProgramEndsNormally) {
    show();
    // A folder that does not exist stands in for a read-only one or a full disk.
    Phones->PhoneGrid->SetIniFileName("no-such-folder/Abonix.ini");
    Phones->PhoneBarManager->SetIniFileName("no-such-folder/abonix.ini");
    // The bars save while the window still stands and can show a message box;
    // the grid saves when it is going itself and says so on standard error.
    std::vector<std::string> boxes;
    app->OnException = [&](TObject*, const std::exception& e) { boxes.push_back(e.what()); };
    testing::internal::CaptureStderr();
    app.reset();
    Phones = nullptr;
    AboutBox = nullptr;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NE(said.find("Abonix: the layout was not saved: "), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
}

}  // namespace
