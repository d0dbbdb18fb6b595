// The compose sequences kept for the display's start: those that type a
// CP1251 character, found for the locale as the X library finds its table,
// written once per table.
#include "platform/ui/ComposeSubset.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

void write(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::string read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ComposeSubsetTest, KeepsTheSequencesThatTypeACp1251Character) {
    struct Case {
        const char* line;
        bool kept;
    };
    const Case cases[] = {
        {"<Multi_key> <less> <less>\t\t: \"«\"\tguillemotleft # LEFT-POINTING", true},
        {"<Multi_key> <e> <equal>\t: \"€\"\tEuroSign", true},
        {"<dead_diaeresis> <Cyrillic_IE>\t: \"Ё\"\tCyrillic_IO", true},
        {"<dead_diaeresis> <space>\t\t: \"\\\"\"\tquotedbl", true},
        {"<Multi_key> <slash> <slash>\t\t: \"\\\\\"\tbackslash", true},
        {"<Multi_key> <A> <E>\t\t: \"Æ\"\tAE", false},  // not in CP1251
        {"<Multi_key> <includedin> <U0338>\t: \"⊄\"\tU2284", false},
        {"<Multi_key> <f> <i>\t: \"ﬁ\"", false},
        {"<Multi_key> <x> <y>\t: \"ab\"", false},                 // more than one character
        {"<Multi_key> <q> <q>\t: \"\\123\"\tsomething", true},   // an escape not understood: kept
        {"<Multi_key> <z> <z>\t: zcaron", true},                  // a keysym alone: kept
        {"# a comment", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto out = ui::ComposeSubset::filter(std::string(c.line) + "\n");
        ASSERT_TRUE(out.has_value());
        EXPECT_EQ(*out, c.kept ? std::string(c.line) + "\n" : std::string());
    }
    const auto whole = ui::ComposeSubset::filter("# head\n<a> <b> : \"«\"\n\n<c> <d> : \"Æ\"\n  <e> <f> : \"»\"  \n");
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(*whole, "<a> <b> : \"«\"\n<e> <f> : \"»\"\n");
    // An include is not followed: the table is left alone.
    EXPECT_FALSE(ui::ComposeSubset::filter("<a> <b> : \"«\"\ninclude \"%L\"\n").has_value());
}

TEST(ComposeSubsetTest, FindsTheLocalesTableThroughItsAlias) {
    TempDir dir;
    write(dir / "locale.alias", "# aliases\nC.UTF-8:\t\t\ten_US.UTF-8\nru_RU.utf8\t\t\tru_RU.UTF-8\n");
    write(dir / "compose.dir",
          "# compose\niso8859-1/Compose\t\tC\nen_US.UTF-8/Compose:\t\ten_US.UTF-8\nru_RU.UTF-8/Compose\t\tru_RU.UTF-8\n");
    struct Case {
        const char* locale;
        const char* table;  // empty: none
    };
    const Case cases[] = {{"C.UTF-8", "en_US.UTF-8/Compose"},
                          {"ru_RU.utf8", "ru_RU.UTF-8/Compose"},
                          {"ru_RU.UTF-8", "ru_RU.UTF-8/Compose"},
                          {"C", "iso8859-1/Compose"},
                          {"xx_XX.UTF-8", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const auto found = ui::ComposeSubset::locale_table(dir.path(), c.locale);
        if (*c.table) {
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, dir.path() / c.table);
        } else {
            EXPECT_FALSE(found.has_value());
        }
    }
    EXPECT_FALSE(ui::ComposeSubset::locale_table(dir / "missing", "C.UTF-8").has_value());
}

TEST(ComposeSubsetTest, TheSubsetIsWrittenOncePerTable) {
    TempDir dir;
    const auto table = dir / "Compose";
    write(table, "<a> <b> : \"«\"\n<c> <d> : \"Æ\"\n");
    const auto cache = dir / "cache" / "abonix";
    const auto first = ui::ComposeSubset::cached_subset(table, cache);
    ASSERT_TRUE(first.has_value());
    const std::string text = read(*first);
    EXPECT_NE(text.find("<a> <b> : \"«\""), std::string::npos);
    EXPECT_EQ(text.find("Æ"), std::string::npos);
    // Found again as it is, not written anew.
    write(*first, text + "<x> <y> : \"»\"\n");
    const auto again = ui::ComposeSubset::cached_subset(table, cache);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, *first);
    EXPECT_NE(read(*again).find("<x> <y>"), std::string::npos);
    // A changed table gets its own subset.
    write(table, "<a> <b> : \"«\"\n<e> <f> : \"»\"\n<g> <h> : \"§\"\n");
    const auto changed = ui::ComposeSubset::cached_subset(table, cache);
    ASSERT_TRUE(changed.has_value());
    EXPECT_NE(*changed, *first);
    EXPECT_NE(read(*changed).find("<e> <f>"), std::string::npos);
    // A table with an include, or none at all, gives no subset.
    write(table, "include \"%L\"\n");
    EXPECT_FALSE(ui::ComposeSubset::cached_subset(table, dir / "other").has_value());
    EXPECT_FALSE(ui::ComposeSubset::cached_subset(dir / "none", cache).has_value());
}

}  // namespace
