// The grid's option flags in their three views: the four published option
// sets of the DB grid, the two unstored mirror sets (Options, OptionsEx) and
// the tree-list core's two behaviour flag words. The flag tables below are
// the single source for how a published flag maps onto the other two views.
//
// Invariants: a published flag has at most one mirror flag and at most one
// core flag; the flags of OptionsDB, edgoIndicator, edgoCollapsedReload,
// edgoDblClick, edgoMultiSort, edgoNotHideColumn and edgoSeekDetail have no
// core flag; edgoAutoCopySelectedToClipboard, edgoHotTrack, edgoPartialLoad
// and edgoUseBookmarks have no mirror.
#pragma once

#include "platform/classes/TSet.h"

#include <cstdint>

enum TdxDBGridOptionBehavior {
    edgoAnsiSort, edgoAutoCopySelectedToClipboard, edgoAutoSearch, edgoAutoSort, edgoBandButtonClicking,
    edgoCaseInsensitive, edgoCellMultiSelect, edgoCollapsedReload, edgoDblClick, edgoDragCollapse,
    edgoDragExpand, edgoDragScroll, edgoEditing, edgoEnterShowEditor, edgoEnterThrough, edgoExtMultiSelect,
    edgoHeaderButtonClicking, edgoHorzThrough, edgoImmediateEditor, edgoMouseScroll, edgoMultiSelect,
    edgoMultiSort, edgoSeekDetail, edgoShowHourGlass, edgoStoreToIniFile, edgoStoreToRegistry, edgoTabs,
    edgoTabThrough, edgoVertThrough
};
enum TdxDBGridOptionCustomize {
    edgoBandMoving, edgoBandPanelSizing, edgoBandSizing, edgoColumnMoving, edgoColumnSizing,
    edgoExtCustomizing, edgoFullSizing, edgoHeaderPanelSizing, edgoKeepColumnWidth, edgoNotHideColumn,
    edgoRowSizing
};
enum TdxDBGridOptionDB {
    edgoCanAppend, edgoCancelOnExit, edgoCanDelete, edgoCanInsert, edgoCanNavigation, edgoConfirmDelete,
    edgoLoadAllRecords, edgoPartialLoad, edgoResetColumnFocus, edgoSmartRefresh, edgoSmartReload,
    edgoSyncSelection, edgoUseBookmarks, edgoUseLocate
};
enum TdxDBGridOptionView {
    edgoAutoCalcPreviewLines, edgoAutoHeaderPanelHeight, edgoAutoWidth, edgoBandHeaderWidth,
    edgoDrawEndEllipsis, edgoHideFocusRect, edgoHotTrack, edgoIndicator, edgoInvertSelect, edgoPreview,
    edgoRowAutoHeight, edgoRowSelect, edgoShowButtonAlways, edgoUseBitmap
};

using TdxDBGridOptionsBehavior = TSet<TdxDBGridOptionBehavior>;
using TdxDBGridOptionsCustomize = TSet<TdxDBGridOptionCustomize>;
using TdxDBGridOptionsDB = TSet<TdxDBGridOptionDB>;
using TdxDBGridOptionsView = TSet<TdxDBGridOptionView>;

// The mirror sets: every published flag that has a mirror, in the order of
// the published sets.
enum TdxDBGridOption {
    egoAnsiSort, egoAutoSearch, egoAutoSort, egoBandButtonClicking, egoCaseInsensitive, egoCellMultiSelect,
    egoCollapsedReload, egoDblClick, egoDragCollapse, egoDragExpand, egoDragScroll, egoEditing,
    egoEnterShowEditor, egoEnterThrough, egoExtMultiSelect, egoHeaderButtonClicking, egoHorzThrough,
    egoImmediateEditor, egoMouseScroll, egoMultiSelect, egoMultiSort, egoSeekDetail, egoShowHourGlass,
    egoStoreToIniFile, egoStoreToRegistry, egoTabs, egoTabThrough, egoVertThrough,
    egoBandMoving, egoBandPanelSizing, egoBandSizing, egoColumnMoving
};
enum TdxDBGridOptionEx {
    egoColumnSizing, egoExtCustomizing, egoFullSizing, egoHeaderPanelSizing, egoKeepColumnWidth,
    egoNotHideColumn, egoRowSizing,
    egoCanAppend, egoCancelOnExit, egoCanDelete, egoCanInsert, egoCanNavigation, egoConfirmDelete,
    egoLoadAllRecords, egoResetColumnFocus, egoSmartRefresh, egoSmartReload, egoSyncSelection, egoUseLocate,
    egoAutoCalcPreviewLines, egoAutoHeaderPanelHeight, egoAutoWidth, egoBandHeaderWidth, egoDrawEndEllipsis,
    egoHideFocusRect, egoIndicator, egoInvertSelect, egoPreview, egoRowAutoHeight, egoRowSelect,
    egoShowButtonAlways, egoUseBitmap
};
using TdxDBGridOptions = TSet<TdxDBGridOption>;
using TdxDBGridOptionsEx = TSet<TdxDBGridOptionEx>;

// The tree-list core's behaviour flags: TreeListOptions and TreeListOptionsEx.
#define DX_TREELIST_OPTIONS(X)                                                                                  \
    X(AnsiSort) X(AutoCopySelectedToClipboard) X(AutoSearch) X(AutoSort) X(BandButtonClicking)                  \
    X(CaseInsensitive) X(CellMultiSelect) X(DragCollapse) X(DragExpand) X(DragScroll) X(Editing)                \
    X(EnterShowEditor) X(EnterThrough) X(ExtMultiSelect) X(HeaderButtonClicking) X(HorzThrough)                 \
    X(ImmediateEditor) X(MouseScroll) X(MultiSelect) X(ShowHourGlass) X(StoreToIniFile) X(StoreToRegistry)      \
    X(Tabs) X(TabThrough) X(VertThrough) X(BandMoving) X(BandPanelSizing) X(BandSizing) X(ColumnMoving)          \
    X(ColumnSizing) X(ExtCustomizing) X(FullSizing)
#define DX_TREELIST_OPTIONS_EX(X)                                                                               \
    X(HeaderPanelSizing) X(KeepColumnWidth) X(RowSizing) X(AutoCalcPreviewLines) X(AutoHeaderPanelHeight)       \
    X(AutoWidth) X(BandHeaderWidth) X(DrawEndEllipsis) X(HideFocusRect) X(HotTrack) X(InvertSelect) X(Preview)  \
    X(RowAutoHeight) X(RowSelect) X(ShowButtonAlways) X(UseBitmap) X(MultiSort)

#define DX_ENUM_ITEM(name) ao##name,
enum TdxTreeListOption { DX_TREELIST_OPTIONS(DX_ENUM_ITEM) };
enum TdxTreeListOptionEx { DX_TREELIST_OPTIONS_EX(DX_ENUM_ITEM) };
#undef DX_ENUM_ITEM
using TdxTreeListOptions = TSet<TdxTreeListOption>;
using TdxTreeListOptionsEx = TSet<TdxTreeListOptionEx>;

namespace dxgrid {

// Where a published flag lands in the other two views.
enum class OptionGroup { Behavior, Customize, DB, View };

// The four published sets as raw bit words, indexed by OptionGroup.
struct PublishedOptions {
    std::uint64_t bits[4] = {};
    bool operator==(const PublishedOptions&) const = default;
};

// The core flag words the published sets give.
void core_flags_of(const PublishedOptions& published, TdxTreeListOptions& options, TdxTreeListOptionsEx& ex);
// The mirror sets of the published sets, and back; the flags without a mirror keep their value in `published`.
void mirrors_of(const PublishedOptions& published, TdxDBGridOptions& options, TdxDBGridOptionsEx& ex);
void apply_mirrors(PublishedOptions& published, TdxDBGridOptions options, TdxDBGridOptionsEx ex);

}  // namespace dxgrid
