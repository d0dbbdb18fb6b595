// The layers of the tree as the README's table states them, and the includes
// of the product folders that go against it.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace layering {

// Folder ("platform/gfx") -> the other folders its files may include.
using Rules = std::map<std::string, std::set<std::string>>;

// The table under the header row "| folder | may include |" of a Markdown
// text; folders are written in backticks with or without their final slash.
// Throws std::runtime_error when there is no such table.
Rules parse_rules(const std::string& markdown);

// The folders the root CMakeLists.txt adds as libraries, in its
// `foreach(dir ...)` list.
std::vector<std::string> library_folders(const std::string& cmake_lists);

struct Violation {
    std::string file;      // relative to the root
    int line = 0;
    std::string include;   // as written
    std::string why;
    bool operator==(const Violation&) const = default;
};

// Every #include in the C and C++ files under the rules' folders below `root`
// that names a header outside the including folder and the folders its rule
// allows: another folder of the table, or a path that is in none of them.
std::vector<Violation> check_tree(const std::filesystem::path& root, const Rules& rules);

}  // namespace layering
