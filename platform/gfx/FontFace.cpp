#include "platform/gfx/FontFace.h"

#include "platform/gfx/FontCache.h"
#include "platform/gfx/ScreenScale.h"
#include "text/Cp1251.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>

namespace gfx {
namespace {

using FaceKey = std::tuple<AnsiString, std::uint64_t, int, int>;

// FreeType, fontconfig and the faces made with them, torn down together and
// in order: faces before the library that made them. Fontconfig starts only
// when a face has to be looked up: with the answers kept (FontCache.h) a
// start needs none of it.
struct Library {
    FT_Library ft = nullptr;
    bool fontconfig = false;
    std::optional<FontCache> cache;
    std::map<FaceKey, std::unique_ptr<FontFace>> faces;
    FontFace* last_face = nullptr;
    FaceKey last_key;

    Library() { FT_Init_FreeType(&ft); }
    ~Library() {
        faces.clear();
        FT_Done_FreeType(ft);
        if (fontconfig) FcFini();
    }
    void start_fontconfig() {
        if (!fontconfig) fontconfig = FcInit() == FcTrue;
    }
};

Library& library() {
    static Library lib;
    return lib;
}

// The faces the program names, and the installed faces with their metrics.
struct Alias {
    const char* name;
    const char* family;
};
constexpr Alias kAliases[] = {
    {"courier new", "Liberation Mono"},    {"courier", "Liberation Mono"},
    {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
    {"arial", "Liberation Sans"},          {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"}, {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"}, {"tahoma", "Liberation Sans"},
};

std::string lower_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool looks_fixed(const std::string& lower) {
    for (const char* word : {"courier", "mono", "console", "fixed", "terminal"})
        if (lower.find(word) != std::string::npos) return true;
    return false;
}

// Asks fontconfig for a family; returns whether the family it found is the one asked for.
bool match_family(const std::string& family, TFontStyles style, bool fixed, FontMatch& out) {
    library().start_fontconfig();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, style.Contains(fsBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, style.Contains(fsItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (fixed) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return false;
    FcChar8* file = nullptr;
    FcChar8* got_family = nullptr;
    int index = 0;
    bool ok = false;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(found, FC_FAMILY, 0, &got_family) == FcResultMatch) {
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        out.family = reinterpret_cast<const char*>(got_family);
        out.file = reinterpret_cast<const char*>(file);
        out.index = index;
        ok = lower_ascii(out.family) == lower_ascii(family);
    }
    FcPatternDestroy(found);
    return ok;
}

int round_div(long long a, long long b) { return static_cast<int>(std::llround(static_cast<double>(a) / static_cast<double>(b))); }

}  // namespace

namespace {

FontMatch resolve_with_fontconfig(std::string_view name, TFontStyles style, TFontPitch pitch) {
    const std::string lower = lower_ascii(text::cp1251_to_utf8(name));
    std::string family = text::cp1251_to_utf8(name);
    for (const Alias& a : kAliases)
        if (lower == a.name) family = a.family;
    const bool fixed = pitch == fpFixed || (pitch == fpDefault && looks_fixed(lower));
    FontMatch match;
    if (!family.empty() && match_family(family, style, false, match)) return match;
    // Not installed: a face of the same pitch with the metrics of the common ones.
    FontMatch fallback;
    const char* substitute = fixed ? "Liberation Mono" : "Liberation Sans";
    if (!match_family(substitute, style, fixed, fallback) && fallback.file.empty()) fallback = match;
    fallback.fallback = true;
    return fallback;
}

}  // namespace

FontMatch resolve_font(std::string_view name, TFontStyles style, TFontPitch pitch) {
    std::optional<FontCache>& cache = library().cache;
    if (!cache) return resolve_with_fontconfig(name, style, pitch);
    const std::string request = lower_ascii(text::cp1251_to_utf8(name)) + "|" + (style.Contains(fsBold) ? "b" : "") +
                                (style.Contains(fsItalic) ? "i" : "") + "|" + std::to_string(static_cast<int>(pitch));
    if (std::optional<FontMatch> kept = cache->find(request)) return *kept;
    FontMatch match = resolve_with_fontconfig(name, style, pitch);
    cache->store(request, match);
    return match;
}

void use_font_cache(const std::filesystem::path& file) {
    Library& lib = library();
    lib.cache.reset();
    if (file.empty()) return;
    std::string key = FontCache::config_key();
    if (!key.empty()) lib.cache.emplace(file, std::move(key));
}

struct FontFace::Impl {
    FT_Face face = nullptr;
    bool synthetic_bold = false;
    bool synthetic_italic = false;
};

FontFace::FontFace(const FontMatch& match, const TFont& font, int scale)
    : m_impl(std::make_unique<Impl>()), m_match(match) {
    FT_Library ft = library().ft;
    // Negative heights are the em size; positive ones the whole cell.
    const int height = (font.Height() == 0 ? -13 : font.Height()) * scale;
    if (match.file.empty() || FT_New_Face(ft, match.file.c_str(), match.index, &m_impl->face) != 0) {
        m_impl->face = nullptr;
        m_metrics.height = std::abs(height);
        m_metrics.ascent = m_metrics.height * 4 / 5;
        m_metrics.descent = m_metrics.height - m_metrics.ascent;
        return;
    }
    FT_Face face = m_impl->face;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const long upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    long win_ascent = os2 ? os2->usWinAscent : face->ascender;
    long win_descent = os2 ? os2->usWinDescent : -face->descender;
    if (win_ascent + win_descent <= 0) {
        win_ascent = upem * 9 / 10;
        win_descent = upem / 5;
    }
    m_ppem = height < 0 ? -height : std::max(1, round_div(static_cast<long long>(height) * upem, win_ascent + win_descent));
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(m_ppem));

    m_metrics.ascent = round_div(static_cast<long long>(win_ascent) * m_ppem, upem);
    m_metrics.descent = round_div(static_cast<long long>(win_descent) * m_ppem, upem);
    m_metrics.height = m_metrics.ascent + m_metrics.descent;
    m_metrics.internal_leading = std::max(0, m_metrics.height - m_ppem);
    m_metrics.fixed_pitch = FT_IS_FIXED_WIDTH(face);
    m_metrics.max_char_width = round_div(static_cast<long long>(face->max_advance_width) * m_ppem, upem);
    if (os2 && os2->xAvgCharWidth > 0)
        m_metrics.ave_char_width = round_div(static_cast<long long>(os2->xAvgCharWidth) * m_ppem, upem);
    else
        m_metrics.ave_char_width = advance('x');
    if (m_metrics.fixed_pitch) m_metrics.ave_char_width = advance('x');

    m_impl->synthetic_bold = font.Style().Contains(fsBold) && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    m_impl->synthetic_italic = font.Style().Contains(fsItalic) && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    if (m_impl->synthetic_italic) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Set_Transform(face, &shear, nullptr);
    }
    m_line_thickness = std::max(1, round_div(static_cast<long long>(face->underline_thickness) * m_ppem, upem));
    m_underline_offset = std::max(1, round_div(-static_cast<long long>(face->underline_position) * m_ppem, upem));
    if (os2 && os2->yStrikeoutPosition > 0)
        m_strikeout_offset = -round_div(static_cast<long long>(os2->yStrikeoutPosition) * m_ppem, upem);
    else
        m_strikeout_offset = -m_metrics.ascent / 3;
}

FontFace::~FontFace() {
    if (m_impl->face) FT_Done_Face(m_impl->face);
}

bool FontFace::has_glyph(unsigned char c) const {
    return m_impl->face && FT_Get_Char_Index(m_impl->face, text::cp1251_to_unicode(c)) != 0;
}

const Glyph& FontFace::glyph(unsigned char c) {
    std::unique_ptr<Glyph>& slot = m_glyphs[c];
    if (slot) return *slot;
    slot = std::make_unique<Glyph>();
    Glyph& g = *slot;
    FT_Face face = m_impl->face;
    if (!face) {
        g.advance = std::max(1, m_metrics.height / 2);
        return g;
    }
    // A missing character gets the face's own fallback glyph (index 0, a box).
    const FT_UInt index = FT_Get_Char_Index(face, text::cp1251_to_unicode(c));
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return g;
    if (m_impl->synthetic_bold) FT_Outline_Embolden(&face->glyph->outline, 1 << 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_GlyphSlot slot_ft = face->glyph;
    g.advance = static_cast<int>((slot_ft->advance.x + 32) >> 6) + (m_impl->synthetic_bold ? 1 : 0);
    g.left = slot_ft->bitmap_left;
    g.top = slot_ft->bitmap_top;
    const FT_Bitmap& bm = slot_ft->bitmap;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
    for (int y = 0; y < g.height; ++y)
        std::copy_n(bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch, g.width,
                    g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
    return g;
}

int FontFace::text_width(std::string_view text) {
    int w = 0;
    for (char c : text) w += advance(static_cast<unsigned char>(c));
    return w;
}

FontFace& font_face(const TFont& font) { return font_face(font, screen_scale()); }

FontFace& font_face(const TFont& font, int scale) {
    Library& lib = library();
    FaceKey key{font.Name(), font.Style().Bits() & ((1u << fsBold) | (1u << fsItalic)),
                (font.Height() == 0 ? -13 : font.Height()) * scale, static_cast<int>(font.Pitch())};
    // Painting asks for the same font many times in a row.
    if (lib.last_face && key == lib.last_key) return *lib.last_face;
    auto it = lib.faces.find(key);
    if (it == lib.faces.end()) {
        const FontMatch match = resolve_font(font.Name(), font.Style(), font.Pitch());
        it = lib.faces.emplace(key, std::make_unique<FontFace>(match, font, scale)).first;
    }
    lib.last_key = key;
    lib.last_face = it->second.get();
    return *it->second;
}

}  // namespace gfx
