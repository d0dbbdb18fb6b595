// The record window contract: what the links see and which notifications
// they get, move by move.
#include "tests/db/DbFixture.h"

#include "platform/db/TDataSource.h"
#include "platform/db/TDatabase.h"
#include "platform/db/TTable.h"

#include <gtest/gtest.h>

#include <functional>

using dbtest::RecordingLink;
using Log = std::vector<std::string>;

namespace {

class DataSetTest : public ::testing::Test {
protected:
    void SetUp() override { make(100); }

    void make(int count) {
        dbtest::write_nums(dir.path(), count);
        database = TComponent::Own<TDatabase>(&form);
        database->SetDatabaseName("Test");
        database->SetParams({"PATH=" + dir.path().string()});
        table = TComponent::Own<TTable>(&form);
        table->SetName("Nums");
        table->SetDatabaseName("Test");
        table->SetTableName("Nums.db");
        source = TComponent::Own<TDataSource>(&form);
        source->SetDataSet(table);
        link.SetBufferCount(10);
        link.SetDataSource(source);
    }

    int top() { return link.rows("N").empty() ? 0 : link.rows("N").front(); }

    TempDir dir;
    TComponent form;
    TDatabase* database = nullptr;
    TTable* table = nullptr;
    TDataSource* source = nullptr;
    RecordingLink link;
};

}  // namespace

TEST_F(DataSetTest, OpensOnTheFirstRecordAndActivatesTheLink) {
    table->Open();
    EXPECT_EQ(link.take(), Log{"active"});
    EXPECT_EQ(link.RecordCount(), 10);
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(link.rows("N"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(table->Bof());
    EXPECT_FALSE(table->Eof());
    EXPECT_EQ(table->RecNo(), 1);
    EXPECT_EQ(table->RecordCount(), 100);
    table->Close();
    EXPECT_EQ(link.take(), Log{"inactive"});
    EXPECT_EQ(link.RecordCount(), 0);
}

TEST_F(DataSetTest, MoveByScrollsTheWindowOnlyAtItsEdges) {
    struct Case {
        bool from_last;
        int distance;
        Log log;
        int moved, active, recno, top;
        bool bof, eof;
    } const cases[] = {
        {false, 1, {"check", "scrolled 0"}, 1, 1, 2, 1, false, false},
        {false, 9, {"check", "scrolled 0"}, 9, 9, 10, 1, false, false},
        {false, 10, {"check", "scrolled 1"}, 10, 9, 11, 2, false, false},
        {false, 15, {"check", "scrolled 6"}, 15, 9, 16, 7, false, false},
        {false, 40, {"check", "scrolled 31"}, 40, 9, 41, 32, false, false},
        {false, 200, {"check", "scrolled 90"}, 99, 9, 100, 91, false, true},
        {false, -1, {"check"}, 0, 0, 1, 1, true, false},
        {false, 0, {"check"}, 0, 0, 1, 1, true, false},
        {true, -9, {"check", "scrolled 0"}, -9, 0, 91, 91, false, false},
        {true, -10, {"check", "scrolled -1"}, -10, 0, 90, 90, false, false},
        {true, 1, {"check"}, 0, 9, 100, 91, false, true},
        {true, -500, {"check", "scrolled -90"}, -99, 0, 1, 1, true, false},
    };
    table->Open();
    for (const Case& c : cases) {
        if (c.from_last) table->Last(); else table->First();
        link.take();
        EXPECT_EQ(table->MoveBy(c.distance), c.moved) << c.distance;
        EXPECT_EQ(link.take(), c.log) << c.distance;
        EXPECT_EQ(link.ActiveRecord(), c.active) << c.distance;
        EXPECT_EQ(table->RecNo(), c.recno) << c.distance;
        EXPECT_EQ(top(), c.top) << c.distance;
        EXPECT_EQ(link.RecordCount(), 10);
        EXPECT_EQ(table->Bof(), c.bof) << c.distance;
        EXPECT_EQ(table->Eof(), c.eof) << c.distance;
        EXPECT_EQ(table->FieldByName("N")->AsInteger(), c.recno) << c.distance;
    }
}

TEST_F(DataSetTest, StepByStepPastTheBottomRowKeepsTheWindowConsecutive) {
    table->Open();
    table->MoveBy(9);
    link.take();
    for (int i = 0; i < 25; ++i) table->Next();
    EXPECT_EQ(link.take().size(), 50u);
    EXPECT_EQ(link.rows("N"), (std::vector<int>{26, 27, 28, 29, 30, 31, 32, 33, 34, 35}));
    for (int i = 0; i < 12; ++i) table->Prior();
    EXPECT_EQ(link.rows("N"), (std::vector<int>{23, 24, 25, 26, 27, 28, 29, 30, 31, 32}));
    EXPECT_EQ(link.ActiveRecord(), 0);
}

TEST_F(DataSetTest, RebuildsPlaceTheCurrentRecord) {
    struct Case {
        const char* what;
        std::function<void(TTable*)> op;
        int recno, active;
    } const cases[] = {
        {"first", [](TTable* t) { t->First(); }, 1, 0},
        {"last", [](TTable* t) { t->Last(); }, 100, 9},
        {"record number, middle", [](TTable* t) { t->SetRecNo(50); }, 50, 4},
        {"record number, start", [](TTable* t) { t->SetRecNo(3); }, 3, 2},
        {"record number, end", [](TTable* t) { t->SetRecNo(99); }, 99, 8},
        {"record number past the end", [](TTable* t) { t->SetRecNo(1000); }, 100, 9},
        {"refresh keeps the row", [](TTable* t) { t->Refresh(); }, 40, 7},
    };
    table->Open();
    for (const Case& c : cases) {
        table->SetRecNo(37);
        table->MoveBy(3);  // record 40 on row 7 of the window 33..42
        link.take();
        c.op(table);
        EXPECT_EQ(link.take(), (Log{"check", "changed"})) << c.what;
        EXPECT_EQ(table->RecNo(), c.recno) << c.what;
        EXPECT_EQ(link.ActiveRecord(), c.active) << c.what;
        EXPECT_EQ(link.rows("N")[static_cast<std::size_t>(c.active)], c.recno) << c.what;
    }
}

TEST_F(DataSetTest, BookmarksNameRecordsAndGoingToOneCentresIt) {
    table->Open();
    table->SetRecNo(37);
    const AnsiString mark = table->Bookmark();
    table->MoveBy(50);
    EXPECT_TRUE(table->BookmarkValid(mark));
    EXPECT_NE(table->CompareBookmarks(mark, table->Bookmark()), 0);
    link.take();
    table->GotoBookmark(mark);
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(table->RecNo(), 37);
    EXPECT_EQ(link.ActiveRecord(), 4);
    EXPECT_EQ(table->CompareBookmarks(mark, table->Bookmark()), 0);
    EXPECT_EQ(table->CompareBookmarks("", ""), 0);
    EXPECT_FALSE(table->BookmarkValid("100000"));
    EXPECT_FALSE(table->BookmarkValid("x"));
    EXPECT_FALSE(table->BookmarkValid(""));
    try {
        table->GotoBookmark("100000");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Nums: Record not found");
    }
    EXPECT_EQ(table->RecNo(), 37);
    // A bookmark survives a change of order.
    table->SetIndexFieldNames("Rev");
    table->First();
    table->GotoBookmark(mark);
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), 37);
    EXPECT_EQ(table->RecNo(), 64);
}

TEST_F(DataSetTest, DisabledControlsHearOneDataSetChangedWhenEnabled) {
    table->Open();
    link.take();
    table->DisableControls();
    table->DisableControls();
    for (int i = 0; i < 30; ++i) table->Next();
    table->Last();
    table->EnableControls();
    EXPECT_TRUE(link.take().empty());
    table->EnableControls();
    EXPECT_EQ(link.take(), Log{"changed"});
    EXPECT_EQ(link.ActiveRecord(), 9);
    EXPECT_EQ(table->RecNo(), 100);
    // Nothing happened, nothing to tell.
    table->DisableControls();
    table->EnableControls();
    EXPECT_TRUE(link.take().empty());
    // A state change held back is told as such.
    table->DisableControls();
    table->Close();
    table->Open();
    table->EnableControls();
    EXPECT_EQ(link.take(), Log{"changed"});
    table->DisableControls();
    table->Close();
    table->EnableControls();
    EXPECT_EQ(link.take(), Log{"inactive"});
    EXPECT_FALSE(table->ControlsDisabled());
}

TEST_F(DataSetTest, BufferCountGrowsAndShrinksAroundTheCurrentRecordSilently) {
    struct Case {
        bool at_last;
        int count;
        int rows, active, top;
    } const cases[] = {
        {false, 20, 20, 0, 1},   // grows at the end
        {true, 20, 20, 19, 81},  // nothing follows: grows at the start
        {false, 5, 5, 0, 1},     // shrinks at the end
        {true, 5, 5, 4, 96},     // the active row stays: shrinks at the start
    };
    table->Open();
    for (const Case& c : cases) {
        link.SetBufferCount(10);
        if (c.at_last) table->Last(); else table->First();
        link.take();
        link.SetBufferCount(c.count);
        EXPECT_TRUE(link.take().empty());
        EXPECT_EQ(link.RecordCount(), c.rows);
        EXPECT_EQ(link.ActiveRecord(), c.active);
        EXPECT_EQ(top(), c.top);
        EXPECT_EQ(link.rows("N").back(), c.top + c.rows - 1);
    }
}

TEST_F(DataSetTest, ALinkWithAFewerBuffersSeesItsOwnPartOfTheWindow) {
    RecordingLink small;
    small.SetBufferCount(3);
    small.SetDataSource(source);
    table->Open();
    EXPECT_EQ(small.RecordCount(), 3);
    table->MoveBy(9);  // the big link's bottom row
    EXPECT_EQ(small.take(), (Log{"active", "check", "scrolled 7"}));
    EXPECT_EQ(small.ActiveRecord(), 2);
    EXPECT_EQ(small.rows("N"), (std::vector<int>{8, 9, 10}));
    table->Next();
    EXPECT_EQ(small.take(), (Log{"check", "scrolled 1"}));
    EXPECT_EQ(link.take().back(), "scrolled 1");
    EXPECT_EQ(small.rows("N"), (std::vector<int>{9, 10, 11}));
    table->MoveBy(-4);  // the big link's top row
    EXPECT_EQ(small.take(), (Log{"check", "scrolled -2"}));
    EXPECT_EQ(small.ActiveRecord(), 0);
    EXPECT_EQ(small.rows("N"), (std::vector<int>{7, 8, 9}));
}

TEST_F(DataSetTest, LayoutFocusUpdateNotifications) {
    RecordingLink second;
    second.SetDataSource(source);
    table->Open();
    link.take();
    second.take();
    TField* name = table->FieldByName("Name");
    name->SetDisplayWidth(30);
    name->SetDisplayWidth(30);
    EXPECT_EQ(link.take(), Log{"layout"});
    link.takes_focus = true;
    name->FocusControl();
    EXPECT_EQ(link.take(), Log{"focus Name"});
    EXPECT_EQ(second.take(), Log{"layout"});  // the focus went to the first link only
    table->UpdateRecord();
    EXPECT_EQ(link.take(), Log{"update"});
}

TEST_F(DataSetTest, AnEmptyTableHasNoCurrentRecord) {
    table->SetTableName("Empty.db");
    dbtest::write_nums(dir.path(), 0, "Empty.db");
    table->Open();
    EXPECT_EQ(link.RecordCount(), 0);
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_TRUE(table->Bof());
    EXPECT_TRUE(table->Eof());
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_EQ(table->RecNo(), -1);
    EXPECT_EQ(table->Bookmark(), "");
    EXPECT_EQ(table->MoveBy(5), 0);
    EXPECT_TRUE(table->FieldByName("N")->IsNull());
    EXPECT_EQ(table->FieldByName("N")->AsInteger(), 0);
    link.take();
    table->Last();
    table->FindNearest({AnsiString("5")});
    EXPECT_EQ(link.take(), (Log{"check", "changed", "check", "changed"}));
    EXPECT_FALSE(table->FindKey({1}));
    EXPECT_TRUE(table->IsEmpty());
}

TEST_F(DataSetTest, OperationsOnAClosedDatasetFail) {
    const std::function<void(TTable*)> ops[] = {
        [](TTable* t) { t->First(); },
        [](TTable* t) { t->Last(); },
        [](TTable* t) { t->MoveBy(1); },
        [](TTable* t) { (void)t->RecNo(); },
        [](TTable* t) { t->SetRecNo(2); },
        [](TTable* t) { (void)t->RecordCount(); },
        [](TTable* t) { (void)t->Bookmark(); },
        [](TTable* t) { t->GotoBookmark("1"); },
        [](TTable* t) { t->FindNearest({AnsiString("a")}); },
        [](TTable* t) { t->FindKey({1}); },
        [](TTable* t) { t->Refresh(); },
    };
    for (const auto& op : ops) {
        try {
            op(table);
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message(), "Nums: Cannot perform this operation on a closed dataset");
        }
    }
    EXPECT_TRUE(link.take().empty());
}

TEST_F(DataSetTest, LinksFollowTheirSourceAndItsDataset) {
    table->Open();
    link.take();
    source->SetDataSet(nullptr);
    EXPECT_EQ(link.take(), Log{"inactive"});
    source->SetDataSet(table);
    EXPECT_EQ(link.take(), Log{"active"});
    EXPECT_EQ(link.RecordCount(), 10);
    TComponent::Free(table);  // the source forgets its dataset
    EXPECT_EQ(link.take(), Log{"inactive"});
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_EQ(source->State(), dsInactive);
    TComponent::Free(source);  // the link forgets its source
    EXPECT_EQ(link.DataSource(), nullptr);
    EXPECT_TRUE(link.take().empty());
}
