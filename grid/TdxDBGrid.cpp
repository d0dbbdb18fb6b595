#include "grid/TdxDBGrid.h"

#include "grid/GridInput.h"

TdxDBGrid::TdxDBGrid(TComponent* AOwner) : TCustomdxDBGrid(AOwner), m_input(std::make_unique<GridInput>(*this)) {}

TdxDBGrid::~TdxDBGrid() = default;

const grid::IncrementalSearch& TdxDBGrid::IncrementalSearch() const { return m_input->Search(); }

void TdxDBGrid::EndSearch() { m_input->EndSearch(); }

void TdxDBGrid::KeyDown(int& key, TShiftState shift) {
    TCustomdxDBGrid::KeyDown(key, shift);  // OnKeyDown may take the key
    if (key != 0 && m_input->KeyDown(key, shift)) key = 0;
}

void TdxDBGrid::KeyPress(char& key) {
    const TShiftState shift = KeyboardShiftState();
    m_input->CharBefore(key, shift);
    TCustomdxDBGrid::KeyPress(key);  // OnKeyPress may take the character out of the search
    if (key != 0) m_input->CharAfter(key, shift);
}

bool TdxDBGrid::DoMouseWheel(TShiftState shift, int delta, TPoint pos) {
    // The framework's own handling and events first; then every message scrolls one line.
    TCustomdxDBGrid::DoMouseWheel(shift, delta, pos);
    m_input->Wheel(delta);
    return true;
}

// The core raises the framework's mouse events and sizes columns; what the
// input handling takes raises only the events, after its own handling.
void TdxDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && shift.Contains(ssDouble) && State() == tsNormal) {
        const TdxTreeListHitInfo hit = GetHitInfo(TPoint{x, y});
        // A double-click on a row is only the double-click event the framework raised: no focus change.
        if (hit.kind == htLabel || hit.kind == htIndicator || hit.kind == htPreview) return;
    }
    if (m_input->MouseDown(button, shift, x, y))
        TControl::MouseDown(button, shift, x, y);
    else
        TCustomdxDBGrid::MouseDown(button, shift, x, y);
}

void TdxDBGrid::MouseMove(TShiftState shift, int x, int y) {
    if (m_input->MouseMove(shift, x, y))
        TControl::MouseMove(shift, x, y);
    else
        TCustomdxDBGrid::MouseMove(shift, x, y);
}

void TdxDBGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (m_input->MouseUp(button, shift, x, y))
        TControl::MouseUp(button, shift, x, y);
    else
        TCustomdxDBGrid::MouseUp(button, shift, x, y);
}

void TdxDBGrid::DoCancelMode() {
    m_input->Cancel();
    TCustomdxDBGrid::DoCancelMode();
}

void TdxDBGrid::FocusChanged(bool gained) {
    // Losing the focus ends a press on the rows; the search survives it.
    if (!gained && State() == tsNodeDown) DoCancelMode();
    TCustomdxDBGrid::FocusChanged(gained);
}

void TdxDBGrid::LinkDataSetChanged() {
    TCustomdxDBGrid::LinkDataSetChanged();
    m_input->DataSetMoved();
}

void TdxDBGrid::LinkDataSetScrolled(int distance) {
    TCustomdxDBGrid::LinkDataSetScrolled(distance);
    m_input->DataSetMoved();
}
