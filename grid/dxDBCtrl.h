// The data-aware layer of the grid: its classes in one include.
#pragma once

#include "grid/dxTL.h"
#include "grid/TCustomdxDBTreeListControl.h"
#include "grid/TdxDBGridNode.h"
#include "grid/TdxDBTreeListColumn.h"
#include "grid/TdxDBTreeListDropDownColumn.h"
#include "grid/TdxDBTreeListLookupColumn.h"
#include "grid/TdxDBTreeListMaskColumn.h"
#include "grid/TdxGridDataLink.h"
