#include "AppTestSupport.h"

#include "engine/Config.h"
#include "platform/db/EDatabaseError.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/Process.h"
#include "text/Cp1251.h"

#include <string>
#include <vector>

using apptest::AppTest;

using StartupTest = AppTest;

TEST_F(StartupTest, MainWindowOpensTheTablesAndRunsMaximisedUntilClosed) {
    start();
    EXPECT_EQ(Application->Title(), "Abonix");
    EXPECT_EQ(Application->MainForm(), Phones);
    EXPECT_TRUE(Phones->HandleAllocated());
    EXPECT_EQ(Phones->Name(), "Phones");
    EXPECT_EQ(AboutBox->Name(), "AboutBox");
    EXPECT_TRUE(Phones->Abonix->Connected());
    EXPECT_TRUE(Phones->PhoneT->Active());
    EXPECT_TRUE(Phones->CityT->Active());
    EXPECT_TRUE(Phones->StreetT->Active());
    EXPECT_EQ(Phones->ImageList1->Count(), 9);
    EXPECT_FALSE(AboutBox->Visible());

    bool looked = false;
    host.set_idle_handler([&] {
        if (looked) throw std::runtime_error("the loop did not end");
        looked = true;
        EXPECT_TRUE(ws().is_visible(Phones->Handle()));
        EXPECT_TRUE(ws().is_zoomed(Phones->Handle()));
        EXPECT_EQ(ws().get_window_text(Phones->Handle()), AnsiString("Ольмарск 2001"_a));
        EXPECT_FALSE(ws().is_visible(AboutBox->Handle()));
        ws().host_close_request(Phones->Handle());
    });
    Application->Run();
    EXPECT_TRUE(looked);
}

TEST_F(StartupTest, AMissingSubscriberTableIsReportedOnceAndTheWindowStillOpens) {
    std::filesystem::remove(dir / "Phone2k.db");
    std::vector<std::string> boxes;
    host.set_idle_handler([&] {
        // A message box is up: note its caption and text, then press Enter.
        TCustomForm* box = active_form();
        ASSERT_NE(box, nullptr);
        const std::string text = label_text(*box);
        boxes.push_back(box->Caption() + ": " + text);
        host.press_key(ui::VK_RETURN);
    });
    start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Abonix: "), std::string::npos);
    EXPECT_NE(boxes[0].find("Phone2k"), std::string::npos) << boxes[0];
    EXPECT_FALSE(Phones->PhoneT->Active());
    EXPECT_FALSE(Phones->CityT->Active());
    EXPECT_FALSE(Phones->StreetT->Active());
    EXPECT_EQ(Application->MainForm(), Phones);

    host.set_idle_handler([&] {
        EXPECT_TRUE(ws().is_visible(Phones->Handle()));
        Phones->CloseButtonClick(Phones);
    });
    Application->Run();
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(StartupTest, ADatabaseThatCannotBeConnectedEndsStartUpWithoutAWindow) {
    engine::config().aliases["Phone"] = dir / "no such folder";
    EXPECT_THROW(Application->CreateForm<TPhones>(), EDatabaseError);
    engine::config().aliases.erase("Phone");
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_TRUE(ws().top_level_windows().empty());
}

TEST_F(StartupTest, WebPageCommandStartsTheBrowserWithoutAShell) {
    start();
    std::vector<std::string> started;
    auto previous = ui::set_process_starter([&](const std::vector<std::string>& argv) {
        started = argv;
        return true;
    });
    Phones->WebPageMenuClick(Phones);
    ui::set_process_starter(previous);
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[1], "http://abonix.example/");
}
