#include "text/Cp1251.h"

#include <array>

namespace text {
namespace {

// Unicode -> CP1251 for the upper half, built once from the decoding table.
struct ReverseTable {
    std::array<std::pair<char32_t, unsigned char>, 128> pairs{};
    ReverseTable() {
        for (int i = 0; i < 128; ++i)
            pairs[i] = {detail::kCp1251High[i], static_cast<unsigned char>(0x80 + i)};
    }
};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    CaseTables() {
        for (int i = 0; i < 256; ++i) upper[i] = lower[i] = static_cast<unsigned char>(i);
        auto pair = [this](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) pair(c, c + 32);  // А..Я / а..я
        pair(0xA8, 0xB8);  // Ё ё
        pair(0x80, 0x90);  // Ђ ђ
        pair(0x81, 0x83);  // Ѓ ѓ
        pair(0x8A, 0x9A);  // Љ љ
        pair(0x8C, 0x9C);  // Њ њ
        pair(0x8D, 0x9D);  // Ќ ќ
        pair(0x8E, 0x9E);  // Ћ ћ
        pair(0x8F, 0x9F);  // Џ џ
        pair(0xA1, 0xA2);  // Ў ў
        pair(0xA3, 0xBC);  // Ј ј
        pair(0xA5, 0xB4);  // Ґ ґ
        pair(0xAA, 0xBA);  // Є є
        pair(0xAF, 0xBF);  // Ї ї
        pair(0xB2, 0xB3);  // І і
        pair(0xBD, 0xBE);  // Ѕ ѕ
    }
};

const CaseTables& cases() {
    static const CaseTables t;
    return t;
}

}  // namespace

char32_t cp1251_to_unicode(unsigned char c) {
    return c < 0x80 ? static_cast<char32_t>(c) : detail::kCp1251High[c - 0x80];
}

int unicode_to_cp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    static const ReverseTable rev;
    for (const auto& [u, b] : rev.pairs)
        if (u == cp && u != 0xFFFD) return b;
    return -1;
}

char32_t decode_utf8(std::string_view s, std::size_t& i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t cp;
    if (c < 0x80) { ++i; return c; }
    if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else { ++i; return 0xFFFD; }
    if (i + extra >= s.size()) { ++i; return 0xFFFD; }  // truncated sequence
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    return cp;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

AnsiString utf8_to_cp1251(std::string_view utf8) {
    AnsiString out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const int b = unicode_to_cp1251(decode_utf8(utf8, i));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

std::string cp1251_to_utf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() * 2);
    for (char c : ansi) append_utf8(out, cp1251_to_unicode(static_cast<unsigned char>(c)));
    return out;
}

unsigned char ansi_upper(unsigned char c) { return cases().upper[c]; }
unsigned char ansi_lower(unsigned char c) { return cases().lower[c]; }

AnsiString ansi_upper_case(std::string_view s) {
    AnsiString out(s);
    for (char& c : out) c = static_cast<char>(ansi_upper(static_cast<unsigned char>(c)));
    return out;
}

AnsiString ansi_lower_case(std::string_view s) {
    AnsiString out(s);
    for (char& c : out) c = static_cast<char>(ansi_lower(static_cast<unsigned char>(c)));
    return out;
}

int ansi_compare_text(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int ua = ansi_upper(static_cast<unsigned char>(a[i]));
        const int ub = ansi_upper(static_cast<unsigned char>(b[i]));
        if (ua != ub) return ua - ub;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool ansi_starts_with_text(std::string_view s, std::string_view prefix) {
    return prefix.size() <= s.size() && ansi_compare_text(s.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace text
