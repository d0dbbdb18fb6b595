#include "grid/TdxDBGrid.h"

TdxDBGrid::TdxDBGrid(TComponent* AOwner) : TCustomdxDBGrid(AOwner) {}

TdxDBGrid::~TdxDBGrid() {
    // The layout goes to its file before the columns and bands are freed.
    SaveLayoutOnce();
}
