// The tree-list core: behaviour flag words read through overridable option
// predicates, metrics, the layout model and its hit test, the node tree with
// the focused node and column, the update bracket, the single mouse state and
// the mouse and keyboard entry points, and the paint entry.
//
// Invariants (check_invariants):
//  - the focused node index is -1 or a valid index into the node list;
//  - the layout cache, when valid, was built from the current metrics and
//    client size (every bracket, layout refresh and resize discards it);
//  - the mouse state is tsNormal whenever an update bracket is open.
// The rows' text ink covers the text of every row on the screen (a row scroll
// depends on it; the painter keeps it).
#pragma once

#include "grid/GridLayout.h"
#include "grid/GridOptions.h"
#include "grid/TextInk.h"
#include "grid/TCustomdxContainer.h"
#include "grid/TdxTreeListNode.h"
#include "platform/ui/Forward.h"

#include <functional>
#include <memory>
#include <vector>

class TdxTreeListColumn;
class TdxTreeListBand;
class GridPainter;

class TCustomdxTreeList : public TCustomdxContainer {
public:
    explicit TCustomdxTreeList(TComponent* AOwner);
    ~TCustomdxTreeList() override;

    // ---- behaviour flags and option predicates --------------------------------
    TdxTreeListOptions TreeListOptions() const { return m_options; }
    TdxTreeListOptionsEx TreeListOptionsEx() const { return m_optionsEx; }
    void SetTreeListOptions(TdxTreeListOptions options, TdxTreeListOptionsEx ex);
#define DX_PREDICATE(name) virtual bool Is##name() const;
    DX_TREELIST_OPTIONS(DX_PREDICATE)
    DX_TREELIST_OPTIONS_EX(DX_PREDICATE)
#undef DX_PREDICATE
    virtual bool IsColumnSizingFor(const TdxTreeListColumn* column) const;
    virtual bool IsColumnMovingFor(const TdxTreeListColumn* column) const;
    virtual bool IsBandSizingFor(const TdxTreeListBand* band) const;
    virtual bool IsBandMovingFor(const TdxTreeListBand* band) const;
    // An indicator strip is shown (not a core flag word).
    virtual bool IsIndicator() const { return false; }

    // ---- update bracket ----------------------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    int LockUpdate() const { return m_lockUpdate; }
    // Asks for a layout refresh; done at once outside a bracket.
    void LayoutChanged();

    // ---- nodes and focus ---------------------------------------------------------
    int Count() const { return static_cast<int>(m_nodes.size()); }
    TdxTreeListNode* Items(int index) const { return m_nodes.at(static_cast<std::size_t>(index)).get(); }
    TdxTreeListNode* Add();
    void ClearNodes();
    int IndexOfNode(const TdxTreeListNode* node) const;
    virtual std::unique_ptr<TdxTreeListNode> CreateNode(TdxTreeListNode* parent);
    TdxTreeListNode* FocusedNode() const { return m_focused >= 0 ? Items(m_focused) : nullptr; }
    int FocusedNumber() const { return m_focused; }
    // Any move of the focus by key, mouse or program; the data-aware grid moves its dataset instead.
    virtual void SetFocusedNumber(int index);
    int FocusedColumn() const { return m_focusedColumn; }
    void SetFocusedColumn(int column);
    // The text of a cell as painted and searched.
    virtual AnsiString GetCellText(TdxTreeListNode* node, int column);
    // The text of a cell of a visible row while that row is being painted.
    virtual AnsiString GetPaintedCellText(int row, int column) { return GetCellText(Items(row), column); }

    // ---- metrics and layout --------------------------------------------------------
    TFont& HeaderFont() { return m_headerFont; }
    TFont& BandFont() { return m_bandFont; }
    TFont& PreviewFont() { return m_previewFont; }
    int HeaderRowHeight() const { return m_headerRowHeight; }
    int HeaderPanelHeight() const;
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int value);
    bool DefaultRowHeightAssigned() const { return m_rowHeightAssigned; }
    int NodeHeight() const;
    int IndicatorWidth() const { return IsIndicator() ? m_grIndicatorWidth : 0; }
    int GroupIndent() const { return 0; }
    // The layout of the present state on the screen, rebuilt when it was discarded.
    const dxgrid::GridLayout& Layout() const;
    // The same layout at 96 dpi, in the units of the stored widths.
    dxgrid::GridLayout LayoutAt96Dpi() const;
    TdxTreeListHitInfo GetHitInfo(TPoint p) const;
    TRect CellRect(int row, int column) const { return Layout().cell_rect(row, column); }
    // Where the rows' painted text lies; a row scroll moves only these pixels.
    const dxgrid::TextInk& RowTextInk() const { return m_textInk; }
    int LeftCoord() const { return m_leftCoord; }
    void SetLeftCoord(int value);
    int TopIndex() const { return 0; }

    // ---- view properties -----------------------------------------------------------
#define DX_COLOR_PROP(Name, def)                          \
    TColor Name() const { return m_##Name; }              \
    void Set##Name(TColor value) {                        \
        if (value == m_##Name) return;                    \
        m_##Name = value;                                 \
        Invalidate();                                     \
    }
    DX_COLOR_PROP(HeaderColor, clBtnFace)
    DX_COLOR_PROP(BandColor, clBtnFace)
    DX_COLOR_PROP(GroupNodeColor, clBtnFace)
    DX_COLOR_PROP(HighlightColor, clHighlight)
    DX_COLOR_PROP(HighlightTextColor, clHighlightText)
    DX_COLOR_PROP(HideSelectionColor, clHighlight)
    DX_COLOR_PROP(HideSelectionTextColor, clHighlightText)
    DX_COLOR_PROP(GridLineColor, clNone)
    DX_COLOR_PROP(AutoSearchColor, clNone)
    DX_COLOR_PROP(AutoSearchTextColor, clNone)
    DX_COLOR_PROP(ArrowsColor, clLime)
    DX_COLOR_PROP(RowFooterColor, cl3DLight)
    DX_COLOR_PROP(RowFooterTextColor, clWindowText)
    DX_COLOR_PROP(GroupPanelColor, clBtnShadow)
    DX_COLOR_PROP(GroupPanelFontColor, clBtnFace)
    DX_COLOR_PROP(GroupNodeTextColor, clNone)
    DX_COLOR_PROP(FixedBandLineColor, clWindowFrame)
#undef DX_COLOR_PROP
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool value);
    bool HideFocusRect() const { return m_hideFocusRect; }
    void SetHideFocusRect(bool value);
    bool ShowGrid() const { return m_showGrid; }
    void SetShowGrid(bool value);
    bool ShowPreviewGrid() const { return m_showPreviewGrid; }
    void SetShowPreviewGrid(bool value);
    bool ShowHeader() const { return m_showHeader; }
    void SetShowHeader(bool value);
    bool ShowBands() const { return m_showBands; }
    void SetShowBands(bool value);
    bool ShowNewItemRow() const { return m_showNewItemRow; }
    void SetShowNewItemRow(bool value) { m_showNewItemRow = value; }
    bool ShowRowFooter() const { return m_showRowFooter; }
    void SetShowRowFooter(bool value) { m_showRowFooter = value; }
    bool ShowGroupPanel() const { return m_showGroupPanel; }
    void SetShowGroupPanel(bool value) { m_showGroupPanel = value; }
    bool ShowSummaryFooter() const { return m_showSummaryFooter; }
    void SetShowSummaryFooter(bool value) { m_showSummaryFooter = value; }
    int GrIndicatorWidth() const { return m_grIndicatorWidth; }
    void SetGrIndicatorWidth(int value);
    int IndentDesc() const { return m_indentDesc; }
    void SetIndentDesc(int value) { m_indentDesc = std::max(value, 0); }
    int MaxRowLineCount() const { return m_maxRowLineCount; }
    void SetMaxRowLineCount(int value);
    int RowSeparatorLineWidth() const { return m_rowSeparatorLineWidth; }
    void SetRowSeparatorLineWidth(int value);
    int FixedBandLineWidth() const { return m_fixedBandLineWidth; }
    void SetFixedBandLineWidth(int value);

    // ---- mouse state ------------------------------------------------------------------
    TdxTreeListState State() const { return m_state; }
    // Ends the mouse operation in progress, undoing its visual feedback.
    void CancelMouseState();
    TdxTreeListHotTrackInfo HotTrackInfo() const { return m_hot; }
    // Whether the focused window is the grid or a window inside it.
    bool HasFocus() const;

    std::function<void(TObject* Sender, TdxTreeListHotTrackInfo& Info, ui::Cursor& Cursor)> OnHotTrackNode;

    // What incremental search shows in the focused cell.
    struct SearchPaintState {
        bool active = false;
        int column = -1;
        AnsiString text;
    };
    const SearchPaintState& SearchState() const { return m_search; }
    // The header held down by the mouse (-1 none) and whether it is drawn pressed.
    int PressedColumn() const { return m_pressedColumn; }
    bool PressedLook() const { return m_pressedLook; }

    void check_invariants() const;

protected:
    void SetSearchState(const SearchPaintState& state);
    void SetPressedHeader(int column, bool look);
    void Loaded() override;
    void WndProc(TMessage& message) override;
    void Resize() override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void FontChanged() override;
    void ParentFontChanged() override;
    void LookAndFeelChanged() override;

    // The mouse entry points (the framework's); descendants add header clicks,
    // dragging and navigation and call these for column sizing and hot tracking.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void MouseLeave();
    // The mouse was taken away (cancel mode, lost capture, a bracket opened).
    virtual void DoCancelMode();
    void SetState(TdxTreeListState state) { m_state = state; }
    // Hot tracking of the element under the pointer.
    void UpdateHotTrack(const TdxTreeListHitInfo& hit);
    // Scroll bar commands.
    virtual void VScroll(int code);
    virtual void HScroll(int code);
    virtual void UpdateScrollBars() {}
    virtual void FocusChanged(bool gained);

    // Hooks of the update bracket and of the layout refresh.
    virtual void DoBeginUpdate() {}
    virtual void DoEndUpdate() {}
    // Measures the fonts and recomputes the metrics.
    virtual void CalcMetrics();
    // The largest text height + 3 over the shown columns with a font of their own, 0 when none.
    virtual int ColumnFontRowHeight() const { return 0; }
    // Text lines per header row and header rows of the header panel.
    virtual int HeaderLines() const { return 1; }
    virtual int HeaderRows() const { return 1; }
    // After a layout refresh was carried out.
    virtual void LayoutRefreshed();
    // Fills the layout model's input from bands and columns: sizes at 96 dpi,
    // the client rectangle and the scroll offset in screen pixels.
    virtual void FillLayoutInput(dxgrid::LayoutInput& input) const;
    void DiscardLayout() { m_layoutValid = false; }
    // Sets the number of root nodes, adding at the end or freeing the last ones.
    void SetNodeCount(int count);
    // Focuses a node without any further effect (the dataset already moved).
    void FocusNodeInternal(int index);
    void InvalidateRow(int row);
    void InvalidateCell(int row, int column);
    // Drawing a row brackets it: the data-aware grid makes its record current.
    virtual void BeginRowPaint(int row) { (void)row; }
    virtual void EndRowPaint(int row) { (void)row; }

    // Column sizing by the mouse; the tree-list control carries it out.
    virtual void ApplyColumnSizing(int column, int requested) { (void)column; (void)requested; }
    virtual void BestFitColumn(int column) { (void)column; }
    // The inverted sizing line: drawn and removed by the same call.
    void InvertSizingLine(int x);

private:
    friend class GridPainter;
    void FollowFont();
    bool m_followingFont = false;

    TdxTreeListOptions m_options;
    TdxTreeListOptionsEx m_optionsEx;
    int m_lockUpdate = 0;
    bool m_layoutPending = false;
    std::vector<std::unique_ptr<TdxTreeListNode>> m_nodes;
    int m_focused = -1;
    int m_focusedColumn = -1;

    TFont m_headerFont;
    TFont m_bandFont;
    TFont m_previewFont;
    int m_headerRowHeight = 0;
    int m_computedRowHeight = 16;
    int m_rowHeight = 0;
    bool m_rowHeightAssigned = false;
    mutable dxgrid::GridLayout m_layout;
    mutable bool m_layoutValid = false;
    dxgrid::TextInk m_textInk;  // kept by the painter
    int m_leftCoord = 0;

#define DX_COLOR_FIELD(Name, def) TColor m_##Name = def;
    DX_COLOR_FIELD(HeaderColor, clBtnFace)
    DX_COLOR_FIELD(BandColor, clBtnFace)
    DX_COLOR_FIELD(GroupNodeColor, clBtnFace)
    DX_COLOR_FIELD(HighlightColor, clHighlight)
    DX_COLOR_FIELD(HighlightTextColor, clHighlightText)
    DX_COLOR_FIELD(HideSelectionColor, clHighlight)
    DX_COLOR_FIELD(HideSelectionTextColor, clHighlightText)
    DX_COLOR_FIELD(GridLineColor, clNone)
    DX_COLOR_FIELD(AutoSearchColor, clNone)
    DX_COLOR_FIELD(AutoSearchTextColor, clNone)
    DX_COLOR_FIELD(ArrowsColor, clLime)
    DX_COLOR_FIELD(RowFooterColor, cl3DLight)
    DX_COLOR_FIELD(RowFooterTextColor, clWindowText)
    DX_COLOR_FIELD(GroupPanelColor, clBtnShadow)
    DX_COLOR_FIELD(GroupPanelFontColor, clBtnFace)
    DX_COLOR_FIELD(GroupNodeTextColor, clNone)
    DX_COLOR_FIELD(FixedBandLineColor, clWindowFrame)
#undef DX_COLOR_FIELD
    bool m_hideSelection = false;
    bool m_hideFocusRect = false;
    bool m_showGrid = true;
    bool m_showPreviewGrid = true;
    bool m_showHeader = true;
    bool m_showBands = false;
    bool m_showNewItemRow = false;
    bool m_showRowFooter = false;
    bool m_showGroupPanel = false;
    bool m_showSummaryFooter = false;
    int m_grIndicatorWidth = 12;
    int m_indentDesc = 20;
    int m_maxRowLineCount = -1;
    int m_rowSeparatorLineWidth = 1;
    int m_fixedBandLineWidth = 2;

    SearchPaintState m_search;
    int m_pressedColumn = -1;
    bool m_pressedLook = false;
    TdxTreeListState m_state = tsNormal;
    TdxTreeListHotTrackInfo m_hot;
    bool m_pointerInside = false;
    // Column sizing.
    int m_sizingColumn = -1;
    int m_sizingStartX = 0;
    int m_sizingX = 0;
    int m_sizingLower = 0;
    int m_sizingUpper = 0;
    bool m_sizingLineShown = false;
};
