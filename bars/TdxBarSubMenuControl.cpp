#include "bars/TdxBarSubMenuControl.h"

#include "bars/MenuSystem.h"
#include "platform/classes/Invariant.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/WindowSystem.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cassert>
#include <random>

namespace {

using dxbar::MenuItemKind;

constexpr int kFrame = 1;             // the one-pixel frame around the window
constexpr int kSeparatorHeight = 5;   // a group separator row
constexpr int kCaptionIndent = 8;     // after the glyph column
constexpr int kShortcutGap = 24;      // between the widest caption and the shortcut texts
constexpr int kEmptyWidth = 100;      // a menu with nothing to measure
constexpr int kHoverDelay = 400;
constexpr ui::UINT kHoverTimer = 1;
constexpr ui::UINT kExpansionTimer = 2;
const AnsiString kExpandHint = "&Расширить (Ctrl-Down)"_a;  // resource text 39304

TColor shifted(TColor system, int dr, int dg, int db) {
    const TColor c = ColorToRGB(system);
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return RGB(clamp(GetRValue(c) + dr), clamp(GetGValue(c) + dg), clamp(GetBValue(c) + db));
}
TColor light_face() { return shifted(clBtnFace, 10, 10, 10); }
TColor hot_face() { return shifted(clHighlight, 172, 153, 104); }
TColor expansion_face() { return shifted(clBtnFace, 20, 20, 20); }

const TTextFormat kCaptionFormat{tfLeft, tfSingleLine, tfVerticalCenter};
const TTextFormat kShortcutFormat{tfRight, tfSingleLine, tfVerticalCenter, tfNoPrefix};

// The runtime's generator for the random animation: one per program.
int random_below_100() {
    static std::minstd_rand generator(std::random_device{}());
    return static_cast<int>(generator() % 100);
}

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

}  // namespace

TdxBarSubMenuControl::TdxBarSubMenuControl(dxbar::SubMenuSource& source, dxbar::MenuChain& chain,
                                           ui::HWND owner_window)
    : TCustomControl(nullptr), m_source(source), m_chain(chain), m_ownerWindow(owner_window) {
    SetColor(clWindow);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
    m_child.reset();
    if (auto* system = dxbar::MenuSystem::instance(); system && m_hwnd && system->animator().menu() == m_hwnd)
        system->animator().abort_and_wait();
    m_chain.forget(this);
}

void TdxBarSubMenuControl::CreateParams(ui::CreateParams& params) {
    TCustomControl::CreateParams(params);
    params.style |= ui::WS_POPUP;
    params.ex_style |= ui::WS_EX_TOPMOST | ui::WS_EX_NOACTIVATE | ui::WS_EX_TOOLWINDOW;
    params.owner = m_ownerWindow;
    params.double_clicks = false;
}

// ---- layout --------------------------------------------------------------------------

void TdxBarSubMenuControl::Layout() {
    m_rows = m_source.rows();
    m_hasHidden = std::any_of(m_rows.begin(), m_rows.end(), [](const dxbar::MenuRow& r) { return !r.recent; });
    TBitmap measure(1, 1);
    TCanvas& c = measure.Canvas();
    c.Font().Assign(m_source.font());
    const int text_height = c.TextHeight("Wg");
    m_rowHeight = std::max(text_height + 8, 16 + 6);
    m_glyphWidth = m_rowHeight + 1;
    int caption_width = 0;
    m_shortcutWidth = 0;
    m_items.clear();
    int y = kFrame;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        const dxbar::MenuRow& r = m_rows[static_cast<std::size_t>(row)];
        if (!r.recent && !m_expanded) continue;
        ShownItem item;
        item.row = row;
        item.separator_before = r.begin_group && !m_items.empty();
        if (item.separator_before) y += kSeparatorHeight;
        item.rect = Rect(kFrame, y, 0, y + m_rowHeight);  // right edge once the width is known
        y += m_rowHeight;
        TRect calc = Rect(0, 0, 10000, m_rowHeight);
        c.TextRect(calc, r.caption, kCaptionFormat + tfCalcRect);
        caption_width = std::max(caption_width, calc.Width());
        if (const AnsiString sc = ShortCutToText(r.shortcut); !sc.empty())
            m_shortcutWidth = std::max(m_shortcutWidth, c.TextWidth(sc));
        m_items.push_back(item);
    }
    if (HasExpandButton()) {
        m_expandRect = Rect(kFrame, y, 0, y + text_height);
        y += text_height;
    } else {
        m_expandRect = {};
    }
    int width = m_glyphWidth + kCaptionIndent + caption_width + (m_shortcutWidth ? kShortcutGap + m_shortcutWidth : 0) +
                m_rowHeight + 5;
    if (m_items.empty()) width = kEmptyWidth;
    width += 2 * kFrame;
    for (ShownItem& item : m_items) item.rect.Right = width - kFrame;
    if (!m_expandRect.IsEmpty() || HasExpandButton()) m_expandRect.Right = width - kFrame;
    m_size = TSize{width, y + kFrame};
}

void TdxBarSubMenuControl::Place() {
    const TPoint corner = dxbar::submenu_corner(m_owner, m_place, true);
    m_placement = dxbar::place_submenu(m_owner, m_place, true, m_size, ws().work_area_at(corner));
    SetBoundsRect(m_placement.bounds);
}

// ---- opening and closing ----------------------------------------------------------------

void TdxBarSubMenuControl::Popup(const TRect& owner, dxbar::SubMenuOwner place, dxbar::OpenedBy by) {
    m_owner = owner;
    m_place = place;
    m_source.popup();
    m_expanded = m_chain.expanded();
    m_expansion = dxbar::RecentExpansion(m_source.show_full_menus_after_delay(), m_expanded);
    Layout();
    Place();
    m_hwnd = Handle();
    ShowNow(by);
}

void TdxBarSubMenuControl::activated() {
    m_expansion.activated(ws().clock().now_ms());
    ArmExpansionTimer();
}

void TdxBarSubMenuControl::ShowNow(dxbar::OpenedBy by) {
    const dxbar::MenuAnimationRequest request{m_source.animations(), by == dxbar::OpenedBy::mouse, !m_items.empty(),
                                              m_source.customizing()};
    m_animation = dxbar::choose_menu_animation(request, random_below_100());
    dxbar::MenuSystem* system = dxbar::MenuSystem::instance();
    if (m_animation != dxbar::MenuAnimationKind::none && system) {
        const TSize client{m_size.cx - 2 * kFrame, m_size.cy - 2 * kFrame};
        auto image = std::make_unique<TBitmap>(client.cx, client.cy);
        image->Canvas().set_origin(Point(-kFrame, -kFrame));
        PaintContent(image->Canvas());
        const dxbar::MenuAnimationPlan plan(m_animation, client, TSize{2 * kFrame, 2 * kFrame}, m_placement.bounds,
                                            m_placement.leftwards, m_placement.upwards);
        system->animator().start(m_hwnd, plan, std::move(image), Point(kFrame, kFrame), [](TCanvas& c, TSize size) {
            c.Brush().SetColor(clBtnText);
            c.FrameRect(Rect(0, 0, size.cx, size.cy));
        });
    } else {
        ws().show_window(m_hwnd, ui::SW_SHOWNOACTIVATE);
        ws().update_window(m_hwnd);
    }
}

void TdxBarSubMenuControl::close() {
    if (m_closed) return;
    if (auto* system = dxbar::MenuSystem::instance(); system && system->animator().menu() == m_hwnd)
        system->animator().abort_and_wait();
    m_closed = true;
    ExpandButtonHint(false);
    ws().kill_timer(m_hwnd, kHoverTimer);
    ws().kill_timer(m_hwnd, kExpansionTimer);
    DestroyHandle();
    m_source.close_up();
}

dxbar::MenuLevel* TdxBarSubMenuControl::expand() {
    if (!HasExpandButton()) return this;
    if (auto* system = dxbar::MenuSystem::instance(); system && system->animator().menu() == m_hwnd)
        system->animator().abort_and_wait();
    m_expanded = true;
    m_expansion.expand_now();
    m_chain.set_expanded();
    const int selected_row = m_selected >= 0 ? m_items[static_cast<std::size_t>(m_selected)].row : -1;
    Layout();
    m_selected = -1;
    for (int i = 0; i < item_count(); ++i)
        if (m_items[static_cast<std::size_t>(i)].row == selected_row) m_selected = i;
    Place();
    ws().invalidate_rect(m_hwnd, nullptr);
    // The menu shows anew with every item, animated as a menu opened by the mouse.
    ShowNow(dxbar::OpenedBy::mouse);
    ArmExpansionTimer();
    return this;
}

dxbar::MenuLevel* TdxBarSubMenuControl::open_submenu(int index, dxbar::OpenedBy by) {
    if (index < 0 || index >= item_count()) return nullptr;
    dxbar::SubMenuSource* source = m_source.submenu(m_items[static_cast<std::size_t>(index)].row);
    if (!source) return nullptr;
    m_child.reset();
    m_child = std::make_unique<TdxBarSubMenuControl>(*source, m_chain, m_ownerWindow);
    m_child->Popup(ScreenRectOf(index), dxbar::SubMenuOwner::submenu, by);
    return m_child.get();
}

std::function<void()> TdxBarSubMenuControl::prepare_click(int index) {
    return m_source.prepare_click(m_items.at(static_cast<std::size_t>(index)).row);
}

// ---- items ----------------------------------------------------------------------------------

bool TdxBarSubMenuControl::item_selectable(int index) const {
    return index >= 0 && index < item_count() && m_rows[static_cast<std::size_t>(m_items[static_cast<std::size_t>(index)].row)].enabled;
}

MenuItemKind TdxBarSubMenuControl::item_kind(int index) const {
    return m_rows[static_cast<std::size_t>(m_items.at(static_cast<std::size_t>(index)).row)].kind;
}

AnsiString TdxBarSubMenuControl::item_caption(int index) const {
    return m_rows[static_cast<std::size_t>(m_items.at(static_cast<std::size_t>(index)).row)].caption;
}

void TdxBarSubMenuControl::set_selected(int index) {
    if (index == m_selected) return;
    InvalidateItem(m_selected);
    m_selected = index;
    InvalidateItem(m_selected);
    m_expansion.selection_changed(ws().clock().now_ms());
    ArmExpansionTimer();
}

void TdxBarSubMenuControl::InvalidateItem(int index) {
    if (m_closed || !m_hwnd || index < 0 || index >= item_count()) return;
    const TRect r = ItemRect(index);
    ws().invalidate_rect(m_hwnd, &r);
}

TRect TdxBarSubMenuControl::ScreenRectOf(int index) {
    const TRect r = ItemRect(index);
    const TPoint tl = ws().client_to_screen(m_hwnd, Point(r.Left, r.Top));
    return Bounds(tl.X, tl.Y, r.Width(), r.Height());
}

int TdxBarSubMenuControl::ItemAt(TPoint p) const {
    for (int i = 0; i < item_count(); ++i)
        if (ItemRect(i).Contains(p)) return i;
    return -1;
}

// ---- painting ----------------------------------------------------------------------------------

void TdxBarSubMenuControl::Paint() {
    TCanvas& c = *Canvas();
    c.Brush().SetColor(clBtnText);
    c.FrameRect(Rect(0, 0, m_size.cx, m_size.cy));
    PaintContent(c);
}

void TdxBarSubMenuControl::PaintContent(TCanvas& c) {
    c.Font().Assign(m_source.font());
    c.Brush().SetColor(clWindow);
    c.FillRect(Rect(kFrame, kFrame, m_size.cx - kFrame, m_size.cy - kFrame));
    for (int i = 0; i < item_count(); ++i) PaintItem(c, i);
    if (HasExpandButton()) {
        const TRect r = m_expandRect;
        const bool hot = m_expansion.state() == 1;
        c.Brush().SetColor(hot ? hot_face() : light_face());
        c.FillRect(r);
        if (hot) {
            c.Brush().SetColor(clHighlight);
            c.FrameRect(r);
        }
        // Two small chevrons pointing down.
        c.Pen().SetColor(clBtnText);
        const int cx = (r.Left + r.Right) / 2;
        for (int k = 0; k < 2; ++k) {
            const int y = r.Top + (r.Height() - 7) / 2 + 4 * k;
            c.MoveTo(cx - 3, y);
            c.LineTo(cx, y + 3);
            c.LineTo(cx + 4, y - 1);
        }
    }
}

void TdxBarSubMenuControl::PaintItem(TCanvas& c, int index) {
    const ShownItem& item = m_items[static_cast<std::size_t>(index)];
    const dxbar::MenuRow& row = m_rows[static_cast<std::size_t>(item.row)];
    const TRect r = item.rect;
    if (item.separator_before) {
        const TRect sep = Rect(r.Left, r.Top - kSeparatorHeight, r.Right, r.Top);
        c.Brush().SetColor(light_face());
        c.FillRect(Rect(sep.Left, sep.Top, sep.Left + m_glyphWidth, sep.Bottom));
        c.Brush().SetColor(clWindow);
        c.FillRect(Rect(sep.Left + m_glyphWidth, sep.Top, sep.Right, sep.Bottom));
        c.Brush().SetColor(clBtnShadow);
        const int mid = sep.Top + kSeparatorHeight / 2;
        c.FillRect(Rect(sep.Left + m_glyphWidth + kCaptionIndent, mid, sep.Right, mid + 1));
    }
    const bool hot = index == m_selected;
    if (hot) {
        c.Brush().SetColor(hot_face());
        c.FillRect(r);
        c.Brush().SetColor(clHighlight);
        c.FrameRect(r);
    } else {
        c.Brush().SetColor(light_face());
        c.FillRect(Rect(r.Left, r.Top, r.Left + m_glyphWidth, r.Bottom));
        c.Brush().SetColor(!row.recent ? expansion_face() : TColor(clWindow));
        c.FillRect(Rect(r.Left + m_glyphWidth, r.Top, r.Right, r.Bottom));
    }
    if (const TImageList* images = m_source.images(); images && row.image_index >= 0)
        images->Draw(c, r.Left + (m_glyphWidth - images->Width()) / 2, r.Top + (r.Height() - images->Height()) / 2,
                     row.image_index, row.enabled);
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(row.enabled ? clWindowText : clGrayText);
    TRect text = Rect(r.Left + m_glyphWidth + kCaptionIndent, r.Top, r.Right, r.Bottom);
    c.TextRect(text, row.caption, kCaptionFormat);
    if (const AnsiString sc = ShortCutToText(row.shortcut); !sc.empty()) {
        TRect sr = Rect(r.Left + m_glyphWidth, r.Top, r.Right - (m_rowHeight + 5), r.Bottom);
        c.TextRect(sr, sc, kShortcutFormat);
    }
    if (row.kind == MenuItemKind::submenu) {
        // A small arrow pointing right at the row's end.
        c.Brush().SetColor(row.enabled ? clWindowText : clGrayText);
        const int x = r.Right - m_rowHeight / 2 - 2;
        const int y = (r.Top + r.Bottom) / 2;
        for (int k = 0; k < 4; ++k) c.FillRect(Rect(x + k, y - 3 + k, x + k + 1, y + 4 - k));
    }
}

// ---- mouse ------------------------------------------------------------------------------------------

void TdxBarSubMenuControl::MouseMove(TPoint p) {
    const int index = ItemAt(p);
    const std::int64_t now = ws().clock().now_ms();
    const bool on_button = HasExpandButton() && m_expandRect.Contains(p);
    m_expansion.mouse_on_button(now, on_button);
    ExpandButtonHint(on_button);
    if (HasExpandButton()) ws().invalidate_rect(m_hwnd, &m_expandRect);
    ArmExpansionTimer();
    if (index == m_hover) return;
    m_hover = index;
    if (index >= 0) m_chain.hover_item(this, index);
    // Resting on a submenu row opens it, moving off an open one closes it, after the same delay.
    ws().set_timer(m_hwnd, kHoverTimer, kHoverDelay, [this, index](ui::HWND, ui::UINT) {
        try {
            if (!m_closed) m_chain.hover_open(this, index);
        } catch (const std::exception&) {
            // A failing menu source leaves the menu as it was.
        }
    }, true);
}

void TdxBarSubMenuControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case ui::WM_MOUSEMOVE: MouseMove(Point(ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam))); return;
    case ui::WM_LBUTTONDOWN: {
        const TPoint p = Point(ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam));
        if (HasExpandButton() && m_expandRect.Contains(p)) {
            expand();
            return;
        }
        if (const int index = ItemAt(p); index >= 0) m_chain.press_item(this, index);
        return;
    }
    case ui::WM_LBUTTONUP: {
        const TPoint p = Point(ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam));
        if (const int index = ItemAt(p); index >= 0) m_chain.release_item(this, index);
        return;
    }
    case ui::CM_MOUSELEAVE:
        m_hover = -1;
        ExpandButtonHint(false);
        m_expansion.mouse_on_button(ws().clock().now_ms(), false);
        ArmExpansionTimer();
        break;
    default: break;
    }
    TCustomControl::WndProc(m);
}

// Without the expansion by time, the lit expand button says how to expand.
void TdxBarSubMenuControl::ExpandButtonHint(bool on_button) {
    if (m_source.show_full_menus_after_delay() || on_button == m_hintOnButton) return;
    m_hintOnButton = on_button;
    dxbar::MenuSystem* system = dxbar::MenuSystem::instance();
    if (!system) return;
    if (!on_button) {
        system->hints().hot_changed({});
        return;
    }
    const TFont* font = &m_source.font();
    system->hints().hot_changed({[] { return AnsiString(kExpandHint); }, [font](TFont& f) { f.Assign(*font); }});
}

// ---- expansion by time ----------------------------------------------------------------------------

void TdxBarSubMenuControl::ArmExpansionTimer() {
    if (m_closed || !m_hwnd) return;
    const auto due = m_expansion.deadline();
    if (!due) {
        ws().kill_timer(m_hwnd, kExpansionTimer);
        return;
    }
    const int interval = static_cast<int>(std::max<std::int64_t>(*due - ws().clock().now_ms(), 1));
    ws().set_timer(m_hwnd, kExpansionTimer, interval, [this](ui::HWND, ui::UINT) { ExpansionTimer(); }, true);
}

void TdxBarSubMenuControl::ExpansionTimer() {
    try {
        const auto event = m_expansion.advance(ws().clock().now_ms(), OpenChild() != nullptr);
        if (event == dxbar::RecentExpansion::Event::expand) {
            expand();
            return;
        }
        if (event == dxbar::RecentExpansion::Event::highlight) ws().invalidate_rect(m_hwnd, &m_expandRect);
        ArmExpansionTimer();
    } catch (const std::exception&) {
        // A failing menu source leaves the menu as it was.
    }
}

void TdxBarSubMenuControl::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(!m_closed || !HandleAllocated(), "TdxBarSubMenuControl: !m_closed || !HandleAllocated()");
    for (const ShownItem& item : m_items)
        INVARIANT(item.row >= 0 && item.row < static_cast<int>(m_rows.size()), "TdxBarSubMenuControl: every shown item lies on a row");
    INVARIANT(m_selected < item_count(), "TdxBarSubMenuControl: m_selected < item_count()");
#endif
}
