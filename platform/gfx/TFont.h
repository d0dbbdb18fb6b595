// A font description: face name, character set, colour, style and height in
// pixels (negative: the character height without internal leading, the way
// point sizes are given; positive: the whole cell height). Size is the same
// in points at 96 pixels per inch. Faces are found and rendered by
// gfx::FontFace.
#pragma once

#include "platform/classes/TObject.h"
#include "platform/classes/TSet.h"
#include "platform/gfx/TColor.h"
#include "text/AnsiString.h"

#include <cstdint>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;

constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset RUSSIAN_CHARSET = 204;

class TFont : public TObject {
public:
    static constexpr int PixelsPerInch = 96;

    TFont() = default;

    const AnsiString& Name() const { return m_name; }
    void SetName(const AnsiString& value);
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles value);
    int Height() const { return m_height; }
    void SetHeight(int value);
    // Points at 96 pixels per inch, rounded as MulDiv does.
    int Size() const;
    void SetSize(int points);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch value);

    // Copies every property and raises OnChange once if anything differed.
    void Assign(const TFont& source);
    // Same face, size and style (colour not compared): the same rendering.
    bool same_face(const TFont& other) const;

    TNotifyEvent OnChange;

private:
    void changed();

    AnsiString m_name = "MS Sans Serif";
    TFontCharset m_charset = DEFAULT_CHARSET;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    int m_height = -11;
    TFontPitch m_pitch = fpDefault;
};

namespace gfx {

// a * b / c rounded to the nearest integer, halves away from zero.
int mul_div(int a, int b, int c);

}  // namespace gfx
