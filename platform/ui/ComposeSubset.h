// The compose sequences of the user's locale that can type a character of
// the program's code page, for the X input method the display opens.
//
// Opening the X input method reads the locale's whole compose table (about
// 5,700 sequences for UTF-8 locales) before the first window can be made:
// measured here it is most of the display's start-up. Text reaching the
// program is CP1251, so a sequence that composes anything else types nothing
// useful in it. This object writes, once per system compose table, the
// subset that can type a CP1251 character into the user's cache folder
// ($XDG_CACHE_HOME/abonix, or ~/.cache/abonix) and names it in XCOMPOSEFILE
// while it lives, which should span the display's start only: the variable is
// taken back afterwards, so programs started later (the browser) get the
// user's environment unchanged.
//
// The user's own choice stands: with XCOMPOSEFILE or XLOCALEDIR set, or a
// ~/.XCompose file, nothing changes; likewise when the locale's table cannot
// be found, includes other files, or the cache cannot be written.
//
// The environment is changed: make and drop the object while no other thread runs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

class ComposeSubset {
public:
    ComposeSubset();
    ~ComposeSubset();
    ComposeSubset(const ComposeSubset&) = delete;
    ComposeSubset& operator=(const ComposeSubset&) = delete;

    // The file named in XCOMPOSEFILE while the object lives; empty when none.
    const std::filesystem::path& file() const { return m_file; }

    // The lines of a compose table whose result is a CP1251 character, or
    // that this filter does not understand (kept, to be safe); comments and
    // blank lines go. Nothing when the table includes another file.
    static std::optional<std::string> filter(std::string_view table);

    // The compose table of a locale name ("C.UTF-8", "ru_RU.UTF-8") under an
    // X locale folder, found as the X library finds it: the name through
    // locale.alias, then compose.dir. Nothing when it is not listed.
    static std::optional<std::filesystem::path> locale_table(const std::filesystem::path& locale_dir,
                                                             std::string_view locale);

    // The subset of `table` in `cache_dir`, written there when it is not yet:
    // named after the table's path, size and time of change, so a changed
    // table gets a new subset. Nothing when it cannot be made.
    static std::optional<std::filesystem::path> cached_subset(const std::filesystem::path& table,
                                                              const std::filesystem::path& cache_dir);

private:
    std::filesystem::path m_file;
};

}  // namespace ui
