// The DB grid: TdxDBGrid and its column classes in one include.
#pragma once

#include "grid/dxDBCtrl.h"
#include "grid/TCustomdxDBGrid.h"
#include "grid/TdxDBGrid.h"
#include "grid/TdxDBGridLookupColumn.h"
#include "grid/TdxDBGridMaskColumn.h"
