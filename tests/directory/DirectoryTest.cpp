// The directory's tables as the main window makes them, and its searches and
// column orders on a small directory written with our own writer.
#include "tests/db/DbFixture.h"

#include "directory/DirectorySearch.h"
#include "directory/DirectoryTables.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <functional>

using dbtest::error_of;
using dbtest::num;
using dbtest::RecordingLink;
using directory::DirectorySearch;
using directory::DirectoryTables;
using Log = std::vector<std::string>;

namespace {

engine::Value txt(std::string_view s) { return engine::Value::of_text(s); }

// Eight subscribers. Cities: 1 Ольмарск, 2 Березовка, 3 Вишнёвое (nobody
// lives there), 4 Заречье; Яковлев's city 9 and street 7 have no entry.
void write_directory(const std::filesystem::path& dir, bool first_name_index = true) {
    using engine::FieldType;
    engine::TableSchema phones;
    phones.fields = {{"Code", FieldType::AutoInc},    {"Phone", FieldType::Alpha, 6},
                     {"LastName", FieldType::Alpha, 25}, {"FirstName", FieldType::Alpha, 15},
                     {"MiddleName", FieldType::Alpha, 15}, {"City", FieldType::Long},
                     {"Street", FieldType::Long},      {"House", FieldType::Alpha, 8},
                     {"Flat", FieldType::Alpha, 5}};
    phones.key_fields = 1;
    phones.indexes = {{"Phone", {"Phone"}},           {"LastName", {"LastName"}},
                      {"MiddleName", {"MiddleName"}}, {"City", {"City"}},
                      {"Street", {"Street"}},         {"LastName Index", {"LastName", "FirstName", "MiddleName"}, true}};
    if (first_name_index) phones.indexes.push_back({"FirstName", {"FirstName"}});
    const auto row = [](const char* phone, std::string_view last, std::string_view first, std::string_view middle,
                        int city, int street, std::string_view house, std::string_view flat) {
        return std::vector<engine::Value>{engine::Value::null(), txt(phone), txt(last), txt(first), txt(middle),
                                          num(city), num(street), txt(house), txt(flat)};
    };
    engine::write_table(dir / "Phone2k.db", phones,
                        {row("123456", "Иванов"_a, "Иван"_a, "Петрович"_a, 1, 1, "12", "5"),
                         row("124000", "Иванова"_a, "Мария"_a, "Сергеевна"_a, 1, 2, "7/2", "14"),
                         row("200100", "Петров"_a, "Пётр"_a, "Ильич"_a, 2, 3, "3", ""),
                         row("310000", "Сидоров"_a, "Алексей"_a, "Иванович"_a, 4, 1, "12а"_a, "1"),
                         row("121212", "Абрамов"_a, "Борис"_a, "Юрьевич"_a, 1, 3, "1", "2"),
                         row("555555", "Яковлев"_a, "Олег"_a, "Петрович"_a, 9, 7, "8", ""),
                         row("400400", "Кузнецова"_a, "Анна"_a, "Павловна"_a, 2, 2, "20", "33"),
                         row("130000", "Волков"_a, "Дмитрий"_a, "Андреевич"_a, 4, 3, "5", "7")});
    engine::TableSchema cities;
    cities.fields = {{"Code", FieldType::Long}, {"City", FieldType::Alpha, 30}};
    cities.key_fields = 1;
    cities.indexes = {{"City", {"City"}}};
    engine::write_table(dir / "City.db", cities,
                        {{num(1), txt("Ольмарск"_a)}, {num(2), txt("Березовка"_a)},
                         {num(3), txt("Вишнёвое"_a)}, {num(4), txt("Заречье"_a)}});
    engine::TableSchema streets;
    streets.fields = {{"Code", FieldType::Long}, {"Street", FieldType::Alpha, 30}};
    streets.indexes = {{"Street", {"Street"}}, {"Code", {"Code"}}};
    engine::write_table(dir / "Street.db", streets,
                        {{num(1), txt("Ленина"_a)}, {num(2), txt("Мира"_a)}, {num(3), txt("Садовая"_a)}});
}

AnsiString a(std::string_view utf8) { return text::utf8_to_cp1251(utf8); }

class DirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        write_directory(dir.path());
        link.SetBufferCount(5);
    }

    // What the main window does while it loads and in its create handler.
    void start() {
        tables = DirectoryTables::Create(&form);
        tables.Loaded();
        link.SetDataSource(tables.PhoneDS);
        tables.OpenTables();
        link.take();
        search = std::make_unique<DirectorySearch>(tables.PhoneT, tables.CityT, tables.StreetT);
    }

    AnsiString last_name() { return tables.PhoneTLastName->AsString(); }

    TempDir dir;
    CurrentDir cd{dir.path()};
    RecordingLink link;  // outlives the form, like a control of another owner
    TComponent form;
    DirectoryTables tables;
    std::unique_ptr<DirectorySearch> search;
};

}  // namespace

TEST_F(DirectoryTest, ComponentsAreMadeInStoredOrderWithTheirSettings) {
    tables = DirectoryTables::Create(&form);
    std::vector<std::string> names;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        names.push_back(form.Components(i)->Name());
        EXPECT_TRUE(form.Components(i)->Loading());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"PhoneT", "PhoneTCode", "PhoneTPhone", "PhoneTLastName",
                                                "PhoneTFirstName", "PhoneTMiddleName", "PhoneTCity", "PhoneTStreet",
                                                "PhoneTHouse", "PhoneTFlat", "PhoneTCityStr", "PhoneTStreetStr",
                                                "Abonix", "PhoneDS", "CityT", "CityDS", "StreetT", "StreetDS"}));
    EXPECT_FALSE(tables.Abonix->Connected());
    EXPECT_EQ(tables.Abonix->Params(), (std::vector<AnsiString>{"DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"}));
    EXPECT_EQ(tables.Abonix->DriverName(), "STANDARD");
    EXPECT_FALSE(tables.Abonix->LoginPrompt());
    EXPECT_EQ(tables.PhoneT->IndexName(), "LastName Index");
    EXPECT_EQ(tables.PhoneT->TableName(), "Phone2k.db");
    EXPECT_EQ(tables.CityT->IndexFieldNames(), "City");
    EXPECT_EQ(tables.StreetT->IndexFieldNames(), "Street");
    EXPECT_EQ(tables.PhoneDS->DataSet(), tables.PhoneT);
    EXPECT_EQ(tables.CityDS->DataSet(), tables.CityT);
    EXPECT_EQ(tables.StreetDS->DataSet(), tables.StreetT);

    struct FieldCase {
        TField* field;
        TFieldType type;
        TFieldKind kind;
        int size;
    } const fields[] = {
        {tables.PhoneTCode, ftAutoInc, fkData, 0},        {tables.PhoneTPhone, ftString, fkData, 6},
        {tables.PhoneTLastName, ftString, fkData, 25},    {tables.PhoneTFirstName, ftString, fkData, 15},
        {tables.PhoneTMiddleName, ftString, fkData, 15},  {tables.PhoneTCity, ftInteger, fkData, 0},
        {tables.PhoneTStreet, ftInteger, fkData, 0},      {tables.PhoneTHouse, ftString, fkData, 8},
        {tables.PhoneTFlat, ftString, fkData, 5},         {tables.PhoneTCityStr, ftString, fkLookup, 25},
        {tables.PhoneTStreetStr, ftString, fkLookup, 25},
    };
    for (int i = 0; i < 11; ++i) {
        const FieldCase& c = fields[i];
        EXPECT_EQ(c.field->DataSet(), tables.PhoneT);
        EXPECT_EQ(c.field->Index(), i);
        EXPECT_EQ(c.field->DataType(), c.type) << c.field->Name();
        EXPECT_EQ(c.field->FieldKind(), c.kind) << c.field->Name();
        EXPECT_EQ(c.field->Size(), c.size) << c.field->Name();
        EXPECT_EQ(c.field->ReadOnly(), i == 0) << c.field->Name();
    }
    EXPECT_EQ(tables.PhoneTCityStr->LookupDataSet(), tables.CityT);
    EXPECT_EQ(tables.PhoneTCityStr->KeyFields(), "City");
    EXPECT_EQ(tables.PhoneTCityStr->LookupResultField(), "City");
    EXPECT_EQ(tables.PhoneTStreetStr->LookupDataSet(), tables.StreetT);
    EXPECT_EQ(tables.PhoneTStreetStr->LookupKeyFields(), "Code");

    tables.Loaded();
    EXPECT_TRUE(tables.Abonix->Connected());
    EXPECT_FALSE(tables.PhoneT->Active());
}

TEST_F(DirectoryTest, TablesOpenOnTheirFirstRecordsWithLookedUpNames) {
    start();
    EXPECT_EQ(last_name(), a("Абрамов"));
    EXPECT_EQ(tables.PhoneT->IndexFieldNames(), "");
    EXPECT_EQ(tables.CityT->FieldByName("City")->AsString(), a("Березовка"));
    EXPECT_EQ(tables.StreetT->FieldByName("Street")->AsString(), a("Ленина"));
    EXPECT_EQ(link.RecordCount(), 5);
    // The window was fetched before the name tables opened; the names are
    // read once they are asked for.
    EXPECT_EQ(tables.PhoneTCityStr->AsString(), a("Ольмарск"));
    EXPECT_EQ(tables.PhoneTStreetStr->AsString(), a("Садовая"));
    search->LastNameEditChange(a("Я"));
    EXPECT_EQ(tables.PhoneTPhone->AsString(), "555555");
    EXPECT_TRUE(tables.PhoneTCityStr->IsNull());
    EXPECT_EQ(tables.PhoneTStreetStr->DisplayText(), "");
    EXPECT_EQ(tables.PhoneTHouse->AsString(), "8");
    EXPECT_EQ(tables.CityT->RecNo(), 1);
}

TEST_F(DirectoryTest, NameAndNumberSearchesOrderByTheirFieldAndFindTheNearestRecord) {
    using Handler = void (DirectorySearch::*)(const AnsiString&);
    struct Case {
        Handler handler;
        const char* text;
        const char* order;
        const char* last_name;
    } const cases[] = {
        {&DirectorySearch::LastNameEditChange, "Ив", "LastName", "Иванов"},
        {&DirectorySearch::LastNameEditChange, "ив", "LastName", "Иванов"},
        {&DirectorySearch::LastNameEditChange, "Иванова", "LastName", "Иванова"},
        {&DirectorySearch::LastNameEditChange, "", "LastName", "Абрамов"},
        {&DirectorySearch::LastNameEditChange, "Яя", "LastName", "Яковлев"},
        {&DirectorySearch::PhoneEditChange, "12", "Phone", "Абрамов"},       // 121212 begins with 12
        {&DirectorySearch::PhoneEditChange, "125", "Phone", "Волков"},       // text order: 130000 follows
        {&DirectorySearch::PhoneEditChange, "1234569", "Phone", "Иванов"},   // searched with 123456
        {&DirectorySearch::PhoneEditChange, "9", "Phone", "Яковлев"},
        {&DirectorySearch::FirstNameEditChange, "Д", "FirstName", "Волков"},
        {&DirectorySearch::MiddleNameEditChange, "Ю", "MiddleName", "Абрамов"},
    };
    start();
    for (const Case& c : cases) {
        // Each search starts from wherever the previous one left the table.
        (search.get()->*c.handler)(a(c.text));
        EXPECT_EQ(tables.PhoneT->IndexFieldNames(), c.order) << c.text;
        EXPECT_EQ(last_name(), a(c.last_name)) << c.text;
    }
}

TEST_F(DirectoryTest, SearchNotificationsAndWindowPlacement) {
    start();
    search->LastNameEditChange(a("К"));
    EXPECT_EQ(link.take(), (Log{"check", "changed", "check", "changed"}));
    EXPECT_EQ(last_name(), a("Кузнецова"));
    EXPECT_EQ(link.ActiveRecord(), 2);  // (5 - 1) div 2
    search->LastNameEditChange(a("Як"));
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(link.ActiveRecord(), 4);  // the last record: the window filled from further back
    search->PhoneGridColumnClick("Phone");
    EXPECT_EQ(link.take(), (Log{"check", "changed"}));
    EXPECT_EQ(link.ActiveRecord(), 4);  // 555555 is last by phone too
    EXPECT_EQ(last_name(), a("Яковлев"));
}

TEST_F(DirectoryTest, CityAndStreetSearchesFindTheNameThenItsFirstSubscriber) {
    struct Case {
        bool street;
        const char* text;
        int code;        // the subscriber's City or Street afterwards
        const char* name;  // the name table's current name
    } const cases[] = {
        {false, "Заречье", 4, "Заречье"},
        {false, "Г", 4, "Заречье"},       // no exact match: the next name
        {false, "бер", 2, "Березовка"},
        {false, "Я", 1, "Ольмарск"},      // after every name: the last city
        {true, "Мира", 2, "Мира"},
        {true, "Сад", 3, "Садовая"},
        {true, "", 1, "Ленина"},
    };
    start();
    for (const Case& c : cases) {
        if (c.street)
            search->StreetEditChange(a(c.text));
        else
            search->CityEditChange(a(c.text));
        TTable* names = c.street ? tables.StreetT : tables.CityT;
        EXPECT_EQ(names->FieldByName(c.street ? "Street" : "City")->AsString(), a(c.name)) << c.text;
        EXPECT_EQ(tables.PhoneT->IndexFieldNames(), c.street ? "Street" : "City") << c.text;
        EXPECT_EQ((c.street ? tables.PhoneTStreet : tables.PhoneTCity)->AsInteger(), c.code) << c.text;
    }
}

TEST_F(DirectoryTest, ACityWithoutSubscribersKeepsTheCurrentSubscriberInCityOrder) {
    start();
    search->LastNameEditChange(a("Петров"));
    link.take();
    search->CityEditChange(a("Вишнёвое"));
    EXPECT_EQ(link.take(), (Log{"check", "changed", "check"}));
    EXPECT_EQ(tables.PhoneT->IndexFieldNames(), "City");
    EXPECT_EQ(last_name(), a("Петров"));
    EXPECT_EQ(tables.CityT->FieldByName("Code")->AsInteger(), 3);
}

TEST_F(DirectoryTest, HeaderClicksOrderByTheColumnOrTheCodeBehindIt) {
    struct Case {
        const char* field_name;
        const char* order;  // nullptr: nothing happens
    } const cases[] = {
        {"Phone", "Phone"},         {"LastName", "LastName"}, {"FirstName", "FirstName"},
        {"MiddleName", "MiddleName"}, {"CityStr", "City"},    {"StreetStr", "Street"},
        {"House", nullptr},         {"Flat", nullptr},        {"Code", nullptr},
        {"City", nullptr},          {"Street", nullptr},      {"phone", nullptr},
    };
    start();
    for (const Case& c : cases) {
        search->LastNameEditChange(a("Петров"));
        link.take();
        search->PhoneGridColumnClick(c.field_name);
        const Log expected = c.order && std::string(c.order) != "LastName" ? Log{"check", "changed"} : Log{};
        EXPECT_EQ(link.take(), expected) << c.field_name;
        EXPECT_EQ(tables.PhoneT->IndexFieldNames(), c.order ? c.order : "LastName") << c.field_name;
        EXPECT_EQ(last_name(), a("Петров")) << c.field_name;
        search->PhoneGridColumnClick(c.field_name);  // a second click changes nothing more
        EXPECT_TRUE(link.take().empty()) << c.field_name;
    }
}

TEST_F(DirectoryTest, ClosedTablesAndMissingIndexesFailWithTheLayersMessages) {
    tables = DirectoryTables::Create(&form);
    tables.Loaded();
    DirectorySearch s(tables.PhoneT, tables.CityT, tables.StreetT);
    EXPECT_EQ(error_of([&] { s.LastNameEditChange("x"); }), "PhoneT: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(tables.PhoneT->IndexFieldNames(), "LastName");  // only stored
    EXPECT_EQ(error_of([&] { s.CityEditChange("x"); }), "CityT: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(error_of([&] { s.StreetEditChange("x"); }), "StreetT: Cannot perform this operation on a closed dataset");
    tables.PhoneT->SetIndexName("LastName Index");
    tables.PhoneT->Open();
    EXPECT_EQ(error_of([&] { s.CityEditChange("x"); }), "CityT: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(tables.PhoneT->IndexFieldNames(), "");  // the city table failed first

    write_directory(dir.path(), false);
    tables.PhoneT->Close();
    tables.PhoneT->Open();
    s.LastNameEditChange(a("П"));
    EXPECT_EQ(error_of([&] { s.FirstNameEditChange("x"); }), "PhoneT: No index for fields 'FirstName'");
    EXPECT_EQ(tables.PhoneT->IndexFieldNames(), "LastName");
    EXPECT_EQ(last_name(), a("Петров"));
}

TEST_F(DirectoryTest, AMissingSubscriberTableLeavesTheOtherTablesClosed) {
    std::filesystem::remove(dir.path() / "Phone2k.db");
    tables = DirectoryTables::Create(&form);
    tables.Loaded();
    link.SetDataSource(tables.PhoneDS);
    EXPECT_THROW(tables.OpenTables(), EDBEngineError);
    EXPECT_FALSE(tables.PhoneT->Active());
    EXPECT_FALSE(tables.CityT->Active());
    EXPECT_FALSE(tables.StreetT->Active());
    EXPECT_FALSE(link.Active());
}
