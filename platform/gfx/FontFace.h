// Faces behind TFont descriptions: found through fontconfig, rendered by
// FreeType, cached per description, with a glyph cache per face.
//
// The program asks for the faces of its era ("Courier New", "Arial", "Times
// New Roman", "MS Sans Serif", the system's Tahoma); those resolve to the
// installed faces with the same metrics (Liberation Mono, Sans, Serif). A
// face that is not installed falls back to an installed face of the same
// pitch, a character the face lacks to the face's fallback glyph; nothing
// fails for want of a font.
//
// Faces and glyphs are cached for the life of the process and used on the
// GUI thread only.
#pragma once

#include "platform/gfx/TFont.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// A rendered character: 8-bit coverage, placed relative to the pen position
// on the baseline.
struct Glyph {
    int advance = 0;
    int left = 0;  // from the pen position to the first column
    int top = 0;   // from the baseline up to the first row
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

// What fontconfig found for a name, style and pitch.
struct FontMatch {
    std::string family;  // the installed family, UTF-8
    std::string file;
    int index = 0;
    bool fallback = false;  // the requested face was not installed
};

// Metrics of a face at its size, in pixels.
struct TextMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;            // ascent + descent: the height of "Wg"
    int internal_leading = 0;  // height minus the character height
    int ave_char_width = 0;
    int max_char_width = 0;
    int overhang = 0;  // extra width of synthesized styles; none for outline faces
    bool fixed_pitch = false;
};

class FontFace {
public:
    // Rendered at the font's height times `scale`.
    FontFace(const FontMatch& match, const TFont& font, int scale = 1);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FontMatch& match() const { return m_match; }
    const TextMetrics& metrics() const { return m_metrics; }
    int pixel_size() const { return m_ppem; }
    // Underline and strike-out lines: offset below (+) or above (-) the
    // baseline and thickness.
    int underline_offset() const { return m_underline_offset; }
    int strikeout_offset() const { return m_strikeout_offset; }
    int line_thickness() const { return m_line_thickness; }

    // The glyph of a CP1251 character.
    const Glyph& glyph(unsigned char c);
    int advance(unsigned char c) { return glyph(c).advance; }
    int text_width(std::string_view text);
    // True when the face has its own glyph for the character.
    bool has_glyph(unsigned char c) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    FontMatch m_match;
    TextMetrics m_metrics;
    int m_ppem = 0;
    int m_underline_offset = 1;
    int m_strikeout_offset = -3;
    int m_line_thickness = 1;
    std::array<std::unique_ptr<Glyph>, 256> m_glyphs;
};

// Resolves a face name (CP1251) for a style and pitch.
FontMatch resolve_font(std::string_view name, TFontStyles style, TFontPitch pitch);
// The cached face for a font description, rendered at the screen's scale.
FontFace& font_face(const TFont& font);
// The face at another scale: at 1, the metrics a layout measured at 96 pixels
// per inch starts from.
FontFace& font_face(const TFont& font, int scale);

}  // namespace gfx
