#include "platform/gfx/TFont.h"

#include <cstdlib>

namespace gfx {

int mul_div(int a, int b, int c) {
    if (c == 0) return -1;
    const long long num = static_cast<long long>(a) * b;
    const long long q = (std::llabs(num) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<long long>(c)));
    return static_cast<int>(((num < 0) != (c < 0)) ? -q : q);
}

}  // namespace gfx

void TFont::changed() {
    if (OnChange) OnChange(this);
}

void TFont::SetName(const AnsiString& value) {
    if (value.empty() || value == m_name) return;
    m_name = value;
    changed();
}

void TFont::SetCharset(TFontCharset value) {
    if (value == m_charset) return;
    m_charset = value;
    changed();
}

void TFont::SetColor(TColor value) {
    if (value == m_color) return;
    m_color = value;
    changed();
}

void TFont::SetStyle(TFontStyles value) {
    if (value == m_style) return;
    m_style = value;
    changed();
}

void TFont::SetHeight(int value) {
    if (value == m_height) return;
    m_height = value;
    changed();
}

int TFont::Size() const { return -gfx::mul_div(m_height, 72, PixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-gfx::mul_div(points, PixelsPerInch, 72)); }

void TFont::SetPitch(TFontPitch value) {
    if (value == m_pitch) return;
    m_pitch = value;
    changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    const bool differs = m_name != source.m_name || m_charset != source.m_charset || m_color != source.m_color ||
                         m_style != source.m_style || m_height != source.m_height || m_pitch != source.m_pitch;
    if (!differs) return;
    m_name = source.m_name;
    m_charset = source.m_charset;
    m_color = source.m_color;
    m_style = source.m_style;
    m_height = source.m_height;
    m_pitch = source.m_pitch;
    changed();
}

bool TFont::same_face(const TFont& other) const {
    return m_name == other.m_name && m_style == other.m_style && m_height == other.m_height &&
           m_pitch == other.m_pitch;
}
