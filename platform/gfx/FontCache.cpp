#include "platform/gfx/FontCache.h"

#include "platform/classes/Invariant.h"

#include <cassert>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace gfx {

namespace {

const char* non_empty_env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// Size and time of change of a file, or nothing when it is gone.
bool file_identity(const std::string& path, std::uintmax_t& size, long long& time) {
    std::error_code ec;
    size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    const auto t = std::filesystem::last_write_time(path, ec);
    if (ec) return false;
    time = static_cast<long long>(t.time_since_epoch().count());
    return true;
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

}  // namespace

FontCache::FontCache(std::filesystem::path file, std::string config_key)
    : m_file(std::move(file)), m_key(std::move(config_key)) {
    std::ifstream in(m_file);
    std::string line;
    if (!in || !std::getline(in, line) || line != "key\t" + m_key) return;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = split_tabs(line);
        if (f.size() != 7) continue;
        Entry e;
        e.match.family = f[1];
        e.match.file = f[2];
        try {
            e.match.index = std::stoi(f[3]);
            e.match.fallback = f[4] == "1";
            e.size = std::stoull(f[5]);
            e.time = std::stoll(f[6]);
        } catch (const std::exception&) {
            continue;  // a damaged line: that face is asked again
        }
        m_entries[f[0]] = std::move(e);
    }
}

std::optional<FontMatch> FontCache::find(const std::string& request) const {
    auto it = m_entries.find(request);
    if (it == m_entries.end()) return std::nullopt;
    std::uintmax_t size = 0;
    long long time = 0;
    if (!file_identity(it->second.match.file, size, time) || size != it->second.size || time != it->second.time)
        return std::nullopt;
    return it->second.match;
}

void FontCache::store(const std::string& request, const FontMatch& match) {
    Entry e{match, 0, 0};
    if (match.file.empty() || request.find_first_of("\t\n") != std::string::npos ||
        match.family.find_first_of("\t\n") != std::string::npos || match.file.find_first_of("\t\n") != std::string::npos ||
        !file_identity(match.file, e.size, e.time))
        return;
    m_entries[request] = std::move(e);
    write();
}

void FontCache::write() const {
    std::error_code ec;
    std::filesystem::create_directories(m_file.parent_path(), ec);
    if (ec) return;
    const std::filesystem::path temp = m_file.string() + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::trunc);
        out << "key\t" << m_key << '\n';
        for (const auto& [request, e] : m_entries)
            out << request << '\t' << e.match.family << '\t' << e.match.file << '\t' << e.match.index << '\t'
                << (e.match.fallback ? 1 : 0) << '\t' << e.size << '\t' << e.time << '\n';
        out.close();
        if (!out) {
            std::filesystem::remove(temp, ec);
            return;
        }
    }
    std::filesystem::rename(temp, m_file, ec);
    if (ec) std::filesystem::remove(temp, ec);
}

std::string FontCache::config_key() {
    if (non_empty_env("FONTCONFIG_FILE") || non_empty_env("FONTCONFIG_PATH") || non_empty_env("FONTCONFIG_SYSROOT"))
        return {};
    const char* home = non_empty_env("HOME");
    const char* config_home = non_empty_env("XDG_CONFIG_HOME");
    const char* cache_home = non_empty_env("XDG_CACHE_HOME");
    const char* data_home = non_empty_env("XDG_DATA_HOME");
    const std::string h = home ? home : "";
    const std::string config = config_home ? std::string(config_home) : h + "/.config";
    const std::string cache = cache_home ? std::string(cache_home) : h + "/.cache";
    const std::string data = data_home ? std::string(data_home) : h + "/.local/share";
    // The configuration (files and the folders of its parts) and fontconfig's
    // caches, which are rewritten whenever the installed fonts change.
    const std::string places[] = {"/etc/fonts/fonts.conf", "/etc/fonts/conf.d", "/etc/fonts/local.conf",
                                  "/var/cache/fontconfig", config + "/fontconfig", config + "/fontconfig/fonts.conf",
                                  config + "/fontconfig/conf.d", cache + "/fontconfig", h + "/.fonts.conf",
                                  h + "/.fonts", data + "/fonts", "/usr/local/share/fonts"};
    std::ostringstream key;
    for (const std::string& p : places) {
        std::error_code ec;
        const auto t = std::filesystem::last_write_time(p, ec);
        key << (ec ? 0LL : static_cast<long long>(t.time_since_epoch().count())) << ',';
    }
    return key.str();
}

std::filesystem::path FontCache::default_file() {
    if (const char* cache_home = non_empty_env("XDG_CACHE_HOME")) return std::filesystem::path(cache_home) / "abonix" / "fonts";
    if (const char* home = non_empty_env("HOME")) return std::filesystem::path(home) / ".cache" / "abonix" / "fonts";
    return {};
}

#ifndef NDEBUG
void FontCache::check_invariants() const {
    for (const auto& [request, e] : m_entries) {
        INVARIANT(!request.empty() && request.find_first_of("\t\n") == std::string::npos, "FontCache: !request.empty() && request.find_first_of(\"\\t\\n\") == std::string::npos");
        INVARIANT(!e.match.file.empty(), "FontCache: !e.match.file.empty()");
    }
}
#endif

}  // namespace gfx
