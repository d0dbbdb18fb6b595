// The grid's layout in "Abonix.ini": written when the window goes, read when
// it is made again; other sections of the file are left alone.
#include "tests/grid/GridTestSupport.h"

#include "platform/forms/TMemIniFile.h"

#include <gtest/gtest.h>

#include <fstream>

using gridtest::GridOnForm;

namespace {

class GridLayoutFileTest : public GridOnForm {
protected:
    TMemIniFile ini() { return TMemIniFile((work.path() / "Abonix.ini").string()); }
    static AnsiString col(const char* name) { return AnsiString("\\Grid\\Columns\\") + name; }
};

}  // namespace

TEST_F(GridLayoutFileTest, TheFirstRunWritesThirteenSections) {
    open(1000, 700, 300);
    close();
    const TMemIniFile file = ini();
    const auto sections = file.ReadSections();
    ASSERT_EQ(sections.size(), 13u);
    EXPECT_EQ(sections[0], "\\Grid");
    EXPECT_EQ(sections[1], "\\Grid\\Band\\Band0");
    EXPECT_EQ(sections[2], col("PhoneGridCode"));
    EXPECT_EQ(file.ReadInteger("\\Grid", "HeaderPanelRowCount", 0), 1);
    EXPECT_EQ(file.ReadInteger("\\Grid\\Band\\Band0", "ID", -1), 0);
    const struct {
        const char* ident;
        int code;
        int phone;
    } entries[] = {{"BandIndex", 0, 0}, {"RowIndex", 0, 0},   {"ColIndex", 7, 0},        {"Visible", 0, 1},
                   {"Index", 0, 1},     {"Width", 63, 49},     {"Sorted", 0, 0},          {"SortedOrder", -1, -1},
                   {"StoredRowIndex", 0, 0}, {"GroupIndex", -1, -1}};
    for (const auto& e : entries) {
        EXPECT_EQ(file.ReadInteger(col("PhoneGridCode"), e.ident, 99), e.code) << e.ident;
        EXPECT_EQ(file.ReadInteger(col("PhoneGridPhone"), e.ident, 99), e.phone) << e.ident;
    }
    EXPECT_EQ(file.ReadSection(col("PhoneGridPhone")).size(), 10u);
}

TEST_F(GridLayoutFileTest, MovedAndSizedColumnsComeBackAfterARestart) {
    {
        std::ofstream other(work.path() / "Abonix.ini");
        other << "[Phones.PhoneBarManager.Bar0]\r\nName=Main\r\n\r\n";
    }
    open(1000, 700, 300);
    form->column("PhoneGridCityStr")->SetIndex(form->column("PhoneGridLastName")->Index());
    form->column("PhoneGridFirstName")->SetWidth(109);
    close();
    {
        TMemIniFile edited = ini();
        edited.WriteInteger(col("PhoneGridHouse"), "Width", 5);
        edited.DeleteKey(col("PhoneGridPhone"), "Visible");
        edited.WriteInteger(col("PhoneGridFlat"), "Visible", 0);
        edited.WriteInteger(col("PhoneGridLastName"), "Sorted", 2);
        edited.UpdateFile();
    }
    open(1000, 700, 300);
    EXPECT_LT(form->column("PhoneGridCityStr")->Index(), form->column("PhoneGridLastName")->Index());
    EXPECT_EQ(form->column("PhoneGridFirstName")->Width(), 109);
    EXPECT_EQ(form->column("PhoneGridHouse")->Width(), 20);
    EXPECT_TRUE(form->column("PhoneGridPhone")->Visible());
    EXPECT_FALSE(form->column("PhoneGridFlat")->Visible());
    EXPECT_EQ(form->column("PhoneGridLastName")->Sorted(), csUp);
    close();
    EXPECT_EQ(ini().ReadString("Phones.PhoneBarManager.Bar0", "Name", ""), "Main");
    EXPECT_EQ(ini().ReadInteger(col("PhoneGridLastName"), "Sorted", 0), 2);
}
