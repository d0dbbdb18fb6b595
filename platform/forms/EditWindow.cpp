#include "platform/forms/EditWindow.h"

#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace forms {

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

AnsiString& clipboard() {
    static AnsiString text;
    return text;
}

class EditWindow {
public:
    explicit EditWindow(std::uint32_t style) : m_measure(1, 1) {
        m_buffer.set_read_only((style & ES_READONLY) != 0);
        if (style & ES_PASSWORD) m_password_char = '*';
        m_font.SetName("MS Sans Serif");
    }

    ui::LRESULT proc(ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l);
    // The text the window is created with: no change to report.
    void init(ui::HWND h, std::string_view text) {
        m_hwnd = h;
        m_buffer.set_text(text);
    }

private:
    bool ctrl() const { return ws().get_key_state(ui::VK_CONTROL) < 0; }
    // What is drawn and measured: the text, or one mask character for each of its characters.
    std::string shown() const {
        return m_password_char ? std::string(m_buffer.text().size(), m_password_char) : std::string(m_buffer.text());
    }
    bool shift() const { return ws().get_key_state(ui::VK_SHIFT) < 0; }
    TRect format_rect() const;
    int text_x(int pos);
    int pos_at(int x);
    void keep_caret_visible();
    void changed();
    void redraw() { ws().invalidate_rect(m_hwnd, nullptr); }
    void paint();
    bool key_down(int vk);
    void copy();
    bool cut();
    bool paste();

    ui::HWND m_hwnd = ui::kNoWindow;
    EditBuffer m_buffer;
    TFont m_font;
    TBitmap m_measure;
    int m_left_margin = 1;
    int m_right_margin = 1;
    bool m_has_rect = false;  // a formatting rectangle was set
    TRect m_rect;
    int m_scroll = 0;  // pixels of text scrolled out at the left
    bool m_dragging = false;
    char m_password_char = 0;
};

TRect EditWindow::format_rect() const {
    if (m_has_rect) return m_rect;
    TRect r = ws().get_client_rect(m_hwnd);
    r.Left += m_left_margin;
    r.Right -= m_right_margin;
    return r;
}

int EditWindow::text_x(int pos) {
    m_measure.Canvas().Font().Assign(m_font);
    const std::string text = shown();
    return format_rect().Left - m_scroll + m_measure.Canvas().TextWidth(std::string_view(text).substr(0, static_cast<std::size_t>(pos)));
}

int EditWindow::pos_at(int x) {
    m_measure.Canvas().Font().Assign(m_font);
    const std::vector<int> widths = m_measure.Canvas().CharWidths(shown());
    int edge = format_rect().Left - m_scroll;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        // Nearer the character's right half: after it.
        if (x < edge + (widths[i] + 1) / 2) return static_cast<int>(i);
        edge += widths[i];
    }
    return static_cast<int>(widths.size());
}

void EditWindow::keep_caret_visible() {
    const TRect r = format_rect();
    const int x = text_x(m_buffer.caret());
    if (x < r.Left)
        m_scroll -= r.Left - x;
    else if (x >= r.Right)
        m_scroll += x - r.Right + 1;
    m_scroll = std::max(m_scroll, 0);
}

void EditWindow::changed() {
    keep_caret_visible();
    redraw();
    const ui::HWND parent = ws().get_parent(m_hwnd);
    if (parent != ui::kNoWindow)
        ws().send_message(parent, ui::WM_COMMAND, ui::make_wparam(ws().get_window_id(m_hwnd), ui::EN_CHANGE),
                          static_cast<ui::LPARAM>(m_hwnd));
}

void EditWindow::copy() {
    if (m_buffer.has_selection() && !m_password_char) set_clipboard_text(m_buffer.selected_text());
}

bool EditWindow::cut() {
    if (m_buffer.read_only() || !m_buffer.has_selection() || m_password_char) return false;
    copy();
    return m_buffer.delete_selection();
}

bool EditWindow::paste() { return m_buffer.paste(clipboard_text()); }

bool EditWindow::key_down(int vk) {
    const bool c = ctrl(), s = shift();
    bool text_changed = false;
    switch (vk) {
    case ui::VK_LEFT: m_buffer.move(c ? EditBuffer::Move::WordLeft : EditBuffer::Move::CharLeft, s); break;
    case ui::VK_RIGHT: m_buffer.move(c ? EditBuffer::Move::WordRight : EditBuffer::Move::CharRight, s); break;
    case ui::VK_HOME: m_buffer.move(EditBuffer::Move::Home, s); break;
    case ui::VK_END: m_buffer.move(EditBuffer::Move::End, s); break;
    case ui::VK_BACK:
        text_changed = m_buffer.backspace();
        break;
    case ui::VK_DELETE:
        if (s && !c)
            text_changed = cut();
        else
            text_changed = m_buffer.delete_forward();
        break;
    case ui::VK_INSERT:
        if (c && !s)
            copy();
        else if (s && !c)
            text_changed = paste();
        else
            return false;
        break;
    case 'C':
        if (!c) return false;
        copy();
        break;
    case 'V':
        if (!c) return false;
        text_changed = paste();
        break;
    case 'X':
        if (!c) return false;
        text_changed = cut();
        break;
    case 'A':
        if (!c) return false;
        m_buffer.select_all();
        break;
    default: return false;
    }
    if (text_changed)
        changed();
    else {
        keep_caret_visible();
        redraw();
    }
    return true;
}

void EditWindow::paint() {
    ui::PaintStruct ps;
    TCanvas& canvas = ws().begin_paint(m_hwnd, ps);
    EditColors colors;
    if (m_buffer.read_only()) colors.background = clBtnFace;
    const ui::HWND parent = ws().get_parent(m_hwnd);
    if (parent != ui::kNoWindow) {
        EditColors asked = colors;
        if (ws().send_message(parent, WM_CTLCOLOREDIT, static_cast<ui::WPARAM>(m_hwnd), reinterpret_cast<ui::LPARAM>(&asked)))
            colors = asked;
    }
    const TRect client = ws().get_client_rect(m_hwnd);
    canvas.Brush().SetColor(colors.background);
    canvas.FillRect(client);

    const TRect r = format_rect();
    canvas.IntersectClipRect(r);
    canvas.Font().Assign(m_font);
    canvas.Font().SetColor(colors.text);
    canvas.Brush().SetStyle(bsClear);
    const std::string text = shown();
    canvas.TextOut(r.Left - m_scroll, r.Top, text);
    const bool focused = ws().get_focus() == m_hwnd;
    if (focused && m_buffer.has_selection()) {
        const int from = text_x(m_buffer.sel_start());
        const int to = text_x(m_buffer.sel_end());
        const int height = canvas.TextHeight("Wg");
        canvas.Brush().SetColor(clHighlight);
        canvas.FillRect(TRect{from, r.Top, to, r.Top + height});
        canvas.Font().SetColor(clHighlightText);
        canvas.Brush().SetStyle(bsClear);
        canvas.TextOut(from, r.Top, text.substr(static_cast<std::size_t>(m_buffer.sel_start()),
                                                static_cast<std::size_t>(m_buffer.sel_end() - m_buffer.sel_start())));
    }
    if (focused) {
        // The caret: a line one pixel wide, as tall as the text.
        const int x = text_x(m_buffer.caret());
        canvas.Brush().SetColor(colors.text);
        canvas.InvertRect(TRect{x, r.Top, x + 1, r.Top + canvas.TextHeight("Wg")});
    }
    canvas.Brush().SetStyle(bsSolid);
    ws().end_paint(m_hwnd, ps);
}

ui::LRESULT EditWindow::proc(ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
    m_hwnd = h;
    switch (msg) {
    case ui::WM_SETTEXT: {
        const auto* text = reinterpret_cast<const char*>(l);
        m_buffer.set_text(text ? std::string_view(text) : std::string_view());
        ws().def_window_proc(h, msg, w, l);
        m_scroll = 0;
        changed();  // the window reports every setting of its text, equal or not
        return 1;
    }
    case WM_GETTEXT: {
        auto* out = reinterpret_cast<char*>(l);
        if (!out || w == 0) return 0;
        const std::size_t n = std::min<std::size_t>(m_buffer.text().size(), w - 1);
        std::memcpy(out, m_buffer.text().data(), n);
        out[n] = '\0';
        return static_cast<ui::LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<ui::LRESULT>(m_buffer.text().size());
    case WM_SETFONT:
        if (const auto* font = reinterpret_cast<const TFont*>(w)) m_font.Assign(*font);
        if (l) redraw();
        return 0;
    case WM_GETFONT: return reinterpret_cast<ui::LRESULT>(&m_font);
    case EM_SETSEL:
        m_buffer.select(static_cast<int>(static_cast<ui::LPARAM>(w)), static_cast<int>(l));
        keep_caret_visible();
        redraw();
        return 0;
    case EM_GETSEL: return ui::make_lparam(m_buffer.sel_start(), m_buffer.sel_end());
    case EM_REPLACESEL: {
        const auto* text = reinterpret_cast<const char*>(l);
        const bool was = m_buffer.read_only();
        m_buffer.set_read_only(false);  // replacing by message works on a read-only window too
        bool any = m_buffer.delete_selection();
        if (text && *text) any = m_buffer.paste(text) || any;
        m_buffer.set_read_only(was);
        if (any) changed();
        return 0;
    }
    case EM_LIMITTEXT: m_buffer.set_limit(static_cast<int>(w)); return 0;
    case EM_GETLIMITTEXT: return m_buffer.limit();
    case EM_SETPASSWORDCHAR: m_password_char = static_cast<char>(w); redraw(); return 0;
    case EM_SETREADONLY: m_buffer.set_read_only(w != 0); redraw(); return 1;
    case EM_SETMARGINS:
        if (w & EC_LEFTMARGIN) m_left_margin = ui::loword(static_cast<std::uintptr_t>(l));
        if (w & EC_RIGHTMARGIN) m_right_margin = ui::hiword(static_cast<std::uintptr_t>(l));
        keep_caret_visible();
        redraw();
        return 0;
    case EM_GETMARGINS: return ui::make_lparam(m_left_margin, m_right_margin);
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (const auto* r = reinterpret_cast<const TRect*>(l)) {
            m_rect = *r;
            m_has_rect = true;
        } else {
            m_has_rect = false;
        }
        keep_caret_visible();
        if (msg == EM_SETRECT) redraw();
        return 0;
    case EM_GETRECT:
        if (auto* r = reinterpret_cast<TRect*>(l)) *r = format_rect();
        return 0;
    case WM_CUT:
        if (cut()) changed();
        return 0;
    case WM_COPY: copy(); return 0;
    case WM_PASTE:
        if (paste()) changed();
        return 0;
    case WM_CLEAR:
        if (m_buffer.delete_selection()) changed();
        return 0;
    case ui::WM_KEYDOWN:
        if (key_down(static_cast<int>(w))) return 0;
        return ws().def_window_proc(h, msg, w, l);
    case ui::WM_CHAR: {
        const char c = static_cast<char>(w);
        bool text_changed = false;
        // Backspace and the control characters of Ctrl+letter keys were handled as keys.
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            const bool full = !m_buffer.read_only() &&
                              static_cast<long>(m_buffer.text().size()) - (m_buffer.sel_end() - m_buffer.sel_start()) >= m_buffer.limit();
            text_changed = m_buffer.type_char(c);
            if (full) {
                const ui::HWND parent = ws().get_parent(h);
                if (parent != ui::kNoWindow)
                    ws().send_message(parent, ui::WM_COMMAND, ui::make_wparam(ws().get_window_id(h), EN_MAXTEXT),
                                      static_cast<ui::LPARAM>(h));
            }
        }
        if (text_changed) changed();
        return 0;
    }
    case ui::WM_LBUTTONDOWN: {
        if (ws().get_focus() != h) ws().set_focus(h);
        m_buffer.set_caret(pos_at(ui::get_x_lparam(l)), (w & ui::MK_SHIFT) != 0);
        m_dragging = true;
        ws().set_capture(h);
        keep_caret_visible();
        redraw();
        return 0;
    }
    case ui::WM_LBUTTONDBLCLK:
        m_buffer.select_word_at(pos_at(ui::get_x_lparam(l)));
        keep_caret_visible();
        redraw();
        return 0;
    case ui::WM_MOUSEMOVE:
        if (m_dragging) {
            m_buffer.set_caret(pos_at(ui::get_x_lparam(l)), true);
            keep_caret_visible();
            redraw();
        }
        return ws().def_window_proc(h, msg, w, l);
    case ui::WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            if (ws().get_capture() == h) ws().release_capture();
        }
        return 0;
    case ui::WM_CAPTURECHANGED: m_dragging = false; return 0;
    case ui::WM_SETFOCUS:
    case ui::WM_KILLFOCUS: {
        redraw();
        const ui::HWND parent = ws().get_parent(h);
        if (parent != ui::kNoWindow)
            ws().send_message(parent, ui::WM_COMMAND,
                              ui::make_wparam(ws().get_window_id(h), msg == ui::WM_SETFOCUS ? ui::EN_SETFOCUS : ui::EN_KILLFOCUS),
                              static_cast<ui::LPARAM>(h));
        return ws().def_window_proc(h, msg, w, l);
    }
    case ui::WM_SIZE:
        keep_caret_visible();
        return ws().def_window_proc(h, msg, w, l);
    case ui::WM_PAINT: paint(); return 0;
    default: return ws().def_window_proc(h, msg, w, l);
    }
}

std::map<ui::HWND, std::unique_ptr<EditWindow>>& edit_windows() {
    static std::map<ui::HWND, std::unique_ptr<EditWindow>> windows;
    return windows;
}

}  // namespace

ui::HWND create_edit_window(const ui::CreateParams& params) {
    auto edit = std::make_unique<EditWindow>(params.style);
    EditWindow* raw = edit.get();
    ui::CreateParams p = params;
    p.proc = [raw](ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) -> ui::LRESULT {
        if (msg == ui::WM_NCDESTROY) {
            const ui::LRESULT r = ws().def_window_proc(h, msg, w, l);
            edit_windows().erase(h);  // frees raw: nothing after this line may touch it
            return r;
        }
        return raw->proc(h, msg, w, l);
    };
    const ui::HWND h = ws().create_window(p);
    if (h == ui::kNoWindow) return h;
    edit_windows()[h] = std::move(edit);
    raw->init(h, params.text);
    return h;
}

AnsiString clipboard_text() {
    // The system's clipboard when there is one, so text copied in other programs pastes too.
    return ui::WindowSystem::exists() ? ws().clipboard_text() : clipboard();
}

void set_clipboard_text(const AnsiString& text) {
    clipboard() = text;
    if (ui::WindowSystem::exists()) ws().set_clipboard_text(text);
}

}  // namespace forms
