#include "grid/GridOptions.h"

namespace dxgrid {
namespace {

// A mirror or core place: 0..31 in the first word, 32..63 in the second, -1 none.
struct FlagMap {
    int mirror;
    int core;
};

constexpr int M(TdxDBGridOption o) { return static_cast<int>(o); }
constexpr int MX(TdxDBGridOptionEx o) { return 32 + static_cast<int>(o); }
constexpr int C(TdxTreeListOption o) { return static_cast<int>(o); }
constexpr int CX(TdxTreeListOptionEx o) { return 32 + static_cast<int>(o); }

constexpr FlagMap kBehavior[] = {
    {M(egoAnsiSort), C(aoAnsiSort)},
    {-1, C(aoAutoCopySelectedToClipboard)},
    {M(egoAutoSearch), C(aoAutoSearch)},
    {M(egoAutoSort), C(aoAutoSort)},
    {M(egoBandButtonClicking), C(aoBandButtonClicking)},
    {M(egoCaseInsensitive), C(aoCaseInsensitive)},
    {M(egoCellMultiSelect), C(aoCellMultiSelect)},
    {M(egoCollapsedReload), -1},
    {M(egoDblClick), -1},
    {M(egoDragCollapse), C(aoDragCollapse)},
    {M(egoDragExpand), C(aoDragExpand)},
    {M(egoDragScroll), C(aoDragScroll)},
    {M(egoEditing), C(aoEditing)},
    {M(egoEnterShowEditor), C(aoEnterShowEditor)},
    {M(egoEnterThrough), C(aoEnterThrough)},
    {M(egoExtMultiSelect), C(aoExtMultiSelect)},
    {M(egoHeaderButtonClicking), C(aoHeaderButtonClicking)},
    {M(egoHorzThrough), C(aoHorzThrough)},
    {M(egoImmediateEditor), C(aoImmediateEditor)},
    {M(egoMouseScroll), C(aoMouseScroll)},
    {M(egoMultiSelect), C(aoMultiSelect)},
    {M(egoMultiSort), -1},
    {M(egoSeekDetail), -1},
    {M(egoShowHourGlass), C(aoShowHourGlass)},
    {M(egoStoreToIniFile), C(aoStoreToIniFile)},
    {M(egoStoreToRegistry), C(aoStoreToRegistry)},
    {M(egoTabs), C(aoTabs)},
    {M(egoTabThrough), C(aoTabThrough)},
    {M(egoVertThrough), C(aoVertThrough)},
};
constexpr FlagMap kCustomize[] = {
    {M(egoBandMoving), C(aoBandMoving)},
    {M(egoBandPanelSizing), C(aoBandPanelSizing)},
    {M(egoBandSizing), C(aoBandSizing)},
    {M(egoColumnMoving), C(aoColumnMoving)},
    {MX(egoColumnSizing), C(aoColumnSizing)},
    {MX(egoExtCustomizing), C(aoExtCustomizing)},
    {MX(egoFullSizing), C(aoFullSizing)},
    {MX(egoHeaderPanelSizing), CX(aoHeaderPanelSizing)},
    {MX(egoKeepColumnWidth), CX(aoKeepColumnWidth)},
    {MX(egoNotHideColumn), -1},
    {MX(egoRowSizing), CX(aoRowSizing)},
};
constexpr FlagMap kDB[] = {
    {MX(egoCanAppend), -1},       {MX(egoCancelOnExit), -1},     {MX(egoCanDelete), -1},
    {MX(egoCanInsert), -1},       {MX(egoCanNavigation), -1},    {MX(egoConfirmDelete), -1},
    {MX(egoLoadAllRecords), -1},  {-1, -1},                      {MX(egoResetColumnFocus), -1},
    {MX(egoSmartRefresh), -1},    {MX(egoSmartReload), -1},      {MX(egoSyncSelection), -1},
    {-1, -1},                     {MX(egoUseLocate), -1},
};
constexpr FlagMap kView[] = {
    {MX(egoAutoCalcPreviewLines), CX(aoAutoCalcPreviewLines)},
    {MX(egoAutoHeaderPanelHeight), CX(aoAutoHeaderPanelHeight)},
    {MX(egoAutoWidth), CX(aoAutoWidth)},
    {MX(egoBandHeaderWidth), CX(aoBandHeaderWidth)},
    {MX(egoDrawEndEllipsis), CX(aoDrawEndEllipsis)},
    {MX(egoHideFocusRect), CX(aoHideFocusRect)},
    {-1, CX(aoHotTrack)},
    {MX(egoIndicator), -1},
    {MX(egoInvertSelect), CX(aoInvertSelect)},
    {MX(egoPreview), CX(aoPreview)},
    {MX(egoRowAutoHeight), CX(aoRowAutoHeight)},
    {MX(egoRowSelect), CX(aoRowSelect)},
    {MX(egoShowButtonAlways), CX(aoShowButtonAlways)},
    {MX(egoUseBitmap), CX(aoUseBitmap)},
};

struct Table {
    const FlagMap* flags;
    int count;
};
constexpr Table kTables[4] = {{kBehavior, 29}, {kCustomize, 11}, {kDB, 14}, {kView, 14}};

static_assert(sizeof(kBehavior) / sizeof(FlagMap) == edgoVertThrough + 1);
static_assert(sizeof(kCustomize) / sizeof(FlagMap) == edgoRowSizing + 1);
static_assert(sizeof(kDB) / sizeof(FlagMap) == edgoUseLocate + 1);
static_assert(sizeof(kView) / sizeof(FlagMap) == edgoUseBitmap + 1);

constexpr std::uint64_t bit(int n) { return std::uint64_t{1} << n; }

}  // namespace

void core_flags_of(const PublishedOptions& published, TdxTreeListOptions& options, TdxTreeListOptionsEx& ex) {
    std::uint64_t words = 0;
    for (int g = 0; g < 4; ++g)
        for (int i = 0; i < kTables[g].count; ++i)
            if (kTables[g].flags[i].core >= 0 && (published.bits[g] & bit(i))) words |= bit(kTables[g].flags[i].core);
    options = TdxTreeListOptions::FromBits(words & 0xFFFFFFFFu);
    ex = TdxTreeListOptionsEx::FromBits(words >> 32);
}

void mirrors_of(const PublishedOptions& published, TdxDBGridOptions& options, TdxDBGridOptionsEx& ex) {
    std::uint64_t words = 0;
    for (int g = 0; g < 4; ++g)
        for (int i = 0; i < kTables[g].count; ++i)
            if (kTables[g].flags[i].mirror >= 0 && (published.bits[g] & bit(i))) words |= bit(kTables[g].flags[i].mirror);
    options = TdxDBGridOptions::FromBits(words & 0xFFFFFFFFu);
    ex = TdxDBGridOptionsEx::FromBits(words >> 32);
}

void apply_mirrors(PublishedOptions& published, TdxDBGridOptions options, TdxDBGridOptionsEx ex) {
    const std::uint64_t words = options.Bits() | (ex.Bits() << 32);
    for (int g = 0; g < 4; ++g)
        for (int i = 0; i < kTables[g].count; ++i) {
            const int m = kTables[g].flags[i].mirror;
            if (m < 0) continue;
            if (words & bit(m))
                published.bits[g] |= bit(i);
            else
                published.bits[g] &= ~bit(i);
        }
}

}  // namespace dxgrid
