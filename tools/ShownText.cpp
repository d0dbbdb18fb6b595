#include "tools/ShownText.h"

#include "text/Cp1251.h"

#include <cstdio>

namespace tools {
namespace {

void put_escaped(std::string& out, unsigned char byte) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", byte);
    out += buf;
}

// Characters that move the cursor, change the direction of text or do not show.
bool printable(char32_t cp) {
    if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) return false;
    if (cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F)) return false;
    if (cp == 0xFEFF || (cp >= 0xFFF9 && cp <= 0xFFFB) || cp == 0xFFFD) return false;
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    return cp <= 0x10FFFF;
}

void put_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The length of a well-formed UTF-8 sequence at s[i] and its code point, or 0.
std::size_t utf8_at(std::string_view s, std::size_t i, char32_t& cp) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n;
    char32_t min;
    if (c >= 0xC2 && c < 0xE0) n = 2, cp = c & 0x1F, min = 0x80;
    else if (c >= 0xE0 && c < 0xF0) n = 3, cp = c & 0x0F, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07, min = 0x10000;
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    return cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : n;
}

}  // namespace

std::string shown_text(std::string_view s, bool cp1251, std::size_t limit) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (shown == limit) {
            out += "…";
            break;
        }
        ++shown;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (printable(c)) out.push_back(static_cast<char>(c));
            else put_escaped(out, c);
            ++i;
            continue;
        }
        if (cp1251) {
            const char32_t cp = text::cp1251_to_unicode(c);
            if (printable(cp)) put_utf8(out, cp);
            else put_escaped(out, c);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = utf8_at(s, i, cp);
        if (n > 0 && printable(cp)) {
            out.append(s.substr(i, n));
        } else {
            for (std::size_t k = 0; k < (n ? n : 1); ++k) put_escaped(out, static_cast<unsigned char>(s[i + k]));
        }
        i += n ? n : 1;
    }
    return out;
}

}  // namespace tools
