// Text output of the canvas: single lines, formatted text in a rectangle
// (alignment, word wrap, end ellipsis, "&" prefixes, tab stops) and
// measuring. Characters are CP1251 bytes; widths add up character by
// character (no kerning), so the width of a prefix is the sum of its
// characters' widths.
#include "platform/gfx/TCanvas.h"

#include <algorithm>

namespace {

constexpr std::string_view kEllipsis = "...";

struct Line {
    std::string text;
    int underline = -1;  // index in text of the prefixed character
};

// src over dst with coverage a (0..255), red and blue in one word, green in
// another; each lane stays below 65536 and is divided by 255 exactly.
inline gfx::Pixel blend(gfx::Pixel src, gfx::Pixel dst, std::uint32_t a) {
    const std::uint32_t na = 255 - a;
    std::uint32_t rb = (src & 0xFF00FFu) * a + (dst & 0xFF00FFu) * na + 0x00800080u;
    std::uint32_t g = (src & 0x00FF00u) * a + (dst & 0x00FF00u) * na + 0x00008000u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    g = ((g + ((g >> 8) & 0x00FFFF00u)) >> 8) & 0x0000FF00u;
    return 0xFF000000u | rb | g;
}

int measure(gfx::FontFace& face, std::string_view s, int tab_width) {
    int w = 0;
    for (char ch : s) {
        if (ch == '\t' && tab_width > 0) w = (w / tab_width + 1) * tab_width;
        else w += face.advance(static_cast<unsigned char>(ch));
    }
    return w;
}

// Removes the "&" marks: "&&" is a literal ampersand, "&x" underlines x.
std::string strip_prefix(std::string_view s, int& underline) {
    std::string out;
    underline = -1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != '&') underline = static_cast<int>(out.size());
        } else if (s[i] == '&') {
            continue;  // a trailing mark has nothing to mark
        }
        out.push_back(s[i]);
    }
    return out;
}

// Breaks one paragraph into lines no wider than max_width, at spaces; a word
// longer than the width stays whole on its own line.
void wrap(gfx::FontFace& face, std::string_view para, std::size_t base, int max_width, int tab_width,
          std::vector<std::pair<std::size_t, std::size_t>>& out) {
    std::size_t i = 0;
    if (para.empty()) {
        out.emplace_back(base, base);
        return;
    }
    while (i < para.size()) {
        std::size_t j = i, last_space = std::string_view::npos;
        int width = 0;
        while (j < para.size()) {
            const char ch = para[j];
            const int next = (ch == '\t' && tab_width > 0) ? (width / tab_width + 1) * tab_width
                                                           : width + face.advance(static_cast<unsigned char>(ch));
            if (next > max_width && j > i && ch != ' ') break;
            if (ch == ' ') last_space = j;
            width = next;
            ++j;
        }
        if (j == para.size()) {
            out.emplace_back(base + i, base + j);
            break;
        }
        std::size_t end = (last_space != std::string_view::npos && last_space > i) ? last_space : para.find(' ', j);
        if (end == std::string_view::npos) end = para.size();
        out.emplace_back(base + i, base + end);
        i = end;
        while (i < para.size() && para[i] == ' ') ++i;
    }
}

std::string with_ellipsis(gfx::FontFace& face, const std::string& s, int max_width, int tab_width) {
    const int dots = measure(face, kEllipsis, 0);
    std::size_t keep = 0;
    while (keep < s.size() && measure(face, std::string_view(s).substr(0, keep + 1), tab_width) + dots <= max_width)
        ++keep;
    return s.substr(0, keep) + std::string(kEllipsis);
}

}  // namespace

gfx::TextMetrics TCanvas::TextMetrics() const { return gfx::font_face(m_font).metrics(); }

int TCanvas::TextWidth(std::string_view text) { return gfx::font_face(m_font).text_width(text); }

int TCanvas::TextHeight(std::string_view) { return gfx::font_face(m_font).metrics().height; }

TSize TCanvas::TextExtent(std::string_view text) { return TSize{TextWidth(text), TextHeight(text)}; }

std::vector<int> TCanvas::CharWidths(std::string_view text) {
    gfx::FontFace& face = gfx::font_face(m_font);
    std::vector<int> widths;
    widths.reserve(text.size());
    for (char ch : text) widths.push_back(face.advance(static_cast<unsigned char>(ch)));
    return widths;
}

void TCanvas::draw_glyphs(int x, int y, std::string_view text, const TRect* clip, int underline_at, int tab_width) {
    gfx::FontFace& face = gfx::font_face(m_font);
    const gfx::Pixel color = gfx::to_pixel(m_font.Color());
    const int baseline = y + face.metrics().ascent;
    std::vector<TRect> clips;
    for (const TRect& c : m_device_clip) {
        const TRect d = clip ? gfx::intersect(c, gfx::offset(*clip, m_origin.X, m_origin.Y)) : c;
        if (!d.IsEmpty()) clips.push_back(d);
    }
    if (clips.empty()) return;
    auto fill = [&](const TRect& r) { fill_solid(r, color, clip); };
    int pen = x;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\t' && tab_width > 0) {
            pen = x + ((pen - x) / tab_width + 1) * tab_width;
            continue;
        }
        const gfx::Glyph& g = face.glyph(ch);
        const TRect box = Bounds(pen + g.left + m_origin.X, baseline - g.top + m_origin.Y, g.width, g.height);
        for (const TRect& c : clips) {
            const TRect part = gfx::intersect(box, c);
            for (int yy = part.Top; yy < part.Bottom; ++yy) {
                gfx::Pixel* row = m_surface.pixels + static_cast<std::ptrdiff_t>(yy) * m_surface.stride;
                const std::uint8_t* cov = g.coverage.data() + static_cast<std::ptrdiff_t>(yy - box.Top) * g.width;
                for (int xx = part.Left; xx < part.Right; ++xx) {
                    const std::uint32_t a = cov[xx - box.Left];
                    if (a == 0) continue;
                    row[xx] = a == 255 ? color : blend(color, row[xx], a);
                }
            }
        }
        if (static_cast<int>(i) == underline_at)
            fill(Bounds(pen, baseline + face.underline_offset(), g.advance, 1));
        pen += g.advance;
    }
    const int thick = face.line_thickness();
    if (m_font.Style().Contains(fsUnderline)) fill(TRect{x, baseline + face.underline_offset(), pen, baseline + face.underline_offset() + thick});
    if (m_font.Style().Contains(fsStrikeOut)) fill(TRect{x, baseline + face.strikeout_offset(), pen, baseline + face.strikeout_offset() + thick});
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    const TSize size = TextExtent(text);
    if (m_brush.Style() != bsClear) {
        TBrush saved = m_brush;
        m_brush.SetColor(m_brush.Color());  // text backgrounds are solid, never patterned
        FillRect(Bounds(x, y, size.cx, size.cy));
        m_brush = saved;
    }
    draw_glyphs(x, y, text, nullptr, -1, 0);
    m_pen_pos = {x + size.cx, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    if (m_brush.Style() != bsClear) FillRect(r);
    draw_glyphs(x, y, text, &r, -1, 0);
}

int TCanvas::TextRect(TRect& r, std::string_view text, TTextFormat format) {
    gfx::FontFace& face = gfx::font_face(m_font);
    const int line_height = face.metrics().height;
    const int tab_width = format.Contains(tfExpandTabs) ? 8 * face.metrics().ave_char_width : 0;
    const bool single = format.Contains(tfSingleLine);

    int underline = -1;
    const std::string s = format.Contains(tfNoPrefix) ? std::string(text) : strip_prefix(text, underline);

    // Lines as ranges of s.
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (single) {
        ranges.emplace_back(0, s.size());
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t nl = s.find('\n', start);
            std::size_t end = nl == std::string::npos ? s.size() : nl;
            std::size_t para_end = (end > start && s[end - 1] == '\r') ? end - 1 : end;
            const std::string_view para(s.data() + start, para_end - start);
            if (format.Contains(tfWordBreak)) wrap(face, para, start, r.Width(), tab_width, ranges);
            else ranges.emplace_back(start, para_end);
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
    }

    std::vector<Line> lines;
    int max_width = 0;
    for (const auto& [a, b] : ranges) {
        Line line{s.substr(a, b - a), -1};
        if (underline >= 0 && static_cast<std::size_t>(underline) >= a && static_cast<std::size_t>(underline) < b)
            line.underline = underline - static_cast<int>(a);
        if (format.Contains(tfEndEllipsis) && measure(face, line.text, tab_width) > r.Width()) {
            line.text = with_ellipsis(face, line.text, r.Width(), tab_width);
            if (line.underline >= static_cast<int>(line.text.size() - kEllipsis.size())) line.underline = -1;
        }
        max_width = std::max(max_width, measure(face, line.text, tab_width));
        lines.push_back(std::move(line));
    }
    const int total_height = static_cast<int>(lines.size()) * line_height;

    if (format.Contains(tfCalcRect)) {
        r.Right = r.Left + max_width;
        r.Bottom = r.Top + total_height;
        return total_height;
    }

    int y = r.Top;
    if (single && format.Contains(tfVerticalCenter)) y = r.Top + (r.Height() - line_height) / 2;
    else if (single && format.Contains(tfBottom)) y = r.Bottom - line_height;
    const TRect* clip = format.Contains(tfNoClip) ? nullptr : &r;
    const bool opaque = m_brush.Style() != bsClear;
    for (const Line& line : lines) {
        const int w = measure(face, line.text, tab_width);
        int x = r.Left;
        if (format.Contains(tfRight)) x = r.Right - w;
        else if (format.Contains(tfCenter)) x = r.Left + (r.Width() - w) / 2;
        if (opaque) {
            fill_solid(Bounds(x, y, w, line_height), gfx::to_pixel(m_brush.Color()), clip);
        }
        draw_glyphs(x, y, line.text, clip, line.underline, tab_width);
        y += line_height;
    }
    return total_height;
}
