// CP1251 <-> Unicode, the compile-time literal for Cyrillic text in source,
// and the letter-case rules of the Russian ANSI code page.
//
// Source files are UTF-8. A Cyrillic literal is written "Ольмарск 2001"_a and
// becomes CP1251 bytes at compile time; a character that CP1251 cannot hold
// is a compile error, so no literal is ever silently mangled.
#pragma once

#include "text/AnsiString.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// Unicode code point of a CP1251 byte (0x98, the one unassigned byte, maps to U+FFFD).
char32_t cp1251_to_unicode(unsigned char c);

// CP1251 byte of a code point, or -1 when CP1251 has none.
int unicode_to_cp1251(char32_t cp);

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input yields U+FFFD
// and consumes one byte.
char32_t decode_utf8(std::string_view s, std::size_t& i);
void append_utf8(std::string& out, char32_t cp);

// Characters with no CP1251 equivalent become '?'.
AnsiString utf8_to_cp1251(std::string_view utf8);
std::string cp1251_to_utf8(std::string_view ansi);

// Letter case in CP1251: Latin, Cyrillic А..я, Ё/ё and the other Cyrillic
// letters of the code page (Ђ, Ѓ, Є, Ѕ, І, Ї, Ј, Љ, Њ, Ћ, Ќ, Ў, Џ, Ґ).
unsigned char ansi_upper(unsigned char c);
unsigned char ansi_lower(unsigned char c);
AnsiString ansi_upper_case(std::string_view s);
AnsiString ansi_lower_case(std::string_view s);

// Case-insensitive comparison by upper-cased byte values: <0, 0 or >0.
int ansi_compare_text(std::string_view a, std::string_view b);
// True when s begins with prefix, ignoring letter case.
bool ansi_starts_with_text(std::string_view s, std::string_view prefix);

namespace detail {

constexpr char32_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr int to_cp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    for (int i = 0; i < 128; ++i)
        if (kCp1251High[i] == cp && cp != 0xFFFD) return 0x80 + i;
    return -1;
}

// A string literal as a template argument.
template <std::size_t N>
struct Utf8Literal {
    char bytes[N];
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
    }
};

template <std::size_t N>
struct Cp1251Literal {
    char bytes[N + 1] = {};
    std::size_t size = 0;
    constexpr operator std::string_view() const { return {bytes, size}; }
    operator AnsiString() const { return AnsiString(bytes, size); }
    constexpr const char* c_str() const { return bytes; }
};

template <std::size_t N>
consteval Cp1251Literal<N> convert_literal(const Utf8Literal<N>& in) {
    Cp1251Literal<N> out;
    std::size_t i = 0;
    const std::size_t len = N - 1;  // without the terminating NUL
    while (i < len) {
        unsigned char c = static_cast<unsigned char>(in.bytes[i]);
        char32_t cp = 0;
        int extra = 0;
        if (c < 0x80) { cp = c; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else throw "malformed UTF-8 in a CP1251 literal";
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= len) throw "truncated UTF-8 in a CP1251 literal";
            cp = (cp << 6) | (static_cast<unsigned char>(in.bytes[i]) & 0x3F);
        }
        int b = to_cp1251(cp);
        if (b < 0) throw "character outside CP1251 in a literal";
        out.bytes[out.size++] = static_cast<char>(b);
    }
    out.bytes[out.size] = '\0';
    return out;
}

}  // namespace detail
}  // namespace text

// "Ольмарск"_a: the CP1251 bytes of a UTF-8 source literal, made at compile time.
template <text::detail::Utf8Literal S>
consteval auto operator""_a() {
    return text::detail::convert_literal(S);
}
