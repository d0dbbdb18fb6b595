// The tree-list core of the grid: its classes in one include.
#pragma once

#include "grid/GridLayout.h"
#include "grid/GridOptions.h"
#include "grid/GridTypes.h"
#include "grid/TCustomdxContainer.h"
#include "grid/TCustomdxTreeList.h"
#include "grid/TCustomdxTreeListControl.h"
#include "grid/TdxTreeListBand.h"
#include "grid/TdxTreeListColumn.h"
#include "grid/TdxTreeListNode.h"
