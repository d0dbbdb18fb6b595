// What counts as a change of the directory's files: the tables and their
// index files in any letter case, rewritten, replaced, cut short, made or
// removed; never a file of another name (the layout file the program writes
// itself), and nothing twice.
#include "directory/DirectoryWatch.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

void write(const std::filesystem::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

TEST(DirectoryWatch, SeesEveryChangeOfTheTablesFilesAndNothingElse) {
    TempDir dir;
    write(dir / "Phone2k.db", "table");
    write(dir / "Phone2k.XG0", "index");
    write(dir / "CITY.DB", "cities");
    write(dir / "Abonix.ini", "[Grid]");
    directory::DirectoryWatch watch(dir.path(), {"Phone2k", "City", "Street"});
    struct Case {
        const char* what;
        std::function<void()> change;
        bool seen;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"the layout file", [&] { write(dir / "Abonix.ini", "[Grid]\nColumns=2"); }, false},
        {"another table's index", [&] { write(dir / "Other.X02", "x"); }, false},
        {"a table grown", [&] { write(dir / "Phone2k.db", "table, longer"); }, true},
        {"a table cut short", [&] { std::filesystem::resize_file(dir / "Phone2k.db", 2); }, true},
        {"an index file made", [&] { write(dir / "Phone2k.X03", "new"); }, true},
        {"an index file removed", [&] { std::filesystem::remove(dir / "Phone2k.X03"); }, true},
        {"a table replaced by a rename", [&] {
             write(dir / "incoming", "cities");
             std::filesystem::rename(dir / "incoming", dir / "CITY.DB");
         }, true},
        {"a table deleted", [&] { std::filesystem::remove(dir / "CITY.DB"); }, true},
        {"the same again", [] {}, false},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_EQ(watch.changed(), c.seen) << c.what;
    }
}

}  // namespace
