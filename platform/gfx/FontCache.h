// What fontconfig answered for the faces the program asks for, kept in a
// small file between runs.
//
// Asking fontconfig the first time in a process makes it read its whole
// configuration (some sixty XML files) and its caches: measured here that
// is the largest part of drawing the first frame's text. The answers depend
// only on that configuration and on the installed fonts, so they are kept
// with a key made of the times of change of the configuration's files and
// folders and of fontconfig's cache folders (which change whenever fonts are
// installed or removed); an answer is also checked against its font file's
// size and time of change. Anything that does not match is asked again.
//
// File format, one record a line, fields separated by tabs:
//     key	<configuration key>
//     <request>	<family>	<file>	<index>	<fallback 0/1>	<file size>	<file time>
//
// Invariant: every entry's request is unique; the file is rewritten whole
// (written aside, then renamed) so a reader never sees half of it.
#pragma once

#include "platform/gfx/FontFace.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace gfx {

class FontCache {
public:
    // Reads `file` if it exists and was made under `config_key`.
    FontCache(std::filesystem::path file, std::string config_key);

    // The answer kept for a request, if its font file has not changed since.
    std::optional<FontMatch> find(const std::string& request) const;
    // Keeps an answer and rewrites the file; a failure to write only loses the speed.
    void store(const std::string& request, const FontMatch& match);

    // The key of the fontconfig configuration and font set in force; empty
    // when the environment points fontconfig elsewhere (then nothing is kept).
    static std::string config_key();
    // $XDG_CACHE_HOME/abonix/fonts or ~/.cache/abonix/fonts; empty without a home.
    static std::filesystem::path default_file();

#ifndef NDEBUG
    void check_invariants() const;
#endif

private:
    struct Entry {
        FontMatch match;
        std::uintmax_t size = 0;
        long long time = 0;
    };
    void write() const;

    std::filesystem::path m_file;
    std::string m_key;
    std::map<std::string, Entry> m_entries;
};

// Makes resolve_font() keep its answers in `file` (under config_key()); an
// empty path turns keeping off. Off unless the program asks for it, so tests
// never read or write a user's cache.
void use_font_cache(const std::filesystem::path& file);

}  // namespace gfx
