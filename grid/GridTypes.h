// Enumerations and small records shared by the grid's layers.
#pragma once

#include "platform/gfx/TRect.h"

class TdxTreeListNode;

enum TdxTreeListColumnSort { csNone, csDown, csUp };
enum TdxGridBandFixed { bfNone, bfLeft, bfRight };
enum TdxLookAndFeel { lfStandard, lfFlat, lfUltraFlat };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TdxEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The grid's single mouse state; exactly one is active.
enum TdxTreeListState {
    tsNormal,             // idle
    tsColumnSizing,
    tsBandSizing,
    tsHeaderPanelSizing,
    tsBandPanelSizing,
    tsRowSizing,
    tsColumnDown,         // a header pressed
    tsColumnDragging,     // a header dragged
    tsNodeDown,           // rows pressed
};

// What a point of the client area is over.
enum TdxTreeListHitTest {
    htNowhere, htOutside, htGroupPanel, htBandPanelEdge, htBandButton, htBandHeader, htBandEdge,
    htHeaderPanelEdge, htButton, htColumn, htColumnEdge, htNewItemRow, htIndicator, htRowEdge, htFooter,
    htLabel, htRight, htPreview, htEmpty
};

struct TdxTreeListHitInfo {
    TPoint pt;
    int band = -1;            // index among the visible bands
    int column = -1;          // index in the column list
    TdxTreeListNode* node = nullptr;
    int row = -1;             // position among the visible rows
    int sub = -1;
    TdxTreeListHitTest kind = htNowhere;
};

// The element under the pointer for hot tracking: kind 0 a data cell, 1 a
// header cell, 2 the right-hand part of a header cell, 3 that part in use.
struct TdxTreeListHotTrackInfo {
    TdxTreeListNode* node = nullptr;
    int column = -1;
    int kind = 0;
    bool operator==(const TdxTreeListHotTrackInfo&) const = default;
};
