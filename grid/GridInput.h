// The DB grid's answer to the keyboard, the mouse and the wheel: navigation
// keys, the type-ahead search, header clicks and drags, presses on the rows
// with the walk of the rows while the button is held outside them, and the
// copy to the clipboard. The rules live in the pure models beside it
// (NavigationKeys, IncrementalSearch, HeaderDragModel, MouseScrollModel);
// this class asks them and moves the grid, which in grid mode means moving
// its dataset.
//
// Invariants: the header press and drag fields are set only in the header
// states, the rows-press timer runs only in the rows-pressed state, the
// sideways scroll timer only in the header-dragging state, and the
// search state the grid paints is the search model's.
#pragma once

#include "grid/HeaderDragFeedback.h"
#include "grid/HeaderDragModel.h"
#include "grid/IncrementalSearch.h"
#include "grid/MouseScrollModel.h"
#include "platform/forms/TControl.h"
#include "platform/ui/WindowSystem.h"

#include <memory>

class TdxDBGrid;
class TdxDBTreeListColumn;

// The panning cursors' numbers in the framework's cursor table.
inline constexpr TCursor crFullScroll = -1131;
inline constexpr TCursor crHorScroll = -1132;
inline constexpr TCursor crVerScroll = -1133;
inline constexpr TCursor crUpScroll = -1134;
inline constexpr TCursor crRightScroll = -1135;
inline constexpr TCursor crDownScroll = -1136;
inline constexpr TCursor crLeftScroll = -1137;

class GridInput {
public:
    explicit GridInput(TdxDBGrid& grid);

    const grid::IncrementalSearch& Search() const { return m_search; }
    bool Panning() const { return m_panning; }
    // The drag image and arrows while a header is dragged, else null.
    const HeaderDragFeedback* Feedback() const { return m_feedback.get(); }

    // Keys: true when the grid handled the key.
    bool KeyDown(int key, TShiftState shift);
    // A typed character before and after the key-press event.
    void CharBefore(char ch, TShiftState shift);
    void CharAfter(char ch, TShiftState shift);
    // One wheel message: one line up or down.
    void Wheel(int delta);

    // Mouse: true when the message was taken (else the core handles it: column sizing).
    bool MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    bool MouseMove(TShiftState shift, int x, int y);
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The mouse was taken away: the press or drag ends without effect.
    void Cancel();

    // The dataset moved or was rebuilt: a move the search did not make ends it.
    void DataSetMoved();
    // The search ends and its highlight goes (a column change, Esc, the option off).
    void EndSearch();

    // The text Ctrl+Insert puts on the clipboard: captions, an empty line, the focused row.
    AnsiString ClipboardText() const;

private:
    // Visible columns in display order (column list indexes).
    std::vector<int> VisibleColumns() const;
    void FocusColumnAt(int position);
    int FocusedPosition() const;
    void Navigate(int key, TShiftState shift);
    void SearchStep(grid::SearchDirection direction, bool clear_on_failure);
    void ShowSearch();
    void MoveFocusBy(int rows);

    void StartHeaderDrag();
    void HeaderDragMove(TPoint p);
    void Drop(TPoint p);
    const std::vector<dxgrid::HeaderCell>& Cells() const;
    dxgrid::HeaderCell CellOf(int column) const;

    void StartRowsTimer(int direction);
    void StopRowsTimer();
    // The left edge of the header part that scrolls (right of a band fixed on the left).
    int ScrollableLeft() const;
    // The sideways scroll of a dragged header near an end of the header: -1 left, +1 right, 0 stop.
    void StartDragScroll(int direction);
    void StopDragScroll();

    void StartPanning(TPoint screen);
    void PanningMove(TPoint screen);
    void PanningTick();
    void EndPanning();

    TdxDBGrid& m_grid;
    grid::IncrementalSearch m_search;
    int m_searchRecord = 0;  // the dataset's record number when the search last moved it

    // Header pressed / dragged.
    int m_pressedColumn = -1;
    TPoint m_pressPoint;
    std::unique_ptr<HeaderDragFeedback> m_feedback;  // while a header is dragged
    // Rows pressed: the timer walks the rows up (-1) or down (+1) while the pointer is outside them.
    int m_rowsTimerDirection = 0;
    // Header dragged near an end of the header: the timer scrolls left (-1) or right (+1);
    // the pointer's last place, where the drop target is found again after each scroll.
    int m_dragScrollDirection = 0;
    TPoint m_dragPoint;

    // Panning with the middle button: the origin, the step the pointer asks
    // for, ticks since the last line, whether the pointer left the dead zone,
    // and the origin mark (a round popup).
    bool m_panning = false;
    TPoint m_panOrigin;
    grid::PanningStep m_panStep;
    int m_panTicks = 0;
    bool m_panLeftDeadZone = false;
    bool m_panH = false, m_panV = false;
    ui::HWND m_panMark = ui::kNoWindow;
};
