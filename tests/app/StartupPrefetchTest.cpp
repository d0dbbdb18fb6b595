// The tables and fonts made ready beside the display's start: the main
// window takes the tables the workers opened, exactly as it would have opened
// them, and failures still reach the user where they did before.
#include "AppTestSupport.h"

#include "app/StartupPrefetch.h"
#include "engine/Config.h"
#include "platform/db/EDatabaseError.h"
#include "platform/db/TField.h"
#include "text/Cp1251.h"

#include <string>
#include <vector>

using apptest::AppTest;

namespace {

class StartupPrefetchTest : public AppTest {
protected:
    // The main window's tables by their file names.
    TTable* table(const char* name) {
        for (TTable* t : {Phones->PhoneT, Phones->CityT, Phones->StreetT})
            if (t->TableName() == name) return t;
        return nullptr;
    }
    // Presses Enter on every message box and keeps its text.
    void answer_message_boxes(std::vector<std::string>& boxes) {
        host.set_idle_handler([&] {
            TCustomForm* box = active_form();
            ASSERT_NE(box, nullptr);
            const std::string text = label_text(*box);
            boxes.push_back(text);
            host.press_key(ui::VK_RETURN);
        });
    }
};

TEST_F(StartupPrefetchTest, WorkersOpenWhatTheMainWindowWouldOpen) {
    start();
    const db::ConnectParams& db = app::StartupPrefetch::Database();
    EXPECT_EQ(Phones->Abonix->DatabaseName(), db.database_name);
    EXPECT_EQ(Phones->Abonix->DriverName(), db.driver_name);
    EXPECT_EQ(Phones->Abonix->Params(), db.params);
    ASSERT_EQ(app::StartupPrefetch::Tables().size(), 3u);
    for (const auto& t : app::StartupPrefetch::Tables()) {
        SCOPED_TRACE(t.table_name);
        TTable* opened = table(t.table_name);
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->DatabaseName(), db.database_name);
        EXPECT_EQ(opened->IndexName(), t.index_name);
        EXPECT_EQ(opened->IndexFieldNames(), t.index_fields);
    }
}

TEST_F(StartupPrefetchTest, TheMainWindowTakesEachPreparedTableOnceInItsOrder) {
    app::StartupPrefetch prefetch;
    EXPECT_EQ(prefetch.unused_tables(), 0);  // nothing is handed over before the workers are done
    prefetch.finish();
#ifndef NDEBUG
    prefetch.check_invariants();
#endif
    EXPECT_EQ(prefetch.unused_tables(), 3);
    start();
    EXPECT_EQ(prefetch.unused_tables(), 0);
    EXPECT_TRUE(Phones->PhoneT->Active());
    EXPECT_TRUE(Phones->CityT->Active());
    EXPECT_TRUE(Phones->StreetT->Active());
    EXPECT_EQ(Phones->PhoneT->RecordCount(), 300);
    // In the order of "LastName Index", with the names looked up in the prepared tables.
    TTable& t = *Phones->PhoneT;
    t.First();
    AnsiString previous = t.FieldByName("LastName")->AsString();
    for (int i = 0; i < 20 && !t.Eof(); ++i) {
        t.Next();
        const AnsiString name = t.FieldByName("LastName")->AsString();
        EXPECT_LE(text::ansi_compare_text(previous, name), 0) << i;
        previous = name;
    }
    EXPECT_FALSE(t.FieldByName("CityStr")->AsString().empty());
    EXPECT_FALSE(t.FieldByName("StreetStr")->AsString().empty());

    // Opened again later, a table takes the ordinary way.
    Phones->CityT->Close();
    Phones->CityT->Open();
    EXPECT_TRUE(Phones->CityT->Active());
}

TEST_F(StartupPrefetchTest, AMissingSubscriberTableIsStillReportedOnceByTheMainWindow) {
    std::filesystem::remove(dir / "Phone2k.db");
    app::StartupPrefetch prefetch;
    prefetch.finish();
    EXPECT_EQ(prefetch.unused_tables(), 2);
    std::vector<std::string> boxes;
    answer_message_boxes(boxes);
    start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Phone2k"), std::string::npos) << boxes[0];
    // The tables after the failing one stay closed, prepared or not.
    EXPECT_FALSE(Phones->PhoneT->Active());
    EXPECT_FALSE(Phones->CityT->Active());
    EXPECT_FALSE(Phones->StreetT->Active());
}

TEST_F(StartupPrefetchTest, ADatabaseThatCannotBeConnectedStillEndsStartUp) {
    engine::config().aliases["Phone"] = dir / "no such folder";
    {
        app::StartupPrefetch prefetch;
        prefetch.finish();
        EXPECT_EQ(prefetch.unused_tables(), 0);
        EXPECT_THROW(Application->CreateForm<TPhones>(), EDatabaseError);
    }
    engine::config().aliases.erase("Phone");
    EXPECT_EQ(Application->MainForm(), nullptr);
}

}  // namespace
