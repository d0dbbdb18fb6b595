// Bars: the manager's menu bar and toolbars. A bar holds an ordered list of
// links; while it is visible it has a window (TdxBarControl) that is either
// docked in a row of a dock site or floating in a small window of its own.
//
// TdxBars, the collection, also owns the four dock sites at the form's edges.
//
// Invariants (check_invariants):
//  - a visible bar of a manager that is not loading has a window, a hidden one none;
//  - a docked bar's window sits in exactly one row of its dock site;
//  - IsMainMenu implies WholeRow and MultiLine.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/classes/TObject.h"
#include "platform/gfx/TFont.h"

#include <array>
#include <memory>
#include <vector>

class TdxBar : public TObject {
public:
    explicit TdxBar(TdxBars& bars);
    ~TdxBar() override;

    TdxBars& Collection() const { return m_bars; }
    TdxBarManager& BarManager() const;
    int Index() const;

    // ---- published properties ------------------------------------------------
    bool AllowClose() const { return m_allowClose; }
    void SetAllowClose(bool v) { m_allowClose = v; }
    bool AllowCustomizing() const { return m_allowCustomizing; }
    void SetAllowCustomizing(bool v) { m_allowCustomizing = v; }
    bool AllowQuickCustomizing() const { return m_allowQuickCustomizing; }
    void SetAllowQuickCustomizing(bool v);
    bool AllowReset() const { return m_allowReset; }
    void SetAllowReset(bool v) { m_allowReset = v; }
    TdxBarBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TdxBarBorderStyle v);
    const AnsiString& Caption() const { return m_caption; }
    void SetCaption(const AnsiString& v);
    const AnsiString& Name() const { return m_name; }
    void SetName(const AnsiString& v) { m_name = v; }

    // A dock site placed by the user on the form; only one of this manager is accepted.
    TdxBarDockControl* DockControl() const { return m_dockControl; }
    void SetDockControl(TdxBarDockControl* value);
    // Where the bar was docked last (for docking again after floating).
    TdxBarDockControl* DockedDockControl() const { return m_dockedDockControl; }
    void SetDockedDockControl(TdxBarDockControl* v) { m_dockedDockControl = v; }
    TdxBarDockingStyle DockedDockingStyle() const { return m_dockedDockingStyle; }
    void SetDockedDockingStyle(TdxBarDockingStyle v) { m_dockedDockingStyle = v; }
    int DockedLeft() const { return m_dockedLeft; }
    void SetDockedLeft(int v);
    int DockedTop() const { return m_dockedTop; }
    void SetDockedTop(int v);
    // dsNone floats the bar. Changing it hides the bar and shows it again.
    TdxBarDockingStyle DockingStyle() const { return m_dockingStyle; }
    void SetDockingStyle(TdxBarDockingStyle value);
    int FloatLeft() const { return m_floatLeft; }
    void SetFloatLeft(int v) { m_floatLeft = v; }
    int FloatTop() const { return m_floatTop; }
    void SetFloatTop(int v) { m_floatTop = v; }
    int FloatClientWidth() const { return m_floatClientWidth; }
    void SetFloatClientWidth(int v) { m_floatClientWidth = v; }
    int FloatClientHeight() const { return m_floatClientHeight; }
    void SetFloatClientHeight(int v) { m_floatClientHeight = v; }
    TFont& Font() { return m_font; }
    bool Hidden() const { return m_hidden; }
    void SetHidden(bool v) { m_hidden = v; }
    bool IsMainMenu() const { return m_isMainMenu; }
    void SetIsMainMenu(bool value);
    TdxBarItemLinks& ItemLinks() { return *m_itemLinks; }
    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool value);
    TdxBarDockingStyles NotDocking() const { return m_notDocking; }
    void SetNotDocking(TdxBarDockingStyles v) { m_notDocking = v; }
    bool OneOnRow() const { return m_oneOnRow; }
    void SetOneOnRow(bool v);
    bool RotateWhenVertical() const { return m_rotateWhenVertical; }
    void SetRotateWhenVertical(bool v) { m_rotateWhenVertical = v; }
    int Row() const { return m_row; }
    void SetRow(int v);
    bool ShowMark() const { return m_showMark; }
    void SetShowMark(bool v);
    bool SizeGrip() const { return m_sizeGrip; }
    void SetSizeGrip(bool v) { m_sizeGrip = v; }
    bool UseOwnFont() const { return m_useOwnFont; }
    void SetUseOwnFont(bool v);
    bool UseRecentItems() const { return m_useRecentItems; }
    void SetUseRecentItems(bool v) { m_useRecentItems = v; }
    bool UseRestSpace() const { return m_useRestSpace; }
    void SetUseRestSpace(bool v);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool WholeRow() const { return m_wholeRow; }
    void SetWholeRow(bool value);

    // ---- run-time ----------------------------------------------------------------
    // The bar's window while it is visible.
    TdxBarControl* Control() const { return m_control.get(); }
    // The dock site the bar is docked in now, or nullptr (hidden or floating).
    TdxDockControl* CurrentDock() const;
    // The font the bar's items use.
    const TFont& BarFont() const;
    // Docked (not floating) in a left or right site.
    bool IsVertical() const;

    // The manager's loaded step: links prepared, dock and docking style applied, Visible applied.
    void ApplyLoaded();
    // Floats a docked bar at its float position, or docks a floating one where it was docked.
    void ToggleDocking();
    // Moves the bar's window into a dock at a row (new_row: insert a row there) and
    // a position along the row, keeping the window object (a drag runs in it).
    void DockInto(TdxDockControl* dock, int row, bool new_row, int position);
    // Makes the bar float with its window's top-left at a screen point, keeping the window object.
    void FloatAt(int screenLeft, int screenTop);
    // The dock layout placed the window: Row, DockedLeft and DockedTop follow it.
    void TakeDockedPlace(int row, int left, int top);
    // The links changed: rebuild the window's item controls and lay out again.
    void LinksChanged();
    // The items' sizes changed: lay out again.
    void Relayout();

    void check_invariants() const;

private:
    friend class TdxBars;
    friend class TdxBarManager;
    bool Storing() const;
    void ShowWindow();
    void HideWindow();
    // Hides the bar's window, runs the change, shows it again where the properties say.
    template <typename F>
    void Rebuild(F change);
    TdxDockControl* TargetDock() const;

    TdxBars& m_bars;
    std::unique_ptr<TdxBarItemLinks> m_itemLinks;
    std::unique_ptr<TdxBarControl> m_control;

    bool m_allowClose = true;
    bool m_allowCustomizing = true;
    bool m_allowQuickCustomizing = true;
    bool m_allowReset = true;
    TdxBarBorderStyle m_borderStyle = bbsSingle;
    AnsiString m_caption;
    AnsiString m_name;
    TdxBarDockControl* m_dockControl = nullptr;
    TdxBarDockControl* m_dockedDockControl = nullptr;
    TdxBarDockingStyle m_dockedDockingStyle = dsTop;
    int m_dockedLeft = 0;
    int m_dockedTop = 0;
    TdxBarDockingStyle m_dockingStyle = dsNone;
    int m_floatLeft = 0;
    int m_floatTop = 0;
    int m_floatClientWidth = 0;
    int m_floatClientHeight = 0;
    TFont m_font;
    bool m_hidden = false;
    bool m_isMainMenu = false;
    bool m_multiLine = false;
    TdxBarDockingStyles m_notDocking;
    bool m_oneOnRow = false;
    bool m_rotateWhenVertical = true;
    int m_row = 0;
    bool m_showMark = true;
    bool m_sizeGrip = true;
    bool m_useOwnFont = false;
    bool m_useRecentItems = true;
    bool m_useRestSpace = false;
    bool m_visible = false;
    bool m_wholeRow = false;
    bool m_everDocked = false;
};

class TdxBars {
public:
    explicit TdxBars(TdxBarManager& manager);
    ~TdxBars();

    TdxBarManager& BarManager() const { return m_manager; }
    int Count() const { return static_cast<int>(m_bars.size()); }
    TdxBar* Items(int index) const { return m_bars.at(static_cast<std::size_t>(index)).get(); }
    TdxBar* operator[](int index) const { return Items(index); }
    TdxBar* Add();
    void Delete(int index);
    int IndexOf(const TdxBar* bar) const;
    TdxBar* FindByName(const AnsiString& name) const;

    // The manager's site at a form edge (dsLeft, dsTop, dsRight, dsBottom).
    TdxDockControl* DockControl(TdxBarDockingStyle edge) const;

    // Frees the bars and then the edge sites (the manager's destruction).
    void Destroy();

private:
    TdxBarManager& m_manager;
    std::vector<std::unique_ptr<TdxBar>> m_bars;
    std::array<std::unique_ptr<TdxDockControl>, 4> m_docks;
};
