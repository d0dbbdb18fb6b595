// The data-aware grid of the directory: the DB grid with its published
// properties. Made in code as a form's layout makes it:
//
//     TdxDBGrid* grid = reader.create<TdxDBGrid>("PhoneGrid");
//     grid->SetParent(form);  grid->SetAlign(alClient);  grid->SetDataSource(PhoneDS);
//     auto* column = reader.create<TdxDBGridMaskColumn>("PhoneGridPhone");
//     column->SetATreeList(grid);  column->SetFieldName("Phone");  column->SetWidth(49);
//
// A new grid holds one band (the default layout).
#pragma once

#include "grid/TCustomdxDBGrid.h"

#include <memory>

class GridInput;
namespace grid { class IncrementalSearch; }

class TdxDBGrid : public TCustomdxDBGrid {
public:
    explicit TdxDBGrid(TComponent* AOwner);
    ~TdxDBGrid() override;

    // The type-ahead search: whether it runs, its column and its text.
    const grid::IncrementalSearch& IncrementalSearch() const;
    // Ends a running type-ahead search.
    void EndSearch();

protected:
    // Keys, typed characters, the wheel and the mouse go to the grid's input handling (GridInput).
    friend class GridInput;
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    bool DoMouseWheel(TShiftState shift, int delta, TPoint pos) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoCancelMode() override;
    void FocusChanged(bool gained) override;
    void LinkDataSetChanged() override;
    void LinkDataSetScrolled(int distance) override;

private:
    std::unique_ptr<GridInput> m_input;
};
