// Tables: choosing the order, the two searches, fields, lookups and the
// database a table opens through.
#include "tests/db/DbFixture.h"

#include "platform/db/Session.h"
#include "platform/db/TDataSource.h"
#include "platform/db/TDatabase.h"
#include "platform/db/TIntegerField.h"
#include "platform/db/TStringField.h"
#include "platform/db/TTable.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using dbtest::error_of;
using dbtest::num;
using dbtest::RecordingLink;
using dbtest::txt;
using Log = std::vector<std::string>;

namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbtest::write_nums(dir.path(), 100);
        database = TComponent::Own<TDatabase>(&form);
        database->SetDatabaseName("Test");
        database->SetParams({"PATH=" + dir.path().string()});
        table = make_table("Nums", "Nums.db");
        source = TComponent::Own<TDataSource>(&form);
        source->SetDataSet(table);
        link.SetBufferCount(10);
        link.SetDataSource(source);
    }

    TTable* make_table(const char* name, const char* file) {
        TTable* t = TComponent::Own<TTable>(&form);
        t->SetName(name);
        t->SetDatabaseName("Test");
        t->SetTableName(file);
        return t;
    }

    int n() { return table->FieldByName("N")->AsInteger(); }

    TempDir dir;
    TComponent form;
    TDatabase* database = nullptr;
    TTable* table = nullptr;
    TDataSource* source = nullptr;
    RecordingLink link;
};

}  // namespace

TEST_F(TableTest, ChangeOfOrderKeepsTheCurrentRecordOnItsRowAsFarAsRecordsPrecedeIt) {
    struct Case {
        int recno, row;  // where the current record stands before
        const char* order;
        int new_recno, new_row;
    } const cases[] = {
        {50, 4, "Rev", 51, 4},   // N 50 is the 51st by Rev
        {46, 0, "Rev", 55, 0},
        {98, 7, "Rev", 3, 2},    // only two records precede N 98 by Rev
        {6, 5, "Rev", 95, 5},
        {3, 2, "Rev", 98, 7},   // too few follow: the window fills from further back
        {97, 9, "Rev", 4, 3},
    };
    table->Open();
    for (const Case& c : cases) {
        table->SetIndexFieldNames("");
        table->SetRecNo(c.recno - c.row + 4);  // centred on row 4
        table->MoveBy(c.row - 4);
        ASSERT_EQ(table->RecNo(), c.recno);
        ASSERT_EQ(link.ActiveRecord(), c.row);
        const int before = n();
        link.take();
        table->SetIndexFieldNames(c.order);
        EXPECT_EQ(link.take(), (Log{"check", "changed"})) << c.order << c.recno;
        EXPECT_EQ(n(), before);
        EXPECT_EQ(table->RecNo(), c.new_recno) << c.order << c.recno;
        EXPECT_EQ(link.ActiveRecord(), c.new_row) << c.order << c.recno;
        EXPECT_EQ(link.RecordCount(), 10);
    }
}

TEST_F(TableTest, IndexFieldNamesReadsBackTheAssignedTextAndTheSameTextDoesNothing) {
    table->SetIndexName("Rev");
    table->Open();
    EXPECT_EQ(table->IndexName(), "Rev");
    EXPECT_EQ(table->IndexFieldNames(), "");
    EXPECT_EQ(n(), 100);
    link.take();
    table->SetIndexFieldNames("");
    EXPECT_TRUE(link.take().empty());

    table->SetIndexFieldNames("name");
    EXPECT_EQ(table->IndexFieldNames(), "name");
    EXPECT_EQ(table->IndexName(), "");
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(table->RecNo(), 100);
    table->MoveBy(-3);
    link.take();
    table->SetIndexFieldNames("name");
    EXPECT_TRUE(link.take().empty());
    EXPECT_EQ(table->RecNo(), 97);
    // The same index under another spelling is a new order request.
    table->SetIndexFieldNames("Name");
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(table->IndexFieldNames(), "Name");
}

TEST_F(TableTest, NoIndexForTheFieldsLeavesOrderAndRecordAlone) {
    table->Open();
    table->SetIndexFieldNames("Rev");
    table->First();
    table->MoveBy(4);
    link.take();
    EXPECT_EQ(error_of([&] { table->SetIndexFieldNames("Name;Rev"); }), "Nums: No index for fields 'Name;Rev'");
    EXPECT_EQ(error_of([&] { table->SetIndexName("Nope"); }), "Nums: Index 'Nope' not found");
    EXPECT_TRUE(link.take().empty());
    EXPECT_EQ(table->IndexFieldNames(), "Rev");
    EXPECT_EQ(n(), 96);
    table->FindNearest({50});
    EXPECT_EQ(n(), 51);  // still ordered by Rev
}

TEST_F(TableTest, OnAClosedTableTheOrderIsOnlyStoredAndAppliedAtOpen) {
    table->SetIndexFieldNames("Nope");
    EXPECT_EQ(table->IndexFieldNames(), "Nope");
    EXPECT_EQ(error_of([&] { table->Open(); }), "Nums: No index for fields 'Nope'");
    EXPECT_FALSE(table->Active());
    EXPECT_TRUE(link.take().empty());
    table->SetIndexFieldNames("Rev");
    table->Open();
    EXPECT_EQ(n(), 100);
    table->Close();
    table->SetIndexName("Bad");
    EXPECT_EQ(table->IndexFieldNames(), "");
    EXPECT_EQ(error_of([&] { table->Open(); }), "Nums: Index 'Bad' not found");
    EXPECT_FALSE(table->Active());
}

TEST_F(TableTest, NearestSearchCentresTheFoundRecord) {
    struct Case {
        AnsiString text;
        int n, row;
    } const cases[] = {
        {"", 1, 0},                  // empty text: the first record
        {"n001", 1, 0},              // at the start nothing precedes it
        {"n05", 50, 4},              // a prefix finds the first key that begins with it
        {"n0505", 51, 4},            // between keys: the next one
        {"n050zzzzzzzzzzzz", 51, 4}, // cut to the field's 10 characters first
        {"n099", 99, 8},             // near the end: filled from further back
        {"zzz", 100, 9},             // after every key: the last record
    };
    table->SetIndexFieldNames("Name");
    table->Open();
    for (const Case& c : cases) {
        table->SetRecNo(30);
        link.take();
        table->FindNearest({c.text});
        EXPECT_EQ(link.take(), (Log{"check", "changed"})) << c.text;
        EXPECT_EQ(n(), c.n) << c.text;
        EXPECT_EQ(link.ActiveRecord(), c.row) << c.text;
    }
}

TEST_F(TableTest, KeySearchFindsTheFirstMatchOrMovesNothing) {
    table->SetIndexFieldNames("Grp");
    table->Open();
    table->SetRecNo(20);
    const int before = n();
    link.take();
    EXPECT_FALSE(table->FindKey({9}));
    EXPECT_EQ(link.take(), Log{"check"});
    EXPECT_EQ(n(), before);
    EXPECT_TRUE(table->FindKey({3}));
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(n(), 3);  // the first N with N mod 7 = 3
    EXPECT_EQ(link.ActiveRecord(), 4);
    EXPECT_TRUE(table->FindKey({AnsiString("5")}));
    EXPECT_EQ(n(), 5);
    EXPECT_EQ(error_of([&] { table->FindKey({AnsiString("x")}); }), "Nums: 'x' is not a valid integer value");
    EXPECT_EQ(error_of([&] { table->FindKey({1, 2}); }), "Nums: Only one key value is supported");
}

TEST_F(TableTest, SecondPassChoosesTheCompositeIndexThatBeginsWithTheField) {
    engine::TableSchema schema;
    schema.fields = {{"Phone", engine::FieldType::Alpha, 6}, {"LastName", engine::FieldType::Alpha, 25}};
    schema.indexes = {{"ByPhone", {"Phone", "LastName"}}};
    engine::write_table(dir.path() / "Names.db", schema,
                        {{txt("222222"), txt("B")}, {txt("111111"), txt("A")}, {txt("333333"), txt("C")}});
    TTable* names = make_table("Names", "Names.db");
    names->Open();
    names->SetIndexFieldNames("Phone");
    names->FindNearest({AnsiString("2")});
    EXPECT_EQ(names->FieldByName("LastName")->AsString(), "B");
    EXPECT_EQ(names->RecNo(), 2);
}

TEST_F(TableTest, DefaultFieldsComeFromTheTable) {
    table->Open();
    ASSERT_EQ(table->FieldCount(), 4);
    TField* name = table->Fields(1);
    EXPECT_EQ(name->FieldName(), "Name");
    EXPECT_EQ(name->DataType(), ftString);
    EXPECT_EQ(name->Size(), 10);
    EXPECT_EQ(name->DisplayWidth(), 10);
    EXPECT_EQ(name->Alignment(), taLeftJustify);
    EXPECT_EQ(name->Index(), 1);
    EXPECT_EQ(name->AsString(), "n001");
    EXPECT_EQ(table->Fields(0)->DataType(), ftInteger);
    EXPECT_EQ(table->Fields(0)->Alignment(), taRightJustify);
    EXPECT_EQ(table->Fields(0)->AsString(), "1");
    EXPECT_EQ(error_of([&] { table->FieldByName("Nope"); }), "Nums: Field 'Nope' not found");
    table->Close();
    EXPECT_EQ(table->FieldCount(), 0);
    EXPECT_EQ(table->FindField("Name"), nullptr);
}

TEST_F(TableTest, PersistentFieldsAreCheckedAgainstTheTableAndCutToTheirSize) {
    auto* name = TComponent::Own<TStringField>(&form);
    name->SetFieldName("Name");
    name->SetSize(2);
    name->SetDisplayLabel("Имя"_a);
    name->SetDataSet(table);
    auto* rev = TComponent::Own<TIntegerField>(&form);
    rev->SetFieldName("Rev");
    rev->SetDataSet(table);
    table->Open();
    EXPECT_EQ(table->FieldCount(), 2);
    EXPECT_EQ(name->AsString(), "n0");
    EXPECT_EQ(name->DisplayName(), AnsiString("Имя"_a));
    EXPECT_EQ(rev->DisplayName(), "Rev");
    EXPECT_EQ(rev->AsInteger(), 100);
    EXPECT_FALSE(rev->IsNull());
    EXPECT_EQ(error_of([&] { name->AsInteger(); }), "'n0' is not a valid integer value");
    table->Close();
    EXPECT_TRUE(name->IsNull());

    rev->SetFieldName("Nope");
    EXPECT_EQ(error_of([&] { table->Open(); }), "Nums: Field 'Nope' not found");
    rev->SetFieldName("Name");
    EXPECT_EQ(error_of([&] { table->Open(); }), "Nums: Type mismatch for field 'Name'");
    EXPECT_FALSE(table->Active());
    TComponent::Free(rev);
    table->Open();
    EXPECT_EQ(table->FieldCount(), 1);
}

namespace {

// Groups.db: codes 0..5 with names; group 6 has no entry.
void write_groups(const std::filesystem::path& dir, bool code_index) {
    engine::TableSchema schema;
    schema.fields = {{"Code", engine::FieldType::Long}, {"Title", engine::FieldType::Alpha, 30}};
    if (code_index) schema.indexes = {{"Code", {"Code"}}};
    std::vector<std::vector<engine::Value>> rows;
    for (int code : {3, 0, 5, 1, 4, 2}) rows.push_back({num(code), txt("group " + std::to_string(code) + " of seven")});
    engine::write_table(dir / "Groups.db", schema, rows);
}

}  // namespace

TEST_F(TableTest, LookupFieldsTakeTheirValueFromTheLookupTableWithoutMovingIt) {
    for (const bool code_index : {true, false}) {
        SCOPED_TRACE(code_index ? "through the Code index" : "by a scan");
        write_groups(dir.path(), code_index);
        TComponent owner;
        TTable* groups = TComponent::Own<TTable>(&owner);
        groups->SetDatabaseName("Test");
        groups->SetTableName("Groups.db");
        TTable* nums = TComponent::Own<TTable>(&owner);
        nums->SetDatabaseName("Test");
        nums->SetTableName("Nums.db");
        auto* grp = TComponent::Own<TIntegerField>(&owner);
        grp->SetFieldName("Grp");
        grp->SetDataSet(nums);
        auto* title = TComponent::Own<TStringField>(&owner);
        title->SetFieldName("GroupTitle");
        title->SetFieldKind(fkLookup);
        title->SetSize(7);
        title->SetLookupDataSet(groups);
        title->SetLookupKeyFields("Code");
        title->SetLookupResultField("Title");
        title->SetKeyFields("Grp");
        title->SetDataSet(nums);

        nums->Open();
        EXPECT_TRUE(title->IsNull());  // the lookup table is closed
        groups->Open();
        groups->MoveBy(2);
        nums->MoveBy(1);  // N 2: group 2
        EXPECT_EQ(title->AsString(), "group 2");  // cut to the field's 7 characters
        nums->SetRecNo(6);  // N 6: group 6 has no entry
        EXPECT_TRUE(title->IsNull());
        EXPECT_EQ(grp->AsInteger(), 6);
        nums->SetRecNo(14);  // N 14: group 0
        EXPECT_EQ(title->AsString(), "group 0");
        EXPECT_EQ(groups->RecNo(), 3);
        groups->Close();
        nums->SetRecNo(15);
        EXPECT_TRUE(title->IsNull());
        nums->Close();
        title->SetKeyFields("GroupTitle");  // a key that is itself looked up
        EXPECT_EQ(error_of([&] { nums->Open(); }), "Field 'GroupTitle' not found");
    }
}

TEST_F(TableTest, TheDatabaseConnectsInItsLoadedStepAndClosesItsTablesWhenItDisconnects) {
    TComponent owner;
    auto* db = TComponent::Own<TDatabase>(&owner);
    db->BeginLoading();
    db->SetDatabaseName("Loaded");
    db->SetParams({"PATH=" + dir.path().string()});
    db->SetConnected(true);
    EXPECT_FALSE(db->Connected());
    db->Loaded();
    EXPECT_TRUE(db->Connected());

    table->Open();
    EXPECT_EQ(link.take(), Log{"active"});
    database->Close();
    EXPECT_FALSE(table->Active());
    EXPECT_EQ(link.take(), Log{"inactive"});
    // A table reconnects its database when it opens.
    table->Open();
    EXPECT_TRUE(database->Connected());
}

TEST_F(TableTest, ADatabaseNameWithoutComponentOrPathIsTheCurrentDirectory) {
    CurrentDir cd(dir.path());
    TTable* t = make_table("Here", "nums.DB");
    t->SetDatabaseName("Elsewhere");
    t->Open();
    EXPECT_EQ(t->RecordCount(), 100);
    TTable* missing = make_table("Missing", "Missing.db");
    missing->SetDatabaseName("Elsewhere");
    try {
        missing->Open();
        FAIL();
    } catch (const EDBEngineError& e) {
        EXPECT_NE(e.ErrorCode(), 0);
        EXPECT_NE(e.Message().find("Missing"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(missing->Active());
}

namespace {

// A store that refuses write access, or wants a password, then defers to the engine.
class Refusing : public db::Connection {
public:
    Refusing(std::unique_ptr<db::Connection> inner, int code, std::vector<std::string>* calls)
        : m_inner(std::move(inner)), m_code(code), m_calls(calls) {}
    std::unique_ptr<db::TableCursor> open_table(const AnsiString& name, bool read_only,
                                                const std::vector<AnsiString>& passwords) override {
        m_calls->push_back(std::string(read_only ? "ro" : "rw") + (passwords.empty() ? "" : " " + passwords.back()));
        if (m_code == db::kErrNoWriteAccess && !read_only) throw EDBEngineError(m_code, "no write access");
        if (m_code == db::kErrPasswordNeeded && (passwords.empty() || passwords.back() != "secret"))
            throw EDBEngineError(m_code, "password needed");
        return m_inner->open_table(name, read_only, {});
    }

private:
    std::unique_ptr<db::Connection> m_inner;
    int m_code;
    std::vector<std::string>* m_calls;
};

class WithConnector {
public:
    WithConnector(int code, std::vector<std::string>* calls) {
        db::Session& session = db::Session::Default();
        m_old = session.SetConnector({});
        session.SetConnector([engine = m_old, code, calls](const db::ConnectParams& p) -> std::unique_ptr<db::Connection> {
            return std::make_unique<Refusing>(engine(p), code, calls);
        });
    }
    ~WithConnector() {
        db::Session& session = db::Session::Default();
        session.SetConnector(m_old);
        session.OnPassword = nullptr;
        session.RemoveAllPasswords();
    }

private:
    db::Connector m_old;
};

}  // namespace

TEST_F(TableTest, OpenFallsBackToReadOnlyWhenWriteAccessIsRefused) {
    std::vector<std::string> calls;
    WithConnector with(db::kErrNoWriteAccess, &calls);
    table->Open();
    EXPECT_TRUE(table->OpenedReadOnly());
    EXPECT_EQ(calls, (std::vector<std::string>{"rw", "ro"}));
}

TEST_F(TableTest, AProtectedTableAsksForPasswordsWhileTheyAreGiven) {
    std::vector<std::string> calls;
    WithConnector with(db::kErrPasswordNeeded, &calls);
    std::vector<AnsiString> answers = {"wrong", "secret"};
    db::Session::Default().OnPassword = [&](const AnsiString& name, AnsiString& password) {
        EXPECT_EQ(name, "Nums.db");
        if (answers.empty()) return false;
        password = answers.front();
        answers.erase(answers.begin());
        return true;
    };
    table->Open();
    EXPECT_EQ(calls, (std::vector<std::string>{"rw", "rw wrong", "rw secret"}));
    table->Close();
    // Without an answer the engine's error goes on to the caller.
    db::Session::Default().RemoveAllPasswords();
    db::Session::Default().OnPassword = [](const AnsiString&, AnsiString&) { return false; };
    EXPECT_EQ(error_of([&] { table->Open(); }), "password needed");
    EXPECT_FALSE(table->Active());
}
