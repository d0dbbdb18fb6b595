#include "tests/layering/IncludeRules.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string read(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::string shown(const std::vector<layering::Violation>& found) {
    std::string text;
    for (const auto& v : found) text += v.file + ":" + std::to_string(v.line) + ": " + v.include + ": " + v.why + "\n";
    return text;
}

const std::filesystem::path kRoot = ABONIX_SOURCE_DIR;

}  // namespace

TEST(Layering, EveryIncludeOfTheTreeIsAllowedByTheReadmesTable) {
    const auto rules = layering::parse_rules(read(kRoot / "README.md"));
    const auto found = layering::check_tree(kRoot, rules);
    EXPECT_TRUE(found.empty()) << shown(found);
}

TEST(Layering, TheTableHasARowForEveryLibraryFolder) {
    const auto rules = layering::parse_rules(read(kRoot / "README.md"));
    const auto folders = layering::library_folders(read(kRoot / "CMakeLists.txt"));
    ASSERT_FALSE(folders.empty());
    for (const auto& folder : folders) EXPECT_TRUE(rules.count(folder)) << folder << " has no row";
    EXPECT_EQ(rules.size(), folders.size());
}

TEST(Layering, TheTableIsReadWithOrWithoutSlashesAndEmptyRows) {
    const auto rules = layering::parse_rules(
        "Text before.\n\n| folder | may include |\n|---|---|\n| `text/` | |\n| `grid` | `platform/ui/`, `text` |\n\nAfter.\n"
        "| `app/` | `grid/` |\n");
    EXPECT_EQ(rules, (layering::Rules{{"text", {}}, {"grid", {"platform/ui", "text"}}}));
    EXPECT_THROW(layering::parse_rules("| folder | what it holds |\n|---|---|\n| `text/` | x |\n"), std::runtime_error);
}

// A small tree with one include of each kind: the checker names exactly the
// ones that go against its table.
TEST(Layering, IncludesAgainstTheTableAreNamedWithTheirLines) {
    TempDir root;
    write(root / "text/Text.h", "#pragma once\n");
    write(root / "platform/ui/Window.h",
          "#pragma once\n#include \"platform/ui/Other.h\"\n#include \"text/Text.h\"\n#include <vector>\n");
    write(root / "platform/ui/Window.cpp", "#include \"grid/Grid.h\"\n  #  include \"Window.h\"\n");
    write(root / "grid/Grid.h", "#include \"platform/ui/Window.h\"\n#include \"bars/Bar.h\"\n");
    write(root / "bars/Bar.h", "#include <grid/Grid.h>\n// #include \"grid/Grid.h\" in a comment line is no include\n");
    write(root / "bars/notes.txt", "#include \"grid/Grid.h\"\n");
    const layering::Rules rules{{"text", {}}, {"platform/ui", {"text"}}, {"grid", {"platform/ui", "text"}},
                                {"bars", {"platform/ui", "text"}}};
    const auto found = layering::check_tree(root.path(), rules);
    const std::vector<layering::Violation> expected{
        {"bars/Bar.h", 1, "grid/Grid.h", "bars/ may not include grid/"},
        {"grid/Grid.h", 2, "bars/Bar.h", "grid/ may not include bars/"},
        {"platform/ui/Window.cpp", 1, "grid/Grid.h", "platform/ui/ may not include grid/"},
        {"platform/ui/Window.cpp", 2, "Window.h", "names no folder from the root"},
    };
    EXPECT_EQ(found, expected) << shown(found);
}

TEST(Layering, AFolderOfTheTableThatIsNotThereIsNamed) {
    TempDir root;
    const auto found = layering::check_tree(root.path(), {{"engine", {}}});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].file, "engine");
}
