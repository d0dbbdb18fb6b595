#include "platform/ui/ComposeSubset.h"

#include "text/Cp1251.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <system_error>

#include <locale.h>
#include <unistd.h>

namespace ui {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The result string of a production ("<a> <b> : "x" keysym"): its text, or
// nothing when the line has none or uses escapes beyond \" and \\.
std::optional<std::string> result_text(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::size_t open = line.find('"', colon);
    if (open == std::string_view::npos) return std::nullopt;
    std::string out;
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') return out;
        if (c == '\\') {
            if (i + 1 >= line.size() || (line[i + 1] != '"' && line[i + 1] != '\\')) return std::nullopt;
            out += line[++i];
        } else {
            out += c;
        }
    }
    return std::nullopt;  // unterminated
}

bool types_cp1251_character(const std::string& utf8) {
    if (utf8.empty()) return false;
    const AnsiString ansi = text::utf8_to_cp1251(utf8);
    return ansi.size() == 1 && text::cp1251_to_utf8(ansi) == utf8;
}

std::optional<std::string> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(s).str();
}

// The first two words of a line of locale.alias or compose.dir, without the
// colon the older form puts after the first.
bool two_words(std::string_view line, std::string_view& first, std::string_view& second) {
    line = trim(line);
    if (line.empty() || line.front() == '#') return false;
    const std::size_t gap = line.find_first_of(" \t");
    if (gap == std::string_view::npos) return false;
    first = line.substr(0, gap);
    if (!first.empty() && first.back() == ':') first.remove_suffix(1);
    second = trim(line.substr(gap));
    if (const std::size_t end = second.find_first_of(" \t"); end != std::string_view::npos) second = second.substr(0, end);
    return !first.empty() && !second.empty();
}

template <typename F>
void for_each_line(std::string_view text, F&& f) {
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        if (!f(line)) return;
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
}

const char* non_empty_env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

}  // namespace

std::optional<std::string> ComposeSubset::filter(std::string_view table) {
    std::string out;
    bool includes = false;
    for_each_line(table, [&](std::string_view raw) {
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#') return true;
        if (line.substr(0, 7) == "include") {
            includes = true;
            return false;
        }
        if (line.front() == '<') {
            const std::optional<std::string> result = result_text(line);
            if (result && !types_cp1251_character(*result)) return true;
        }
        out.append(line);
        out += '\n';
        return true;
    });
    if (includes) return std::nullopt;
    return out;
}

std::optional<std::filesystem::path> ComposeSubset::locale_table(const std::filesystem::path& locale_dir,
                                                                std::string_view locale) {
    std::string name(locale);
    if (const auto aliases = read_file(locale_dir / "locale.alias"))
        for_each_line(*aliases, [&](std::string_view line) {
            std::string_view from, to;
            if (two_words(line, from, to) && from == locale) {
                name = to;
                return false;
            }
            return true;
        });
    const auto dir = read_file(locale_dir / "compose.dir");
    if (!dir) return std::nullopt;
    std::optional<std::filesystem::path> found;
    for_each_line(*dir, [&](std::string_view line) {
        std::string_view file, of;
        if (two_words(line, file, of) && of == name) {
            found = locale_dir / file;
            return false;
        }
        return true;
    });
    return found;
}

std::optional<std::filesystem::path> ComposeSubset::cached_subset(const std::filesystem::path& table,
                                                                 const std::filesystem::path& cache_dir) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(table, ec);
    if (ec) return std::nullopt;
    const auto changed = std::filesystem::last_write_time(table, ec);
    if (ec) return std::nullopt;
    const std::string identity = table.string() + "|" + std::to_string(size) + "|" +
                                 std::to_string(changed.time_since_epoch().count());
    char name[64];
    std::snprintf(name, sizeof name, "Compose-%016zx", std::hash<std::string>{}(identity));
    const std::filesystem::path subset = cache_dir / name;
    if (std::filesystem::is_regular_file(subset, ec)) return subset;

    const auto text = read_file(table);
    if (!text) return std::nullopt;
    const auto filtered = filter(*text);
    if (!filtered) return std::nullopt;
    std::filesystem::create_directories(cache_dir, ec);
    if (ec) return std::nullopt;
    // Written aside and renamed: a program starting meanwhile never reads half a table.
    const std::filesystem::path temp = cache_dir / (std::string(name) + ".tmp" + std::to_string(::getpid()));
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << "# The sequences of " << table.string() << " that type a CP1251 character.\n" << *filtered;
        out.close();
        if (!out) {
            std::filesystem::remove(temp, ec);
            return std::nullopt;
        }
    }
    std::filesystem::rename(temp, subset, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return std::nullopt;
    }
    return subset;
}

ComposeSubset::ComposeSubset() {
    if (!non_empty_env("DISPLAY") || non_empty_env("XCOMPOSEFILE") || non_empty_env("XLOCALEDIR")) return;
    const char* home = non_empty_env("HOME");
    if (!home) return;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(home) / ".XCompose", ec) || ec) return;
    const char* locale = non_empty_env("LC_ALL");
    if (!locale) locale = non_empty_env("LC_CTYPE");
    if (!locale) locale = non_empty_env("LANG");
    if (!locale) locale = "C";
    // The display's start takes the locale the environment names only when
    // the system has it; otherwise it falls back and reads another table.
    const locale_t available = ::newlocale(LC_CTYPE_MASK, locale, locale_t{});
    if (!available) return;
    ::freelocale(available);
    const auto table = locale_table("/usr/share/X11/locale", locale);
    if (!table) return;
    const char* cache_home = non_empty_env("XDG_CACHE_HOME");
    const std::filesystem::path cache =
        (cache_home ? std::filesystem::path(cache_home) : std::filesystem::path(home) / ".cache") / "abonix";
    const auto subset = cached_subset(*table, cache);
    if (!subset) return;
    if (::setenv("XCOMPOSEFILE", subset->c_str(), 1) == 0) m_file = *subset;
}

ComposeSubset::~ComposeSubset() {
    if (!m_file.empty()) ::unsetenv("XCOMPOSEFILE");
}

}  // namespace ui
