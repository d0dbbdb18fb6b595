#include "tests/layering/IncludeRules.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace layering {
namespace {

std::string without_slash(std::string folder) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder;
}

std::vector<std::string> backticked(const std::string& cell) {
    std::vector<std::string> words;
    static const std::regex word("`([^`]*)`");
    for (std::sregex_iterator it(cell.begin(), cell.end(), word), end; it != end; ++it)
        words.push_back(without_slash((*it)[1]));
    return words;
}

std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(row);
    std::getline(in, cell, '|');  // what stands before the first bar
    while (std::getline(in, cell, '|')) out.push_back(cell);
    return out;
}

// The table's folder that holds `path` ("grid/TdxDBGrid.h" -> "grid"); the
// longest one, so that "platform/ui" wins over a folder "platform".
std::string folder_of(const std::string& path, const Rules& rules) {
    std::string best;
    for (const auto& [folder, allowed] : rules)
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/' && folder.size() > best.size())
            best = folder;
    return best;
}

bool is_source(const std::filesystem::path& file) {
    static const std::set<std::string> endings{".h", ".hpp", ".c", ".cpp", ".cc"};
    return endings.count(file.extension().string()) != 0;
}

}  // namespace

Rules parse_rules(const std::string& markdown) {
    Rules rules;
    std::istringstream in(markdown);
    std::string line;
    bool header = false, inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            const auto head = cells(line);
            if (head.size() >= 2 && head[0].find("folder") != std::string::npos &&
                head[1].find("may include") != std::string::npos) {
                header = inside = true;
            }
            continue;
        }
        if (line.empty() || line[0] != '|') break;
        const auto row = cells(line);
        if (header) {  // the |---|---| line
            header = false;
            continue;
        }
        const auto folder = row.empty() ? std::vector<std::string>{} : backticked(row[0]);
        if (folder.size() != 1) throw std::runtime_error("a row of the layer table names no folder: " + line);
        const auto allowed = row.size() > 1 ? backticked(row[1]) : std::vector<std::string>{};
        rules[folder[0]] = {allowed.begin(), allowed.end()};
    }
    if (rules.empty()) throw std::runtime_error("no table headed \"| folder | may include |\"");
    return rules;
}

std::vector<std::string> library_folders(const std::string& cmake_lists) {
    static const std::regex list(R"(foreach\(dir([^)]*)\))");
    std::smatch m;
    if (!std::regex_search(cmake_lists, m, list)) throw std::runtime_error("no foreach(dir ...) list");
    std::vector<std::string> folders;
    std::istringstream words(m[1].str());
    for (std::string word; words >> word;) folders.push_back(word);
    return folders;
}

std::vector<Violation> check_tree(const std::filesystem::path& root, const Rules& rules) {
    namespace fs = std::filesystem;
    static const std::regex include(R"(^\s*#\s*include\s*["<]([^">]+)[">])");
    std::vector<Violation> found;
    for (const auto& [folder, allowed] : rules) {
        if (!fs::is_directory(root / folder)) {
            found.push_back({folder, 0, "", "the table names a folder that does not exist"});
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            if (!entry.is_regular_file() || !is_source(entry.path())) continue;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            // A file of a nested folder of the table ("platform/ui" in "platform") is its own.
            if (folder_of(file, rules) != folder) continue;
            std::ifstream in(entry.path());
            std::string text;
            int number = 0;
            for (std::smatch m; std::getline(in, text);) {
                ++number;
                if (!std::regex_search(text, m, include)) continue;
                const std::string path = m[1];
                const bool quoted = text.find('"') < text.find('<');
                const std::string target = folder_of(path, rules);
                if (target.empty()) {
                    // A system header, or one beside the file written without its folder.
                    if (quoted) found.push_back({file, number, path, "names no folder from the root"});
                } else if (target != folder && !allowed.count(target)) {
                    found.push_back({file, number, path, folder + "/ may not include " + target + "/"});
                }
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Violation& a, const Violation& b) {
        return std::tie(a.file, a.line) < std::tie(b.file, b.line);
    });
    return found;
}

}  // namespace layering
