#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

TEST(Database, PhoneResolvesToTheCurrentDirectory) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}};
    write_table(dir / "Phone2k.db", schema, {{Value::of_int(5)}});
    CurrentDir cd(dir.path());
    const Database db = Database::connect("Phone");
    EXPECT_EQ(db.directory(), dir.path());
    EXPECT_EQ(db.open_table("Phone2k.db")->value(0, 0), Value::of_int(5));
    EXPECT_EQ(db.open_table("PHONE2K.DB")->record_count(), 1u);  // names ignore letter case
    EXPECT_EQ(db.open_table("phone2k")->record_count(), 1u);     // ".db" is implied
    try {
        db.open_table("City.db");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrNotFound);
        EXPECT_NE(e.Message().find("City.db"), std::string::npos);
    }
}

TEST(Database, ConfiguredNamesMapToTheirFolders) {
    TempDir dir;
    Config cfg;
    cfg.aliases["Other"] = dir.path();
    cfg.aliases["Gone"] = dir / "missing";
    EXPECT_EQ(Database::connect("OTHER", cfg).directory(), dir.path());
    try {
        Database::connect("Gone", cfg);
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrNotFound);
    }
}

}  // namespace
