#include "BarsTestSupport.h"

#include "platform/forms/TMemIniFile.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

namespace bars::test {
namespace {

class LayoutIniTest : public BarsTest {
protected:
    // Frees the form (which writes the layout) and makes it again (which reads it).
    void restart() {
        TComponent::Free(form);
        form = app->CreateForm<Configured>();
        form->SetWidth(1000);
        form->Show();
        host.pump();
    }
    const AnsiString P = "Phones.PhoneBarManager.";
};

TEST_F(LayoutIniTest, ClosingWritesTheSectionsAndKeepsOthers) {
    {
        TMemIniFile grid("abonix.ini");
        grid.WriteInteger("\\Grid", "ColumnCount", 8);
        grid.WriteString(P + "Bar7", "Caption", "stale");
        grid.UpdateFile();
    }
    TComponent::Free(form);
    form = nullptr;
    const TMemIniFile ini("abonix.ini");
    std::vector<AnsiString> sections = ini.ReadSections();
    const std::vector<AnsiString> expected = {
        "\\Grid",
        P + "Main",
        P + "Bar0",
        P + "Bar0.ItemLink0",
        P + "Bar0.ItemLink1",
        P + "Bar1",
        P + "Bar1.ItemLink0",
        P + "Bar1.ItemLink1",
        P + "Bar1.ItemLink2",
        P + "Bar1.ItemLink3",
        P + "Bar1.ItemLink4",
        P + "Bar1.ItemLink5",
        P + "SubItem_FileMenu",
        P + "SubItem_FileMenu.ItemLink0",
        P + "SubItem_N1",
        P + "SubItem_N1.ItemLink0",
        P + "SubItem_N1.ItemLink1",
    };
    EXPECT_EQ(sections, expected);
    EXPECT_EQ(ini.ReadInteger("\\Grid", "ColumnCount", 0), 8);
    EXPECT_EQ(ini.ReadInteger(P + "Main", "BarCount", 0), 2);
    EXPECT_EQ(ini.ReadInteger(P + "Main", "MenuAnimations", 0), 1);
    EXPECT_TRUE(ini.ReadBool(P + "Main", "ShowShortCutInHint", false));
    EXPECT_EQ(ini.ReadString(P + "Bar1", "Caption", ""), "SearchBar");
    EXPECT_EQ(ini.ReadInteger(P + "Bar1", "Row", -1), 1);
    EXPECT_EQ(ini.ReadInteger(P + "Bar1", "DockingStyle", -1), dsTop);
    EXPECT_TRUE(ini.ReadBool(P + "Bar1", "Visible", false));
    EXPECT_EQ(ini.ReadInteger(P + "Bar1", "ItemLinkCount", 0), 6);
    EXPECT_EQ(ini.ReadString(P + "Bar1.ItemLink1", "ItemName", ""), "LastNameEdit");
    EXPECT_EQ(ini.ReadInteger(P + "Bar1.ItemLink1", "UserDefine", 0), 8);
    EXPECT_EQ(ini.ReadInteger(P + "Bar1.ItemLink1", "UserWidth", 0), 105);
    EXPECT_FALSE(ini.ValueExists(P + "Bar1.ItemLink4", "UserWidth"));
    EXPECT_TRUE(ini.ValueExists(P + "Bar1.ItemLink4", "Visible"));
    EXPECT_FALSE(ini.ValueExists(P + "SubItem_N1.ItemLink1", "Visible"));
    EXPECT_TRUE(ini.ReadBool(P + "SubItem_N1.ItemLink1", "BeginGroup", false));
    EXPECT_TRUE(ini.ValueExists(P + "SubItem_N1.ItemLink1", "UseCount"));
}

TEST_F(LayoutIniTest, AFloatingBarComesBackWhereItWas) {
    form->SearchBar->SetDockingStyle(dsNone);
    form->SearchBar->Control()->SetBounds(300, 400, form->SearchBar->Control()->Width(), form->SearchBar->Control()->Height());
    form->SearchBar->SetFloatLeft(300);
    form->SearchBar->SetFloatTop(400);
    restart();
    ASSERT_TRUE(form->SearchBar->Control());
    EXPECT_FALSE(form->SearchBar->Control()->Docked());
    EXPECT_EQ(form->SearchBar->Control()->Left(), 300);
    EXPECT_EQ(form->SearchBar->Control()->Top(), 400);
    EXPECT_EQ(topDock().Height(), 27);
    checkAll();
}

TEST_F(LayoutIniTest, EditedFilesTakeEffectAtTheNextStart) {
    TComponent::Free(form);
    form = nullptr;
    {
        TMemIniFile ini("abonix.ini");
        ini.WriteString(P + "Bar1.ItemLink2", "ItemName", "NoSuchEdit");
        ini.WriteInteger(P + "Bar1.ItemLink0", "UserWidth", 5);
        ini.UpdateFile();
    }
    restart();
    const auto& shown = form->SearchBar->ItemLinks().ShownLinks();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(form->FirstNameEdit->LinkCount(), 0);
    EXPECT_EQ(shown[0]->UserWidth(), 20);
    EXPECT_EQ(shown[2]->Item(), form->MiddleNameEdit);
    checkAll();
    TComponent::Free(form);
    form = nullptr;
    {
        TMemIniFile ini("abonix.ini");
        ini.DeleteKey(P + "Bar1", "Row");
        ini.UpdateFile();
    }
    restart();
    EXPECT_FALSE(form->SearchBar->Visible());
    EXPECT_EQ(form->SearchBar->Control(), nullptr);
    EXPECT_EQ(topDock().Height(), 27);
}

// Menu links start at the manager's threshold count, the one added last in
// front; what the file keeps of their use is taken back place by place, and a
// link the file gives no place starts afresh.
TEST_F(LayoutIniTest, UseCountsAndTheRecentOrderComeBackFromTheFile) {
    TdxBarItemLinks& links = form->N1->ItemLinks();
    TdxBarItemLink* about = form->AboutMenu->Links(0);
    TdxBarItemLink* web = form->WebPageMenu->Links(0);
    const int fresh = manager().RecentItemsThreshold();
    ASSERT_EQ(fresh, 20);
    EXPECT_EQ(about->UseCount(), fresh);
    EXPECT_EQ(web->UseCount(), fresh);
    EXPECT_EQ(links.RecentOrder(), (std::vector<TdxBarItemLink*>{web, about}));
    // "О программе..." used three times, then "Мы в интернете" once.
    for (TdxBarItemLink* used : {about, about, about, web}) {
        used->MarkUsed();
        links.MoveInRecentOrder(used, 0);
    }
    checkAll();
    TComponent::Free(form);
    form = nullptr;
    const std::filesystem::path saved = dir.path() / "saved.ini";
    std::filesystem::copy_file(dir.path() / "abonix.ini", saved);

    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> deleted;  // link section, entry
        std::vector<std::tuple<const char*, const char*, int>> written;
        int aboutCount, webCount;
        bool webFirst;
    };
    const std::vector<Case> cases = {
        {"as saved", {}, {}, 23, 21, true},
        {"no counts or places", {{"0", "UseCount"}, {"0", "RecentIndex"}, {"1", "UseCount"}, {"1", "RecentIndex"}}, {},
         20, 20, true},
        {"no place for the web page", {{"1", "RecentIndex"}}, {{"0", "RecentIndex", 0}}, 23, 20, false},
        {"both in front", {}, {{"0", "RecentIndex", 0}, {"1", "RecentIndex", 0}}, 23, 21, true},
        {"a place past the end", {}, {{"1", "RecentIndex", 1000000000}}, 23, 21, false},
        {"a negative count", {}, {{"0", "UseCount", -5}}, 0, 21, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::copy_file(saved, dir.path() / "abonix.ini", std::filesystem::copy_options::overwrite_existing);
        {
            TMemIniFile ini("abonix.ini");
            for (const auto& [link, entry] : c.deleted) ini.DeleteKey(P + "SubItem_N1.ItemLink" + link, entry);
            for (const auto& [link, entry, value] : c.written) ini.WriteInteger(P + "SubItem_N1.ItemLink" + link, entry, value);
            ini.UpdateFile();
        }
        restart();
        about = form->AboutMenu->Links(0);
        web = form->WebPageMenu->Links(0);
        EXPECT_EQ(about->UseCount(), c.aboutCount);
        EXPECT_EQ(web->UseCount(), c.webCount);
        const std::vector<TdxBarItemLink*> order =
            c.webFirst ? std::vector<TdxBarItemLink*>{web, about} : std::vector<TdxBarItemLink*>{about, web};
        EXPECT_EQ(form->N1->ItemLinks().RecentOrder(), order);
        checkAll();
        TComponent::Free(form);
        form = nullptr;
    }
}

TEST_F(LayoutIniTest, AnUnreadableFileLeavesTheBarsAsDesigned) {
    std::vector<std::string> shown;
    app->OnException = [&](TObject*, const std::exception& e) { shown.push_back(e.what()); };
    TComponent::Free(form);
    form = nullptr;
    std::filesystem::remove(dir / "abonix.ini");
    std::filesystem::create_directory(dir / "abonix.ini");
    shown.clear();
    restart();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(topDock().Height(), 50);
    EXPECT_EQ(form->SearchBar->ItemLinks().ShownLinks().size(), 6u);
    checkAll();
    // Saving into it fails the same way, and is reported too.
    TComponent::Free(form);
    form = nullptr;
    EXPECT_EQ(shown.size(), 2u);
    app->OnException = nullptr;
}

}  // namespace
}  // namespace bars::test
