// The bar manager: one per form, owner of the form's menus and toolbars.
//
// It owns its categories, its bars (and through them the bar windows, the
// four edge dock sites and the links with their item controls); the items
// are the form's components and register with it. Every live manager is in
// the process-wide TdxBarManagerList, which also holds what all managers of
// the GUI thread share (the window-procedure hook that tells a manager about
// its form, and the edit box being edited).
//
// A form's layout makes them in stored order through its LayoutReader: the
// manager first (its setters, Categories and DockControlHeights only store
// while it loads), then the items with the form as owner (they attach to the
// form's manager), then Bars().Add() with the bars' properties and
// ItemLinks().Add(item) for their links; the manager's loaded step reads the
// layout file and shows the visible bars in their docks.
//
// Invariants (check_invariants):
//  - the owner is a form, and no other manager of the list has the same form;
//  - at most one bar is the main menu, and it is MainMenuBar();
//  - every registered item names this manager;
//  - the list holds this manager exactly once while it lives.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/classes/ComponentLink.h"
#include "platform/classes/TComponent.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"

#include <array>
#include <memory>
#include <vector>

class TCustomForm;
class TImageList;
class TCanvas;

// Category names, each with its items-visible value and its Visible flag.
class TdxBarManagerCategories {
public:
    explicit TdxBarManagerCategories(TdxBarManager& manager);

    int Count() const { return static_cast<int>(m_entries.size()); }
    const AnsiString& Strings(int index) const { return m_entries.at(static_cast<std::size_t>(index)).name; }
    int Add(const AnsiString& name);
    void Insert(int index, const AnsiString& name);
    void Delete(int index);
    void Clear() { m_entries.clear(); }
    int IndexOf(const AnsiString& name) const;

    // Changing it sets every item of the category whose Visible equalled the old value.
    TdxBarItemVisible ItemsVisibles(int index) const;
    void SetItemsVisibles(int index, TdxBarItemVisible value);
    bool Visibles(int index) const;
    void SetVisibles(int index, bool value);

    // What the stored lists "ItemsVisibles" and "Visibles" give; applied in
    // the manager's loaded step. Reading stops at the end of either list.
    void ReadItemsVisibles(const std::vector<int>& values);
    void ReadVisibles(const std::vector<bool>& values);
    void ApplyLoadedItemsVisibles();

private:
    struct Entry {
        AnsiString name;
        TdxBarItemVisible itemsVisible = ivAlways;
        TdxBarItemVisible loadedItemsVisible = ivAlways;  // the copy slot used while loading
        bool visible = true;
    };
    TdxBarManager& m_manager;
    std::vector<Entry> m_entries;
};

class TdxBarManager : public TComponent {
public:
    explicit TdxBarManager(TComponent* AOwner);
    ~TdxBarManager() override;

    // The manager of a form, or nullptr.
    static TdxBarManager* FindForForm(const TCustomForm* form);

    TCustomForm* ParentForm() const { return m_form; }

    TdxBars& Bars() { return *m_bars; }
    TdxBarManagerCategories& Categories() { return *m_categories; }

    // ---- published properties ------------------------------------------------
    TFont& Font() { return m_font; }
    bool UseSystemFont() const { return m_useSystemFont; }
    void SetUseSystemFont(bool value);
    TImageList* Images() const { return m_images; }
    void SetImages(TImageList* value);
    const AnsiString& IniFileName() const { return m_iniFileName; }
    void SetIniFileName(const AnsiString& value) { m_iniFileName = value; }
    TdxBarMenuAnimations MenuAnimations() const { return m_menuAnimations; }
    void SetMenuAnimations(TdxBarMenuAnimations value) { m_menuAnimations = value; }
    bool ShowHelpButton() const { return m_showHelpButton; }
    void SetShowHelpButton(bool value) { m_showHelpButton = value; }
    bool ShowShortCutInHint() const { return m_showShortCutInHint; }
    void SetShowShortCutInHint(bool value) { m_showShortCutInHint = value; }
    bool StoreInIniFile() const { return m_storeInIniFile; }
    void SetStoreInIniFile(bool value) { m_storeInIniFile = value; }
    TdxBarManagerStyle Style() const { return m_style; }
    void SetStyle(TdxBarManagerStyle value);

    bool AllowCallFromAnotherForm() const { return m_allowCallFromAnotherForm; }
    void SetAllowCallFromAnotherForm(bool v) { m_allowCallFromAnotherForm = v; }
    bool AllowReset() const { return m_allowReset; }
    void SetAllowReset(bool v) { m_allowReset = v; }
    bool AlwaysMerge() const { return m_alwaysMerge; }
    void SetAlwaysMerge(bool v) { m_alwaysMerge = v; }
    bool AlwaysSaveText() const { return m_alwaysSaveText; }
    void SetAlwaysSaveText(bool v) { m_alwaysSaveText = v; }
    bool AutoDockColor() const { return m_autoDockColor; }
    void SetAutoDockColor(bool v);
    bool AutoHideEmptyBars() const { return m_autoHideEmptyBars; }
    void SetAutoHideEmptyBars(bool v) { m_autoHideEmptyBars = v; }
    int ButtonArrowWidth() const { return m_buttonArrowWidth; }
    void SetButtonArrowWidth(int v) { m_buttonArrowWidth = v; }
    bool CanCustomize() const { return m_canCustomize; }
    void SetCanCustomize(bool v) { m_canCustomize = v; }
    // While AutoDockColor the docks take the form's colour.
    TColor DockColor() const;
    void SetDockColor(TColor v);
    bool FlatCloseButton() const { return m_flatCloseButton; }
    void SetFlatCloseButton(bool v) { m_flatCloseButton = v; }
    int HelpContext() const { return m_helpContext; }
    void SetHelpContext(int v) { m_helpContext = v; }
    TColor ImageListBkColor() const { return m_imageListBkColor; }
    void SetImageListBkColor(TColor v) { m_imageListBkColor = v; }
    int LargeButtonArrowWidth() const { return m_largeButtonArrowWidth; }
    void SetLargeButtonArrowWidth(int v) { m_largeButtonArrowWidth = v; }
    bool LargeIcons() const { return m_largeIcons; }
    void SetLargeIcons(bool v);
    bool MenusShowRecentItemsFirst() const { return m_menusShowRecentItemsFirst; }
    void SetMenusShowRecentItemsFirst(bool v) { m_menusShowRecentItemsFirst = v; }
    int MostRecentItemsPercents() const { return m_mostRecentItemsPercents; }
    void SetMostRecentItemsPercents(int v);
    TdxBarDockingStyles NotDocking() const { return m_notDocking; }
    void SetNotDocking(TdxBarDockingStyles v) { m_notDocking = v; }
    const AnsiString& RegistryPath() const { return m_registryPath; }
    void SetRegistryPath(const AnsiString& v) { m_registryPath = v; }
    bool Scaled() const { return m_scaled; }
    void SetScaled(bool v) { m_scaled = v; }
    bool ShowCloseButton() const { return m_showCloseButton; }
    void SetShowCloseButton(bool v) { m_showCloseButton = v; }
    bool ShowFullMenusAfterDelay() const { return m_showFullMenusAfterDelay; }
    void SetShowFullMenusAfterDelay(bool v) { m_showFullMenusAfterDelay = v; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool v) { m_showHint = v; }
    bool ShowHintForDisabledItems() const { return m_showHintForDisabledItems; }
    void SetShowHintForDisabledItems(bool v) { m_showHintForDisabledItems = v; }
    bool StoreInRegistry() const { return m_storeInRegistry; }
    void SetStoreInRegistry(bool v) { m_storeInRegistry = v; }
    bool StretchGlyphs() const { return m_stretchGlyphs; }
    void SetStretchGlyphs(bool v) { m_stretchGlyphs = v; }
    bool SunkenBorder() const { return m_sunkenBorder; }
    void SetSunkenBorder(bool v);
    bool UseF10ForMenu() const { return m_useF10ForMenu; }
    void SetUseF10ForMenu(bool v) { m_useF10ForMenu = v; }
    bool UseFullReset() const { return m_useFullReset; }
    void SetUseFullReset(bool v) { m_useFullReset = v; }
    int WaitForDockingTime() const { return m_waitForDockingTime; }
    void SetWaitForDockingTime(int v) { m_waitForDockingTime = v; }

    // Stored with the form: widths of the left and right edge docks, heights
    // of the top and bottom ones; they hold until the first layout.
    std::array<int, 4> DockControlHeights() const;
    void SetDockControlHeights(const std::array<int, 4>& values);

    // ---- events ------------------------------------------------------------------
    TdxBarEvent OnBarAdd;
    TdxBarEvent OnBarClose;
    TdxBarEvent OnBarDelete;
    TdxBarEvent OnBarDockingStyleChange;
    TdxBarEvent OnBarVisibleChange;
    TdxBarItemLinkEvent OnItemLinkAdd;
    TdxBarItemLinkEvent OnItemLinkChange;
    TdxBarItemLinkEvent OnItemLinkDelete;
    TdxClickItemEvent OnClickItem;
    TdxDockingEvent OnDocking;

    // ---- run-time state --------------------------------------------------------------
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    TdxBarItem* Items(int index) const { return m_items.at(static_cast<std::size_t>(index)); }
    void RegisterItem(TdxBarItem* item);
    void UnregisterItem(TdxBarItem* item);

    TdxBar* MainMenuBar() const { return m_mainMenuBar; }
    void SetMainMenuBar(TdxBar* bar) { m_mainMenuBar = bar; }

    // The edge docks and every TdxBarDockControl that names this manager.
    const std::vector<TdxDockControl*>& DockControls() const { return m_dockControls; }
    void AddDockControl(TdxDockControl* dock);
    void RemoveDockControl(TdxDockControl* dock);

    // Metrics derived from Style and LargeIcons.
    int GlyphSize() const { return 16 * (1 + (m_largeIcons ? 1 : 0)); }
    int ButtonSize() const { return GlyphSize() + 7; }
    int ArrowWidth() const;
    int GripSize() const { return m_style == bmsStandard ? 9 : 6; }
    // Recent-use threshold: 0 at 100 percent, else the smallest n with n * (100 - p) / 100 > 0.
    int RecentItemsThreshold() const;

    bool IsCustomizing() const { return m_customizing; }
    void SetCustomizing(bool value);
    bool IsLoading() const;

    // The font bars use: the system menu font while UseSystemFont.
    const TFont& BarFont() const { return m_barFont; }

    // While locked, docks do not redraw and floating bars do not lay out;
    // unlocking lays out and repaints them.
    void BeginUpdate();
    void EndUpdate();
    bool LockUpdate() const { return m_lockUpdate > 0; }

    // Ends keyboard mode in every bar (closing what is open in it).
    void HideAll();
    // The form was activated or deactivated, minimised or restored.
    void FormActivated(bool active, bool otherProcess);
    void FormShowStateChanged(bool minimized);
    void ShowFloatingBars(bool show);

    // The layout file: does nothing for an empty name. Saving keeps the
    // sections of others; loading leaves what the file lacks as it is.
    void LoadFromIniFile(const AnsiString& fileName);
    void SaveToIniFile(const AnsiString& fileName);

    // The item control under the mouse, for hot tracking across bars.
    TdxBarItemControl* HotItemControl() const { return m_hotControl; }
    void SetHotItemControl(TdxBarItemControl* control);

    void check_invariants() const;

protected:
    void Loaded() override;
    void ImagesGone();

private:
    friend class TdxBarManagerList;
    void UpdateBarFont();
    void FormMessage(unsigned msg, std::uintptr_t w, std::intptr_t l);

    TCustomForm* m_form = nullptr;
    std::unique_ptr<TdxBarManagerCategories> m_categories;
    std::unique_ptr<TdxBars> m_bars;
    TFont m_font;
    TFont m_barFont;
    bool m_useSystemFont = true;
    // Freed images leave the bars to lay out again without them.
    ComponentLink<TImageList> m_images{[this] { ImagesGone(); }};
    AnsiString m_iniFileName;
    TdxBarMenuAnimations m_menuAnimations = maNone;
    bool m_showHelpButton = false;
    bool m_showShortCutInHint = false;
    bool m_storeInIniFile = false;
    TdxBarManagerStyle m_style = bmsEnhanced;
    bool m_allowCallFromAnotherForm = false;
    bool m_allowReset = true;
    bool m_alwaysMerge = false;
    bool m_alwaysSaveText = false;
    bool m_autoDockColor = true;
    bool m_autoHideEmptyBars = false;
    int m_buttonArrowWidth = 9;
    bool m_canCustomize = true;
    TColor m_dockColor = clBtnFace;
    bool m_flatCloseButton = false;
    int m_helpContext = 0;
    TColor m_imageListBkColor = 16711935;
    int m_largeButtonArrowWidth = 14;
    bool m_largeIcons = false;
    bool m_menusShowRecentItemsFirst = true;
    int m_mostRecentItemsPercents = 95;
    TdxBarDockingStyles m_notDocking;
    AnsiString m_registryPath;
    bool m_scaled = true;
    bool m_showCloseButton = false;
    bool m_showFullMenusAfterDelay = true;
    bool m_showHint = true;
    bool m_showHintForDisabledItems = true;
    bool m_storeInRegistry = false;
    bool m_stretchGlyphs = true;
    bool m_sunkenBorder = false;
    bool m_useF10ForMenu = true;
    bool m_useFullReset = false;
    int m_waitForDockingTime = 21;

    std::vector<TdxBarItem*> m_items;
    TdxBar* m_mainMenuBar = nullptr;
    std::vector<TdxDockControl*> m_dockControls;
    bool m_customizing = false;
    int m_lockUpdate = 0;
    TdxBarItemControl* m_hotControl = nullptr;
    int m_colorListener = 0;
};

// Every live manager of the process, and what they share.
class TdxBarManagerList {
public:
    static int Count();
    static TdxBarManager* Items(int index);
    // The edit box being edited, if any: item shortcuts wait while it is.
    static TdxBarEditControl* ActiveEditControl();
    static void SetActiveEditControl(TdxBarEditControl* control);

private:
    friend class TdxBarManager;
    static void Add(TdxBarManager* manager);
    static void Remove(TdxBarManager* manager);
};
