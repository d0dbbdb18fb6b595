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

class TdxDBGrid : public TCustomdxDBGrid {
public:
    explicit TdxDBGrid(TComponent* AOwner);
    ~TdxDBGrid() override;
};
