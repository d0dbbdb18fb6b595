// Items: the commands of the bars. An item is a component of the form and
// registers with the form's bar manager; it is shown through links (a bar
// holds links, not items), so one item may appear in several places, and
// each shown link gets an item control of the class the item chooses.
//
// Invariants (check_invariants):
//  - every link in Links() names this item, and its collection belongs to Manager();
//  - ClickedLink() is set only while a click runs.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/classes/TComponent.h"
#include "platform/forms/TWinControl.h"

#include <memory>
#include <vector>

class TCustomdxBarControl;

class TdxBarItem : public TComponent {
public:
    explicit TdxBarItem(TComponent* AOwner);
    ~TdxBarItem() override;

    TdxBarManager* BarManager() const { return m_manager; }
    // Attaches the item to a manager (a stored item: the manager it is stored under).
    void SetBarManager(TdxBarManager* value);

    TdxBarItemAlign Align() const { return m_align; }
    void SetAlign(TdxBarItemAlign value);
    const AnsiString& Caption() const { return m_caption; }
    void SetCaption(const AnsiString& value);
    int Category() const { return m_category; }
    void SetCategory(int value) { m_category = value; }
    const AnsiString& Description() const { return m_description; }
    void SetDescription(const AnsiString& value) { m_description = value; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int value) { m_helpContext = value; }
    const AnsiString& Hint() const { return m_hint; }
    void SetHint(const AnsiString& value) { m_hint = value; }
    TdxBarItemVisible Visible() const { return m_visible; }
    void SetVisible(TdxBarItemVisible value);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int value);
    // Key code plus 8192 for Shift, 16384 for Ctrl, 32768 for Alt; 0 for none.
    int ShortCut() const { return m_shortCut; }
    void SetShortCut(int value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDestroy;

    // ---- run-time ----------------------------------------------------------------
    int LinkCount() const { return static_cast<int>(m_links.size()); }
    TdxBarItemLink* Links(int index) const { return m_links.at(static_cast<std::size_t>(index)); }
    TdxBarItemLink* ClickedLink() const { return m_clickedLink; }

    // Visible considering the manager's customizing mode.
    bool IsVisible() const;
    // Enabled, or draggable in customizing mode.
    bool IsEnabled() const;

    // Runs the click of a shown link: closes menus, runs OnClickItem and the item's handler.
    virtual void DoClick(TdxBarItemLink* link, bool byMouse);
    // The click from the handlers on (also what a shortcut runs, with no link):
    // OnClickItem and the handler, with the clicked link set; exceptions go to
    // the application, the bars stay usable.
    void RunClick(TdxBarItemLink* link);
    // The class of control that shows a link of this item in a bar window.
    virtual std::unique_ptr<TdxBarItemControl> CreateItemControl(TdxBarItemLink* link, TCustomdxBarControl* bar,
                                                                 bool vertical);
    // Whether the item's links take part in keyboard selection.
    virtual bool CanSelect() const { return true; }

    // Re-measures, repaints and re-lays out every shown link.
    void Changed();
    // Rebuilds the lists of every collection that links the item.
    void VisibilityChanged();

    void check_invariants() const;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Storing() const;  // loading: setters only store
    // The item's own handler after OnClickItem.
    virtual void RunHandler();
    // Marks the link used, closes the open menus and ends keyboard mode.
    void CloseMenus(TdxBarItemLink* link);

private:
    friend class TdxBarItemLink;
    friend class TdxBarManager;
    void AddLink(TdxBarItemLink* link);
    void RemoveLink(TdxBarItemLink* link);

    TdxBarManager* m_manager = nullptr;
    TdxBarItemAlign m_align = iaLeft;
    AnsiString m_caption;
    int m_category = -1;
    AnsiString m_description;
    bool m_enabled = true;
    int m_helpContext = 0;
    AnsiString m_hint;
    TdxBarItemVisible m_visible = ivAlways;
    int m_imageIndex = -1;
    int m_shortCut = 0;
    std::vector<TdxBarItemLink*> m_links;
    TdxBarItemLink* m_clickedLink = nullptr;
};

class TdxBarButton : public TdxBarItem {
public:
    explicit TdxBarButton(TComponent* AOwner);

    TdxBarButtonStyle ButtonStyle() const { return m_buttonStyle; }
    void SetButtonStyle(TdxBarButtonStyle value);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool value) { m_allowAllUp = value; }
    bool CloseSubMenuOnClick() const { return m_closeSubMenuOnClick; }
    void SetCloseSubMenuOnClick(bool value) { m_closeSubMenuOnClick = value; }
    bool Down() const { return m_down; }
    void SetDown(bool value);
    bool DropDownEnabled() const { return m_dropDownEnabled; }
    void SetDropDownEnabled(bool value) { m_dropDownEnabled = value; }
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value) { m_groupIndex = value; }
    bool Lowered() const { return m_lowered; }
    void SetLowered(bool value) { m_lowered = value; }
    TdxBarPaintStyle PaintStyle() const { return m_paintStyle; }
    void SetPaintStyle(TdxBarPaintStyle value);
    bool UnclickAfterDoing() const { return m_unclickAfterDoing; }
    void SetUnclickAfterDoing(bool value) { m_unclickAfterDoing = value; }

    void DoClick(TdxBarItemLink* link, bool byMouse) override;

private:
    TdxBarButtonStyle m_buttonStyle = bsDefault;
    bool m_allowAllUp = false;
    bool m_closeSubMenuOnClick = true;
    bool m_down = false;
    bool m_dropDownEnabled = true;
    int m_groupIndex = 0;
    bool m_lowered = false;
    TdxBarPaintStyle m_paintStyle = psStandard;
    bool m_unclickAfterDoing = true;
};

// An item with a text and a child edit window while it is shown in a bar.
class TdxBarWindowItem : public TdxBarItem {
public:
    using TdxBarItem::TdxBarItem;

    // The committed text: typing does not change it, Enter and Tab do.
    const AnsiString& Text() const { return m_text; }
    void SetText(const AnsiString& value);
    // What the user sees now: the live contents of an active box, else Text.
    AnsiString CurText() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnCurChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    // Keys typed into the edit window, before it sees them; zero swallows.
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // The control whose box is active now, if any.
    TdxBarEditControl* ActiveControl() const;

    bool CanSelect() const override { return true; }

private:
    AnsiString m_text;
};

class TdxBarEdit : public TdxBarWindowItem {
public:
    explicit TdxBarEdit(TComponent* AOwner);

    // Width of the box; clamped to 20..600.
    int Width() const { return m_width; }
    void SetWidth(int value);
    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool value);
    // Character limit of the edit window; 0 is none, below 0 is stored as 0.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }

    std::unique_ptr<TdxBarItemControl> CreateItemControl(TdxBarItemLink* link, TCustomdxBarControl* bar,
                                                         bool vertical) override;

private:
    int m_width = 100;
    bool m_showCaption = false;
    int m_maxLength = 0;
    bool m_readOnly = false;
};

class TCustomdxBarSubItem : public TdxBarItem {
public:
    explicit TCustomdxBarSubItem(TComponent* AOwner);
    ~TCustomdxBarSubItem() override;

    // The links of the submenu.
    TdxBarItemLinks& ItemLinks() { return *m_itemLinks; }
    // Whether this submenu contains `item`, directly or through nested submenus.
    bool Contains(const TdxBarItem* item) const;

    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool value) { m_showCaption = value; }

    TNotifyEvent OnPopup;
    TNotifyEvent OnCloseUp;

    std::unique_ptr<TdxBarItemControl> CreateItemControl(TdxBarItemLink* link, TCustomdxBarControl* bar,
                                                         bool vertical) override;

protected:
    void RunHandler() override;

private:
    std::unique_ptr<TdxBarItemLinks> m_itemLinks;
    bool m_showCaption = true;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
public:
    using TCustomdxBarSubItem::TCustomdxBarSubItem;

    int BarSize() const { return m_barSize; }
    void SetBarSize(int value) { m_barSize = value; }
    bool Detachable() const { return m_detachable; }
    void SetDetachable(bool value) { m_detachable = value; }
    int DetachingBar() const { return m_detachingBar; }
    void SetDetachingBar(int value) { m_detachingBar = value; }
    bool AllowCustomizing() const { return m_allowCustomizing; }
    void SetAllowCustomizing(bool value) { m_allowCustomizing = value; }

private:
    int m_barSize = 0;
    bool m_detachable = false;
    int m_detachingBar = -1;
    bool m_allowCustomizing = true;
};
