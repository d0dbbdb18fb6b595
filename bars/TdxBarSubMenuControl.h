// The popup window of an open submenu: its rows stacked top to bottom with a
// glyph column, captions and shortcut texts, group separators, an arrow on
// submenu rows and, while less used commands are hidden, an expand button
// at the bottom. It places itself next to its owner inside the work area,
// comes up animated when opened by the mouse, takes part in the chain of
// menus as one level, and opens nested menus from its submenu rows.
//
// The window never takes the focus; keys reach it through the chain.
//
// Invariants: the item rectangles follow the shown rows one to one; a menu
// is closed at most once; a closed menu has no window.
#pragma once

#include "bars/MenuAnimation.h"
#include "bars/MenuChain.h"
#include "bars/RecentExpansion.h"
#include "bars/SubMenuPlacement.h"
#include "bars/SubMenuSource.h"
#include "platform/forms/TCustomControl.h"

#include <memory>
#include <vector>

class TdxBarSubMenuControl : public TCustomControl, public dxbar::MenuLevel {
public:
    TdxBarSubMenuControl(dxbar::SubMenuSource& source, dxbar::MenuChain& chain, ui::HWND owner_window);
    ~TdxBarSubMenuControl() override;

    // Opens the menu next to its owner (screen coordinates).
    void Popup(const TRect& owner, dxbar::SubMenuOwner place, dxbar::OpenedBy by);

    bool Closed() const { return m_closed; }
    dxbar::MenuAnimationKind LastAnimation() const { return m_animation; }
    const dxbar::SubMenuPlacement& Placement() const { return m_placement; }
    bool HasExpandButton() const { return m_hasHidden && !m_expanded; }
    // The rectangle of a shown item, window coordinates.
    TRect ItemRect(int index) const { return m_items.at(static_cast<std::size_t>(index)).rect; }
    // The menu opened from one of this menu's rows, while open.
    TdxBarSubMenuControl* OpenChild() const { return m_child && !m_child->Closed() ? m_child.get() : nullptr; }
    // The shown item at a window point, -1 for none.
    int ItemAt(TPoint p) const;

    // ---- MenuLevel --------------------------------------------------------------
    int item_count() const override { return static_cast<int>(m_items.size()); }
    bool item_selectable(int index) const override;
    dxbar::MenuItemKind item_kind(int index) const override;
    AnsiString item_caption(int index) const override;
    int selected() const override { return m_selected; }
    void set_selected(int index) override;
    bool is_bar() const override { return false; }
    ui::HWND window() const override { return m_closed ? ui::kNoWindow : m_hwnd; }
    MenuLevel* open_submenu(int index, dxbar::OpenedBy by) override;
    void close() override;
    std::function<void()> prepare_click(int index) override;
    bool can_expand() const override { return HasExpandButton(); }
    MenuLevel* expand() override;
    void activated() override;

    void check_invariants() const;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void Paint() override;
    void WndProc(TMessage& message) override;

private:
    struct ShownItem {
        int row = 0;        // index in the source's rows
        TRect rect;         // window coordinates
        bool separator_before = false;
    };

    void Layout();
    void Place();
    void ShowNow(dxbar::OpenedBy by);
    void PaintContent(TCanvas& canvas);
    void PaintItem(TCanvas& canvas, int index);
    void InvalidateItem(int index);
    TRect ScreenRectOf(int index);
    void MouseMove(TPoint p);
    void ExpandButtonHint(bool on_button);
    void ArmExpansionTimer();
    void ExpansionTimer();

    dxbar::SubMenuSource& m_source;
    dxbar::MenuChain& m_chain;
    ui::HWND m_ownerWindow;
    ui::HWND m_hwnd = ui::kNoWindow;
    std::vector<dxbar::MenuRow> m_rows;
    std::vector<ShownItem> m_items;
    TRect m_expandRect;
    bool m_hasHidden = false;
    bool m_expanded = false;
    dxbar::RecentExpansion m_expansion{true, false};
    int m_selected = -1;
    int m_hover = -1;
    bool m_hintOnButton = false;
    bool m_closed = false;
    TRect m_owner;
    dxbar::SubMenuOwner m_place = dxbar::SubMenuOwner::horizontal_bar;
    dxbar::SubMenuPlacement m_placement;
    TSize m_size;
    int m_rowHeight = 22;
    int m_glyphWidth = 23;
    int m_shortcutWidth = 0;
    dxbar::MenuAnimationKind m_animation = dxbar::MenuAnimationKind::none;
    std::unique_ptr<TdxBarSubMenuControl> m_child;
};
